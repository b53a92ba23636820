#include "CSUndoAddStyle.h"

CSUndoAddStyle::CSUndoAddStyle(CSStylesheet* target, CSStylesheet* style, const QString& kind, const QString& name)
    : CSUndoSetter(target, RefPtr<CSStylesheet>(style), kind, name)
{
}
