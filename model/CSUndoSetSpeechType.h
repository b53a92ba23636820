#pragma once

#include "CSElementUndoable.h"

#include <cstdint>

class CSSpeechElement;

// Puts back the kind of a balloon.
class CSUndoSetSpeechType final : public CSElementUndoable
{
public:
    CSUndoSetSpeechType(CSSpeechElement* target, std::int32_t oldKind);

    void undo() override;

    std::int32_t oldKind() const { return m_oldKind; }

private:
    std::int32_t m_oldKind;
};
