#include "CSUndoSetPoint.h"

CSUndoSetPoint::CSUndoSetPoint(CSElement* target, const Point& oldPoint, int index)
    : CSUndoSetter(target, oldPoint, index)
{
}
