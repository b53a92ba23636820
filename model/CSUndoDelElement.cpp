#include "CSUndoDelElement.h"

CSUndoDelElement::CSUndoDelElement(CSElement* target, CSElement* child)
    : CSUndoSetter(target, child)
{
}
