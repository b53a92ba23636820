#include "CSUndoDelPageAtIndex.h"

CSUndoDelPageAtIndex::CSUndoDelPageAtIndex(CSComic* target, int index) : CSUndoSetter(target, index) {}
