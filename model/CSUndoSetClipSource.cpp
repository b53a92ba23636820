#include "CSUndoSetClipSource.h"

CSUndoSetClipSource::CSUndoSetClipSource(CSElement* target, CSElement* oldClipSource)
    : CSUndoSetter(target, oldClipSource)
{
}
