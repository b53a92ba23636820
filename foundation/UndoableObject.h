#pragma once

#include "CRefCountObject.h"

#include <memory>
#include <vector>

class CUndoManager;
class CUndoable;

// Base of the comic, the stylesheet and every element: links an object to its
// document's undo manager and keeps the objects it took out of the model
// (retired) alive for as long as an undo may bring them back.
//
// Teardown destroys each object once: a destroyed object enters the
// process-wide destruction record, and retired objects and container
// children are destroyed only when they are not in it yet.
class UndoableObject : public CRefCountObject
{
public:
    UndoableObject() = default;
    UndoableObject(const UndoableObject& other);
    ~UndoableObject() override;

    CUndoManager* undoManager() const { return m_undoManager; }
    // Stores the manager; containers pass it on to what they hold.
    virtual void setUndoManager(CUndoManager* manager) { m_undoManager = manager; }

    // Hands the action to the undo manager; without one it is destroyed at
    // once (objects being built or read record nothing).
    void registerUndo(CUndoable* action);
    void registerUndo(std::unique_ptr<CUndoable> action) { registerUndo(action.release()); }

    void retire(UndoableObject* object);
    // Removes the first occurrence.
    void unretire(UndoableObject* object);
    bool isRetired(const UndoableObject* object) const;
    const std::vector<UndoableObject*>& retiredObjects() const { return m_retired; }

    // Destroys the object unless it was destroyed during this teardown already.
    static void destroyOnce(UndoableObject* object);
    static bool wasDestroyed(const UndoableObject* object);
    // The comic's owner empties the record before and after destroying a comic.
    static void clearDestructionRecord();

private:
    std::vector<UndoableObject*> m_retired;
    CUndoManager* m_undoManager = nullptr;
};
