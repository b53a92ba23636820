#pragma once

#include "CSSFXElement.h"
#include "CSSFXUndoable.h"

// Undoes a vertical spread: saved are the envelope and the letters from before.
class CSUndoSpreadVertical final
    : public CSUndoSetter<CSSFXUndoable, &CSSFXElement::restoreVerticalSpread, CSSFXElement::Layout>
{
public:
    CSUndoSpreadVertical(CSSFXElement* target, const CSSFXElement::Layout& before);

    const CSSFXElement::Layout& before() const { return saved<0>(); }
};
