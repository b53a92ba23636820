#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Puts back the colour of the paper.
class CSUndoSetBackgroundColor final : public CSUndoSetter<CSComicUndoable, &CSComic::setBackgroundColor, PackedColor>
{
public:
    CSUndoSetBackgroundColor(CSComic* target, PackedColor oldColor);

    PackedColor oldColor() const { return saved<0>(); }
};
