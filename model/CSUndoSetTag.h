#pragma once

#include "CSCell.h"
#include "CSElementUndoable.h"

#include <cstdint>

// Puts back a panel's order number.
class CSUndoSetTag final : public CSElementUndoable
{
public:
    CSUndoSetTag(CSCell* target, std::int32_t oldTag);

    void undo() override;

    std::int32_t oldTag() const { return m_oldTag; }

private:
    std::int32_t m_oldTag;
};
