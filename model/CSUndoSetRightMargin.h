#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Puts back the comic's right margin.
class CSUndoSetRightMargin final : public CSUndoSetter<CSComicUndoable, &CSComic::setRightMargin, float>
{
public:
    CSUndoSetRightMargin(CSComic* target, float oldMargin);

    float oldMargin() const { return saved<0>(); }
};
