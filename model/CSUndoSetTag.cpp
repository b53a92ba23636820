#include "CSUndoSetTag.h"

CSUndoSetTag::CSUndoSetTag(CSCell* target, std::int32_t oldTag) : CSElementUndoable(target), m_oldTag(oldTag) {}

void CSUndoSetTag::undo()
{
    // Only panels make this action.
    if (auto* panel = static_cast<CSCell*>(target()))
        panel->setTag(m_oldTag);
}
