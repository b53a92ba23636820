#pragma once

#include "CSImageElement.h"
#include "CSImageUndoable.h"

// Puts back whether a picture is mirrored left to right.
class CSUndoSetFlipHorizontal final
    : public CSUndoSetter<CSImageUndoable, &CSImageElement::setFlipHorizontal, bool>
{
public:
    CSUndoSetFlipHorizontal(CSImageElement* target, bool oldFlag);

    bool oldFlag() const { return saved<0>(); }
};
