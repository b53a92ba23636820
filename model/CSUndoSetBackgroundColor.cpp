#include "CSUndoSetBackgroundColor.h"

CSUndoSetBackgroundColor::CSUndoSetBackgroundColor(CSComic* target, PackedColor oldColor) : CSUndoSetter(target, oldColor) {}
