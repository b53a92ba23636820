#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Puts back the comic's previous stylesheet (kept on its retired list).
class CSUndoSetStylesheet final : public CSUndoSetter<CSComicUndoable, &CSComic::setStylesheet, CSStylesheet*>
{
public:
    CSUndoSetStylesheet(CSComic* target, CSStylesheet* oldStylesheet);

    CSStylesheet* oldStylesheet() const { return saved<0>(); }
};
