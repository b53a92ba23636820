#include "UndoableObject.h"

#include "CUndoManager.h"
#include "CUndoable.h"

#include <algorithm>
#include <unordered_set>

namespace {
std::unordered_set<const UndoableObject*>& destructionRecord()
{
    static auto* record = new std::unordered_set<const UndoableObject*>;
    return *record;
}
} // namespace

UndoableObject::UndoableObject(const UndoableObject& other)
    : CRefCountObject(other), m_undoManager(nullptr)
{
}

UndoableObject::~UndoableObject()
{
    destructionRecord().insert(this);
    std::vector<UndoableObject*> retired;
    retired.swap(m_retired);
    for (UndoableObject* object : retired)
        destroyOnce(object);
}

void UndoableObject::registerUndo(CUndoable* action)
{
    if (m_undoManager)
        m_undoManager->registerUndo(action);
    else
        delete action;
}

void UndoableObject::retire(UndoableObject* object)
{
    if (object)
        m_retired.push_back(object);
}

void UndoableObject::unretire(UndoableObject* object)
{
    const auto found = std::find(m_retired.begin(), m_retired.end(), object);
    if (found != m_retired.end())
        m_retired.erase(found);
}

bool UndoableObject::isRetired(const UndoableObject* object) const
{
    return std::find(m_retired.begin(), m_retired.end(), object) != m_retired.end();
}

void UndoableObject::destroyOnce(UndoableObject* object)
{
    if (!object || !destructionRecord().insert(object).second)
        return;
    delete object;
}

bool UndoableObject::wasDestroyed(const UndoableObject* object)
{
    return destructionRecord().count(object) > 0;
}

void UndoableObject::clearDestructionRecord()
{
    destructionRecord().clear();
}
