#include "CUndoManager.h"

#include "CUndoable.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"

#include <algorithm>

namespace {
std::int32_t g_nextGroupId = 1;
bool g_registrationSuspended = false;
}

CUndoManager::CUndoManager() = default;

CUndoManager::~CUndoManager() = default;

void CUndoManager::registerUndo(CUndoable* rawAction)
{
    std::unique_ptr<CUndoable> action(rawAction);
    if (!action || g_registrationSuspended)
        return;
    if (m_undoDepth > 0) {
        action->setGroupId(m_replayGroup);
        m_redoStack.push_back(std::move(action));
        return;
    }
    if (m_redoDepth > 0) {
        action->setGroupId(m_replayGroup);
        m_undoStack.push_back(std::move(action));
        return;
    }
    NotificationCenter::defaultCenter().postNotification(NotificationNames::UndoManagerNewUndoableNotification, this);
    action->setGroupId(currentGroupId());
    m_undoStack.push_back(std::move(action));
    // Redo actions may refer to objects the new edit touches; drop them after
    // the push so that their destructors see a consistent manager.
    Stack discarded;
    discarded.swap(m_redoStack);
}

void CUndoManager::replay(Stack& from, int& depth, bool isUndo)
{
    ++depth;
    m_replayGroup = -1;
    while (!from.empty()) {
        const std::int32_t group = from.back()->groupId();
        if (m_replayGroup == -1)
            m_replayGroup = group;
        else if (group != m_replayGroup)
            break;
        std::unique_ptr<CUndoable> action = std::move(from.back());
        from.pop_back();
        if (isUndo) {
            NotificationCenter::defaultCenter().postNotification(
                NotificationNames::UndoManagerWillUndoChangeNotification, this);
            action->undo();
        } else {
            action->redo();
        }
        if (group == 0)
            break;
    }
    m_replayGroup = 0;
    --depth;
}

void CUndoManager::undo()
{
    replay(m_undoStack, m_undoDepth, true);
}

void CUndoManager::redo()
{
    replay(m_redoStack, m_redoDepth, false);
}

void CUndoManager::removeAllActions()
{
    Stack undoActions, redoActions;
    undoActions.swap(m_undoStack);
    redoActions.swap(m_redoStack);
}

bool CUndoManager::groupIdInUse(std::int32_t id) const
{
    if (std::find(m_openGroups.begin(), m_openGroups.end(), id) != m_openGroups.end())
        return true;
    return !m_undoStack.empty() && m_undoStack.back()->groupId() == id;
}

void CUndoManager::beginGroup()
{
    // After the wrap an id may come round again while its group is still open
    // or on top of the undo stack; it would then merge two gestures into one.
    std::int32_t id = g_nextGroupId;
    for (int tries = 0; tries <= int(m_openGroups.size()) + 1 && groupIdInUse(id); ++tries)
        id = id >= kMaxGroupId ? 1 : id + 1;
    m_openGroups.push_back(id);
    g_nextGroupId = id >= kMaxGroupId ? 1 : id + 1;
}

void CUndoManager::endGroup()
{
    if (!m_openGroups.empty())
        m_openGroups.pop_back();
}

void CUndoManager::suspendRegistration() { g_registrationSuspended = true; }
void CUndoManager::resumeRegistration() { g_registrationSuspended = false; }
bool CUndoManager::isRegistrationSuspended() { return g_registrationSuspended; }
std::int32_t CUndoManager::nextGroupId() { return g_nextGroupId; }

void CUndoManager::setNextGroupId(std::int32_t id)
{
    g_nextGroupId = (id < 1 || id > kMaxGroupId) ? 1 : id;
}
