#include "CSUndoSetClipToFrame.h"

CSUndoSetClipToFrame::CSUndoSetClipToFrame(CSElement* target, bool oldFlag)
    : CSUndoSetter(target, oldFlag)
{
}
