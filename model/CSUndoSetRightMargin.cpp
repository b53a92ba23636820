#include "CSUndoSetRightMargin.h"

CSUndoSetRightMargin::CSUndoSetRightMargin(CSComic* target, float oldMargin) : CSUndoSetter(target, oldMargin) {}
