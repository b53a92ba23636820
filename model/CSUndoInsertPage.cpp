#include "CSUndoInsertPage.h"

CSUndoInsertPage::CSUndoInsertPage(CSComic* target, CSPage* page, int index) : CSUndoSetter(target, page, index) {}
