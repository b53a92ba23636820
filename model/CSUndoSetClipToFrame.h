#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back an element's clip-to-frame flag.
class CSUndoSetClipToFrame final
    : public CSUndoSetter<CSElementUndoable, &CSElement::setClipsToFrame, bool>
{
public:
    CSUndoSetClipToFrame(CSElement* target, bool oldFlag);

    bool oldFlag() const { return saved<0>(); }
};
