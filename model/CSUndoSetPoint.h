#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts an editable point back: saved are the old point and its index.
class CSUndoSetPoint final
    : public CSUndoSetter<CSElementUndoable, &CSElement::movePoint, Point, int>
{
public:
    CSUndoSetPoint(CSElement* target, const Point& oldPoint, int index);

    const Point& oldPoint() const { return saved<0>(); }
    int index() const { return saved<1>(); }
};
