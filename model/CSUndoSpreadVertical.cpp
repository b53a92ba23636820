#include "CSUndoSpreadVertical.h"

CSUndoSpreadVertical::CSUndoSpreadVertical(CSSFXElement* target, const CSSFXElement::Layout& before)
    : CSUndoSetter(target, before)
{
}
