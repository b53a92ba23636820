#pragma once

#include <cstdint>

// Base of every undo action. undo applies the saved state, which itself
// records the opposite action; the actions are symmetric, so redo undoes.
class CUndoable
{
public:
    virtual ~CUndoable();
    virtual void undo() = 0;
    virtual void redo() { undo(); }

    std::int32_t groupId() const { return m_groupId; }
    void setGroupId(std::int32_t id) { m_groupId = id; }

private:
    std::int32_t m_groupId = 0;
};
