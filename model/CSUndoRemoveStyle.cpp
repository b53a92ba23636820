#include "CSUndoRemoveStyle.h"

CSUndoRemoveStyle::CSUndoRemoveStyle(CSStylesheet* target, const QString& kind, const QString& name)
    : CSUndoSetter(target, kind, name)
{
}
