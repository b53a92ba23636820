#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Puts back the comic's left margin.
class CSUndoSetLeftMargin final : public CSUndoSetter<CSComicUndoable, &CSComic::setLeftMargin, float>
{
public:
    CSUndoSetLeftMargin(CSComic* target, float oldMargin);

    float oldMargin() const { return saved<0>(); }
};
