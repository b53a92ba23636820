#pragma once

#include "CSImageElement.h"
#include "CSImageUndoable.h"

// Puts back whether a picture keeps its aspect ratio when resized.
class CSUndoSetMaintainAspectRatio final
    : public CSUndoSetter<CSImageUndoable, &CSImageElement::setMaintainAspectRatio, bool>
{
public:
    CSUndoSetMaintainAspectRatio(CSImageElement* target, bool oldFlag);

    bool oldFlag() const { return saved<0>(); }
};
