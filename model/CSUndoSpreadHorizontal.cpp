#include "CSUndoSpreadHorizontal.h"

CSUndoSpreadHorizontal::CSUndoSpreadHorizontal(CSSFXElement* target, const CSSFXElement::Layout& before)
    : CSUndoSetter(target, before)
{
}
