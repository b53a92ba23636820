#include "CSUndoStagger.h"

CSUndoStagger::CSUndoStagger(CSSFXElement* target, Size negatedOffset)
    : CSUndoSetter(target, negatedOffset)
{
}
