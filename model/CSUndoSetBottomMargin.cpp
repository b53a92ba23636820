#include "CSUndoSetBottomMargin.h"

CSUndoSetBottomMargin::CSUndoSetBottomMargin(CSComic* target, float oldMargin) : CSUndoSetter(target, oldMargin) {}
