#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Puts back the comic's stored page size.
class CSUndoSetPageSize final : public CSUndoSetter<CSComicUndoable, &CSComic::setPageSize, Size>
{
public:
    CSUndoSetPageSize(CSComic* target, Size oldSize);

    Size oldSize() const { return saved<0>(); }
};
