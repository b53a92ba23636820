#pragma once

#include "CSImageElement.h"
#include "CSImageUndoable.h"

// Puts back the aspect ratio a picture keeps.
class CSUndoSetAspectRatio final
    : public CSUndoSetter<CSImageUndoable, &CSImageElement::setAspectRatio, float>
{
public:
    CSUndoSetAspectRatio(CSImageElement* target, float oldRatio);

    float oldRatio() const { return saved<0>(); }
};
