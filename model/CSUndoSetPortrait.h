#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Puts back the comic's orientation.
class CSUndoSetPortrait final : public CSUndoSetter<CSComicUndoable, &CSComic::setPortrait, bool>
{
public:
    CSUndoSetPortrait(CSComic* target, bool wasPortrait);

    bool wasPortrait() const { return saved<0>(); }
};
