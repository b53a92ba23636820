#include "CSUndoApplyTransform.h"

CSUndoApplyTransform::CSUndoApplyTransform(CSElement* target, const AffineTransform& inverse)
    : CSUndoSetter(target, inverse)
{
}
