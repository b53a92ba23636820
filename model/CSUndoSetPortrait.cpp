#include "CSUndoSetPortrait.h"

CSUndoSetPortrait::CSUndoSetPortrait(CSComic* target, bool wasPortrait) : CSUndoSetter(target, wasPortrait) {}
