#include "CSUndoSetLeftMargin.h"

CSUndoSetLeftMargin::CSUndoSetLeftMargin(CSComic* target, float oldMargin) : CSUndoSetter(target, oldMargin) {}
