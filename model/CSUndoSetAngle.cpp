#include "CSUndoSetAngle.h"

CSUndoSetAngle::CSUndoSetAngle(CSElement* target, float oldAngle)
    : CSUndoSetter(target, oldAngle)
{
}
