#pragma once

#include "CSImageElement.h"
#include "CSImageUndoable.h"

// Puts back whether a picture is mirrored top to bottom.
class CSUndoSetFlipVertical final
    : public CSUndoSetter<CSImageUndoable, &CSImageElement::setFlipVertical, bool>
{
public:
    CSUndoSetFlipVertical(CSImageElement* target, bool oldFlag);

    bool oldFlag() const { return saved<0>(); }
};
