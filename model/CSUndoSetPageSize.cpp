#include "CSUndoSetPageSize.h"

CSUndoSetPageSize::CSUndoSetPageSize(CSComic* target, Size oldSize) : CSUndoSetter(target, oldSize) {}
