#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back an element's clip source (a reference, not owned).
class CSUndoSetClipSource final
    : public CSUndoSetter<CSElementUndoable, &CSElement::setClipSource, CSElement*>
{
public:
    CSUndoSetClipSource(CSElement* target, CSElement* oldClipSource);

    CSElement* oldClipSource() const { return saved<0>(); }
};
