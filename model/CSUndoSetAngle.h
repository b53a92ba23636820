#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back an element's angle.
class CSUndoSetAngle final
    : public CSUndoSetter<CSElementUndoable, &CSElement::setAngle, float>
{
public:
    CSUndoSetAngle(CSElement* target, float oldAngle);

    float oldAngle() const { return saved<0>(); }
};
