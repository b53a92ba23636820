#include "CSUndoSetNumPoints.h"

CSUndoSetNumPoints::CSUndoSetNumPoints(CSElement* target, int oldCount)
    : CSUndoSetter(target, oldCount)
{
}
