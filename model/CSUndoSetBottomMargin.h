#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Puts back the comic's bottom margin.
class CSUndoSetBottomMargin final : public CSUndoSetter<CSComicUndoable, &CSComic::setBottomMargin, float>
{
public:
    CSUndoSetBottomMargin(CSComic* target, float oldMargin);

    float oldMargin() const { return saved<0>(); }
};
