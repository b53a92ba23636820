#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Puts back the comic's top margin.
class CSUndoSetTopMargin final : public CSUndoSetter<CSComicUndoable, &CSComic::setTopMargin, float>
{
public:
    CSUndoSetTopMargin(CSComic* target, float oldMargin);

    float oldMargin() const { return saved<0>(); }
};
