#pragma once

#include "CSElementUndoable.h"

#include <cstdint>

class CSBubble;

// Puts back the kind of a sub-balloon.
class CSUndoSetBubbleType final : public CSElementUndoable
{
public:
    CSUndoSetBubbleType(CSBubble* target, std::int32_t oldKind);

    void undo() override;

    std::int32_t oldKind() const { return m_oldKind; }

private:
    std::int32_t m_oldKind;
};
