#include "CSUndoSetIsIrregular.h"

CSUndoSetIsIrregular::CSUndoSetIsIrregular(CSCell* target, bool oldFlag, const CSCell::Points& oldPoints)
    : CSElementUndoable(target), m_oldFlag(oldFlag), m_oldPoints(oldPoints)
{
}

void CSUndoSetIsIrregular::undo()
{
    // Only panels make this action.
    if (auto* panel = static_cast<CSCell*>(target()))
        panel->restoreIrregular(m_oldFlag, m_oldPoints);
}
