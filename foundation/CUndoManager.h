#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class CUndoable;

// One per document: the undo and redo stacks, gesture groups, and replay.
// An action registered during an undo goes to the redo stack with the group
// being undone, one registered during a redo to the undo stack; any other is
// a new edit, which empties the redo stack.
class CUndoManager
{
public:
    static constexpr std::int32_t kMaxGroupId = 100000;

    CUndoManager();
    ~CUndoManager();
    CUndoManager(const CUndoManager&) = delete;
    CUndoManager& operator=(const CUndoManager&) = delete;

    // Takes ownership; drops the action while registration is suspended.
    void registerUndo(CUndoable* action);
    void registerUndo(std::unique_ptr<CUndoable> action) { registerUndo(action.release()); }

    // Undoes the top action, or the whole group it belongs to.
    void undo();
    void redo();
    bool canUndo() const { return !m_undoStack.empty(); }
    bool canRedo() const { return !m_redoStack.empty(); }
    bool isUndoing() const { return m_undoDepth > 0; }
    bool isRedoing() const { return m_redoDepth > 0; }
    int undoCount() const { return int(m_undoStack.size()); }
    int redoCount() const { return int(m_redoStack.size()); }
    void removeAllActions();

    // Opens a group for one gesture or multi-step command; groups nest and the
    // innermost supplies the id.
    void beginGroup();
    void endGroup();
    int openGroupCount() const { return int(m_openGroups.size()); }
    std::int32_t currentGroupId() const { return m_openGroups.empty() ? 0 : m_openGroups.back(); }

    // Process-wide: while suspended, registered actions are dropped. A control
    // that previews a value continuously suspends while it pushes intermediate
    // values, then resumes and applies the final one.
    static void suspendRegistration();
    static void resumeRegistration();
    static bool isRegistrationSuspended();

    // The next group id handed out (process-wide), for tests of the wrap.
    static std::int32_t nextGroupId();
    static void setNextGroupId(std::int32_t id);

private:
    using Stack = std::vector<std::unique_ptr<CUndoable>>;
    void replay(Stack& from, int& depth, bool isUndo);
    bool groupIdInUse(std::int32_t id) const;

    Stack m_undoStack;
    Stack m_redoStack;
    int m_undoDepth = 0;
    int m_redoDepth = 0;
    std::deque<std::int32_t> m_openGroups;
    std::int32_t m_replayGroup = 0;
};
