#pragma once

#include "CSSFXElement.h"
#include "CSSFXUndoable.h"

// Undoes a turn of the letters: saved are the envelope and the letters from before.
class CSUndoRotate final
    : public CSUndoSetter<CSSFXUndoable, &CSSFXElement::restoreLetterRotation, CSSFXElement::Layout>
{
public:
    CSUndoRotate(CSSFXElement* target, const CSSFXElement::Layout& before);

    const CSSFXElement::Layout& before() const { return saved<0>(); }
};
