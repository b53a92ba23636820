#include "CSUndoSetTopMargin.h"

CSUndoSetTopMargin::CSUndoSetTopMargin(CSComic* target, float oldMargin) : CSUndoSetter(target, oldMargin) {}
