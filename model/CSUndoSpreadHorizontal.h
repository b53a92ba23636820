#pragma once

#include "CSSFXElement.h"
#include "CSSFXUndoable.h"

// Undoes a horizontal spread: saved are the envelope and the letters from before.
class CSUndoSpreadHorizontal final
    : public CSUndoSetter<CSSFXUndoable, &CSSFXElement::restoreHorizontalSpread, CSSFXElement::Layout>
{
public:
    CSUndoSpreadHorizontal(CSSFXElement* target, const CSSFXElement::Layout& before);

    const CSSFXElement::Layout& before() const { return saved<0>(); }
};
