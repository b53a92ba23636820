#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Puts back the comic's page name.
class CSUndoSetPageName final : public CSUndoSetter<CSComicUndoable, &CSComic::setPageName, QString>
{
public:
    CSUndoSetPageName(CSComic* target, const QString& oldName);

    const QString& oldName() const { return saved<0>(); }
};
