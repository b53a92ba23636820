#include "CSUndoSetBubbleType.h"

#include "CSBubble.h"

CSUndoSetBubbleType::CSUndoSetBubbleType(CSBubble* target, std::int32_t oldKind)
    : CSElementUndoable(target), m_oldKind(oldKind)
{
}

void CSUndoSetBubbleType::undo()
{
    if (auto* bubble = dynamic_cast<CSBubble*>(target()))
        bubble->setBubbleType(m_oldKind);
}
