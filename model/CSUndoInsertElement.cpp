#include "CSUndoInsertElement.h"

CSUndoInsertElement::CSUndoInsertElement(CSElement* target, CSElement* child, int index)
    : CSUndoSetter(target, child, index)
{
}
