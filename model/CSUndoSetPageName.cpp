#include "CSUndoSetPageName.h"

CSUndoSetPageName::CSUndoSetPageName(CSComic* target, const QString& oldName) : CSUndoSetter(target, oldName) {}
