#include "CSStylesheet.h"
#include "CSUndoAddStyle.h"
#include "CSUndoRemoveStyle.h"
#include "CSUndoSetStylesheetObject.h"
#include "CUndoManager.h"
#include "NotificationTally.h"

#include <gtest/gtest.h>

namespace {

const QString kWidth = QStringLiteral("Bubble.FrameWidth");

class StylesheetUndo : public ::testing::Test
{
protected:
    void SetUp() override { root->setUndoManager(&manager); }

    RefPtr<CSStylesheet> root{CSStylesheet::defaultStylesheet()};
    CUndoManager manager;
    NotificationTally tally;
};

TEST_F(StylesheetUndo, SettingAValueUndoesAndRedoes)
{
    root->setFloatForKey(8, kWidth);
    EXPECT_EQ(manager.undoCount(), 1);
    EXPECT_EQ(tally.changed(root.get()), 1);
    EXPECT_EQ(tally.sub(), 0);

    manager.undo();
    EXPECT_FLOAT_EQ(root->floatForKey(kWidth), 5);
    EXPECT_EQ(manager.undoCount(), 0);
    EXPECT_EQ(manager.redoCount(), 1);
    EXPECT_EQ(tally.changed(root.get()), 2);

    manager.redo();
    EXPECT_FLOAT_EQ(root->floatForKey(kWidth), 8);
    EXPECT_EQ(manager.undoCount(), 1);
    EXPECT_EQ(manager.redoCount(), 0);
    EXPECT_EQ(tally.changed(root.get()), 3);
}

TEST_F(StylesheetUndo, TheActionHoldsTheOldValueAndKey)
{
    const NSObject old = root->objectForKey(kWidth);
    CSUndoSetStylesheetObject action(root.get(), old, kWidth);
    EXPECT_EQ(action.target(), root.get());
    EXPECT_TRUE(action.oldValue().isEqual(old));
    EXPECT_EQ(action.key(), kWidth);
    root->setFloatForKey(1, kWidth);
    action.undo();
    EXPECT_FLOAT_EQ(root->floatForKey(kWidth), 5);
}

TEST_F(StylesheetUndo, AnUnchangedValueRecordsAndPostsNothing)
{
    root->setFloatForKey(5, kWidth);
    root->removeObjectForKey(QStringLiteral("Bubble.NoSuchKey"));
    EXPECT_EQ(manager.undoCount(), 0);
    EXPECT_EQ(tally.total(), 0);
}

TEST_F(StylesheetUndo, SettingAKeyThatHadNoValueIsUndoneByRemovingIt)
{
    const QString key = QStringLiteral("Bubble.Sparkle");
    root->setIntForKey(3, key);
    ASSERT_EQ(manager.undoCount(), 1);
    manager.undo();
    EXPECT_FALSE(root->containsKey(key));
    EXPECT_FALSE(root->values().entries().count(key));
    manager.redo();
    EXPECT_EQ(root->intForKey(key), 3);
    EXPECT_EQ(tally.changed(root.get()), 3);
}

TEST_F(StylesheetUndo, AddingAStyleUndoesToItsRemovalAndRedoesTheSameObject)
{
    CSStylesheet* style = CSStylesheet::emptyStylesheet();
    root->copyKindValues(StyleKind::Bubble, style);
    EXPECT_EQ(manager.undoCount(), 0) << "a style being built records nothing";
    root->addStyle(style, QStringLiteral("Bubble"), QStringLiteral("Shout"));
    EXPECT_EQ(style->retainCount(), 1);
    EXPECT_EQ(style->undoManager(), &manager);
    EXPECT_EQ(manager.undoCount(), 1);
    EXPECT_EQ(tally.changed(root.get()), 1);
    EXPECT_EQ(tally.sub(root.get()), 1);

    manager.undo();
    EXPECT_FALSE(root->styleExists(u"Bubble", QStringLiteral("Shout")));
    EXPECT_EQ(style->retainCount(), 1) << "the redo action keeps the removed style alive";
    EXPECT_EQ(tally.changed(root.get()), 2);
    EXPECT_EQ(tally.sub(root.get()), 2);

    manager.redo();
    EXPECT_EQ(root->namedStyle(u"Bubble", QStringLiteral("Shout")), style);
    EXPECT_EQ(tally.sub(root.get()), 3);
}

TEST_F(StylesheetUndo, RemovingAStyleKeepsItForUndo)
{
    CSStylesheet* style = CSStylesheet::emptyStylesheet();
    root->addStyle(style, QStringLiteral("Caption"), QStringLiteral("Narration"));
    root->removeStyle(QStringLiteral("Caption"), QStringLiteral("Narration"));
    EXPECT_TRUE(root->styleNames(u"Caption").isEmpty());
    EXPECT_EQ(style->retainCount(), 1);
    EXPECT_EQ(tally.sub(root.get()), 2);

    manager.undo();
    EXPECT_EQ(root->namedStyle(u"Caption", QStringLiteral("Narration")), style);
    manager.redo();
    EXPECT_TRUE(root->styleNames(u"Caption").isEmpty());
    manager.undo();
    manager.undo();
    EXPECT_TRUE(root->styleNames(u"Caption").isEmpty());
    EXPECT_EQ(tally.sub(root.get()), 6);

    // Removing a style that is not there does nothing at all.
    tally.reset();
    const int actions = manager.undoCount();
    root->removeStyle(QStringLiteral("Caption"), QStringLiteral("Nothing"));
    EXPECT_EQ(manager.undoCount(), actions);
    EXPECT_EQ(tally.total(), 0);
}

TEST_F(StylesheetUndo, ReplacingAStyleIsUndoneByPuttingTheOldOneBack)
{
    CSStylesheet* first = CSStylesheet::emptyStylesheet();
    CSStylesheet* second = CSStylesheet::emptyStylesheet();
    root->addStyle(first, QStringLiteral("Cell"), QStringLiteral("Frame"));
    root->addStyle(second, QStringLiteral("Cell"), QStringLiteral("Frame"));
    EXPECT_EQ(root->namedStyle(u"Cell", QStringLiteral("Frame")), second);
    manager.undo();
    EXPECT_EQ(root->namedStyle(u"Cell", QStringLiteral("Frame")), first);
    manager.redo();
    EXPECT_EQ(root->namedStyle(u"Cell", QStringLiteral("Frame")), second);

    tally.reset();
    const int actions = manager.undoCount();
    root->addStyle(second, QStringLiteral("Cell"), QStringLiteral("Frame"));
    EXPECT_EQ(manager.undoCount(), actions) << "adding the style that is there already changes nothing";
    EXPECT_EQ(tally.total(), 0);
}

TEST_F(StylesheetUndo, EditsOfANamedStyleGoToTheSameHistory)
{
    CSStylesheet* style = CSStylesheet::emptyStylesheet();
    root->addStyle(style, QStringLiteral("SFX"), QStringLiteral("Boom"));
    tally.reset();
    style->setColorForKey(0xFFFF0000, QStringLiteral("SFX.FrameColor"));
    EXPECT_EQ(tally.changed(style), 1) << "the edited style is the sender";
    EXPECT_TRUE(root->containsStyle(tally.posts.back().second));
    manager.undo();
    EXPECT_FALSE(style->containsKey(QStringLiteral("SFX.FrameColor")));
    EXPECT_EQ(root->namedStyle(u"SFX", QStringLiteral("Boom")), style) << "only the value was undone";
}

TEST_F(StylesheetUndo, AGroupUndoesAWholeNewStyleAtOnce)
{
    manager.beginGroup();
    CSStylesheet* style = CSStylesheet::emptyStylesheet();
    root->addStyle(style, QStringLiteral("Image"), QStringLiteral("Polaroid"));
    root->copyKindValues(StyleKind::Image, style);
    style->setBoolForKey(true, QStringLiteral("Image.DrawFrame"));
    manager.endGroup();
    EXPECT_EQ(manager.undoCount(), 1 + int(StyleKeys::keysOf(StyleKind::Image).size()) + 1);

    manager.undo();
    EXPECT_FALSE(manager.canUndo());
    EXPECT_FALSE(root->styleExists(u"Image", QStringLiteral("Polaroid")));
    EXPECT_EQ(style->values().count(), 0);
    manager.redo();
    EXPECT_EQ(root->namedStyle(u"Image", QStringLiteral("Polaroid")), style);
    EXPECT_TRUE(style->boolForKey(QStringLiteral("Image.DrawFrame")));
    EXPECT_EQ(style->values().count(), int(StyleKeys::keysOf(StyleKind::Image).size()));
}

TEST_F(StylesheetUndo, SetUndoManagerReachesEveryNamedStyle)
{
    RefPtr<CSStylesheet> detached(CSStylesheet::defaultStylesheet());
    CSStylesheet* a = CSStylesheet::emptyStylesheet();
    CSStylesheet* b = CSStylesheet::emptyStylesheet();
    detached->addStyle(a, QStringLiteral("Page"), QStringLiteral("A"));
    detached->addStyle(b, QStringLiteral("Cell"), QStringLiteral("B"));
    EXPECT_EQ(a->undoManager(), nullptr);
    detached->setUndoManager(&manager);
    EXPECT_EQ(a->undoManager(), &manager);
    EXPECT_EQ(b->undoManager(), &manager);
    detached->setUndoManager(nullptr);
    EXPECT_EQ(b->undoManager(), nullptr);
}

TEST_F(StylesheetUndo, QuietWhileNotificationsAreOff)
{
    root->setNotificationsEnabled(false);
    root->setIntForKey(4, QStringLiteral("SFX.MultiStroke"));
    root->addStyle(CSStylesheet::emptyStylesheet(), QStringLiteral("SFX"), QStringLiteral("Quiet"));
    root->removeStyle(QStringLiteral("SFX"), QStringLiteral("Quiet"));
    EXPECT_EQ(tally.total(), 0);
    EXPECT_EQ(manager.undoCount(), 3) << "undo is recorded all the same";
}

TEST(StylesheetUndoActions, StyleActionsHoldWhatTheyNeed)
{
    RefPtr<CSStylesheet> root(CSStylesheet::defaultStylesheet());
    CSStylesheet* style = CSStylesheet::emptyStylesheet();
    {
        CSUndoAddStyle add(root.get(), style, QStringLiteral("Bubble"), QStringLiteral("Whisper"));
        EXPECT_EQ(add.style(), style);
        EXPECT_EQ(style->retainCount(), 1);
        EXPECT_EQ(add.kind(), u"Bubble");
        EXPECT_EQ(add.name(), u"Whisper");
        add.undo();
        EXPECT_EQ(root->namedStyle(u"Bubble", QStringLiteral("Whisper")), style);
        EXPECT_EQ(style->retainCount(), 2);
    }
    EXPECT_EQ(style->retainCount(), 1);
    CSUndoRemoveStyle remove(root.get(), QStringLiteral("Bubble"), QStringLiteral("Whisper"));
    remove.undo();
    EXPECT_FALSE(root->styleExists(u"Bubble", QStringLiteral("Whisper")));

    // An action without a target does nothing.
    CSUndoSetStylesheetObject orphan(nullptr, NSObject(1), kWidth);
    orphan.undo();
}

} // namespace
