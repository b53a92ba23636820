#include "CSUndoRotate.h"

CSUndoRotate::CSUndoRotate(CSSFXElement* target, const CSSFXElement::Layout& before)
    : CSUndoSetter(target, before)
{
}
