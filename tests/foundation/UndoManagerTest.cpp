#include "CUndoManager.h"
#include "CUndoable.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "UndoableObject.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A model object with one undoable integer, recording the opposite action.
class Counter : public UndoableObject
{
public:
    int value = 0;
    void setValue(int newValue);
};

class SetValueAction : public CUndoable
{
public:
    SetValueAction(Counter* target, int oldValue) : m_target(target), m_oldValue(oldValue) {}
    void undo() override { m_target->setValue(m_oldValue); }

private:
    Counter* m_target;
    int m_oldValue;
};

void Counter::setValue(int newValue)
{
    if (newValue == value)
        return;
    registerUndo(new SetValueAction(this, value));
    value = newValue;
}

struct NotificationCounter : NotificationObserver
{
    int newUndoable = 0;
    int willUndo = 0;
    explicit NotificationCounter(CUndoManager* manager)
    {
        NotificationCenter::defaultCenter().addObserver(this, &NotificationCounter::onNew,
            NotificationNames::UndoManagerNewUndoableNotification, manager);
        NotificationCenter::defaultCenter().addObserver(this, &NotificationCounter::onWillUndo,
            NotificationNames::UndoManagerWillUndoChangeNotification, manager);
    }
    void onNew(const Notification&) { ++newUndoable; }
    void onWillUndo(const Notification&) { ++willUndo; }
};

class UndoManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { counter.setUndoManager(&manager); }
    CUndoManager manager;
    Counter counter;
};

TEST_F(UndoManagerTest, GroupIsUndoneAndRedoneInOneStepAfterALaterUngroupedEdit)
{
    manager.beginGroup();
    counter.setValue(1);
    counter.setValue(2);
    counter.setValue(3);
    manager.endGroup();
    counter.setValue(4);

    manager.undo();
    EXPECT_EQ(counter.value, 3) << "the ungrouped edit is undone alone";
    manager.undo();
    EXPECT_EQ(counter.value, 0) << "the group is undone completely";
    EXPECT_FALSE(manager.canUndo());
    manager.redo();
    EXPECT_EQ(counter.value, 3) << "the group is redone completely";
    manager.redo();
    EXPECT_EQ(counter.value, 4);
    EXPECT_FALSE(manager.canRedo());
    manager.undo();
    manager.undo();
    EXPECT_EQ(counter.value, 0);
}

TEST_F(UndoManagerTest, NewEditEmptiesTheRedoStack)
{
    counter.setValue(1);
    counter.setValue(2);
    manager.undo();
    EXPECT_TRUE(manager.canRedo());
    counter.setValue(7);
    EXPECT_FALSE(manager.canRedo());
    EXPECT_EQ(manager.undoCount(), 2);
}

TEST_F(UndoManagerTest, NotificationCounts)
{
    NotificationCounter notes(&manager);
    manager.beginGroup();
    counter.setValue(1);
    counter.setValue(2);
    manager.endGroup();
    EXPECT_EQ(notes.newUndoable, 2);
    manager.undo();
    EXPECT_EQ(notes.willUndo, 2) << "one per action undone";
    EXPECT_EQ(notes.newUndoable, 2) << "replayed actions are not new edits";
    manager.redo();
    EXPECT_EQ(notes.willUndo, 2) << "a redo posts nothing";
    EXPECT_EQ(notes.newUndoable, 2);
}

TEST_F(UndoManagerTest, EmptyStacksDoNothing)
{
    manager.undo();
    manager.redo();
    manager.endGroup();
    EXPECT_FALSE(manager.canUndo());
}

TEST_F(UndoManagerTest, SuspendedRegistrationDropsActionsButKeepsTheEdit)
{
    CUndoManager::suspendRegistration();
    counter.setValue(5);
    counter.setValue(6);
    CUndoManager::resumeRegistration();
    counter.setValue(7);
    EXPECT_EQ(manager.undoCount(), 1);
    manager.undo();
    EXPECT_EQ(counter.value, 6);
}

TEST_F(UndoManagerTest, WithoutAManagerNothingIsRecorded)
{
    Counter loose;
    loose.setValue(3);
    EXPECT_EQ(loose.value, 3);
    EXPECT_FALSE(manager.canUndo());
}

TEST_F(UndoManagerTest, NestedGroupsTakeTheInnermostId)
{
    manager.beginGroup();
    counter.setValue(1);
    manager.beginGroup();
    counter.setValue(2);
    manager.endGroup();
    counter.setValue(3);
    manager.endGroup();
    manager.undo();
    EXPECT_EQ(counter.value, 2) << "the outer group's last action";
    manager.undo();
    EXPECT_EQ(counter.value, 1) << "the inner group";
    manager.undo();
    EXPECT_EQ(counter.value, 0);
}

TEST_F(UndoManagerTest, GroupIdsWrapAfter100000)
{
    CUndoManager::setNextGroupId(1);
    CUndoManager scratch;
    for (int i = 0; i < 100000; ++i) {
        scratch.beginGroup();
        scratch.endGroup();
    }
    EXPECT_EQ(CUndoManager::nextGroupId(), 1);
}

TEST_F(UndoManagerTest, WrappedIdNeverJoinsAnOpenOrTopGroup)
{
    CUndoManager::setNextGroupId(1);
    manager.beginGroup();              // group 1 stays open
    const std::int32_t open = manager.currentGroupId();
    counter.setValue(1);
    CUndoManager::setNextGroupId(1);   // as after a wrap
    manager.beginGroup();
    EXPECT_NE(manager.currentGroupId(), open);
    counter.setValue(2);
    manager.endGroup();
    manager.endGroup();

    CUndoManager::setNextGroupId(manager.currentGroupId() + 2);
    manager.beginGroup();
    const std::int32_t top = manager.currentGroupId();
    counter.setValue(3);
    manager.endGroup();
    CUndoManager::setNextGroupId(top);
    manager.beginGroup();
    EXPECT_NE(manager.currentGroupId(), top) << "the group on top of the undo stack";
    counter.setValue(4);
    manager.endGroup();
    manager.undo();
    EXPECT_EQ(counter.value, 3) << "the two gestures stay apart";
}

} // namespace
