#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Puts a removed page back at its index; the page stays alive on the
// comic's retired list meanwhile.
class CSUndoInsertPage final : public CSUndoSetter<CSComicUndoable, &CSComic::insertPageAtIndex, CSPage*, int>
{
public:
    CSUndoInsertPage(CSComic* target, CSPage* page, int index);

    CSPage* page() const { return saved<0>(); }
    int index() const { return saved<1>(); }
};
