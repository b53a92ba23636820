#include "CSUndoSetStylesheet.h"

CSUndoSetStylesheet::CSUndoSetStylesheet(CSComic* target, CSStylesheet* oldStylesheet) : CSUndoSetter(target, oldStylesheet) {}
