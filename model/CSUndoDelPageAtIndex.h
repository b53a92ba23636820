#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Removes the page that was added or inserted at an index.
class CSUndoDelPageAtIndex final : public CSUndoSetter<CSComicUndoable, &CSComic::removePageAtIndex, int>
{
public:
    CSUndoDelPageAtIndex(CSComic* target, int index);

    int index() const { return saved<0>(); }
};
