#include "CSUndoSetSpeechType.h"

#include "CSSpeechElement.h"

CSUndoSetSpeechType::CSUndoSetSpeechType(CSSpeechElement* target, std::int32_t oldKind)
    : CSElementUndoable(target), m_oldKind(oldKind)
{
}

// Only the balloon's own kind: its sub-balloons put back their kinds through
// their own actions, recorded in the same group, so one that had a kind of
// its own gets that kind back.
void CSUndoSetSpeechType::undo()
{
    if (auto* balloon = dynamic_cast<CSSpeechElement*>(target()))
        balloon->restoreSpeechType(m_oldKind);
}
