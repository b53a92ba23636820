#include "CSStylesheet.h"

#include "CUndoManager.h"
#include "PAFont.h"
#include "Resources.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct DefaultCase
{
    const char* key;
    NSObject::Kind kind;
    double number;
    PackedColor color;
};

TEST(StylesheetDefaults, TheBuiltInRootHoldsEveryCatalogueKeyAndNothingElse)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::defaultStylesheet());
    EXPECT_EQ(sheet->values().count(), int(StyleKeys::catalogue().size()));
    for (const StyleKey& entry : StyleKeys::catalogue())
        EXPECT_TRUE(sheet->objectForKey(entry.key).isEqual(StyleKeys::defaultValue(entry))) << entry.key.toStdString();
    EXPECT_TRUE(sheet->styleKinds().isEmpty());
    EXPECT_TRUE(sheet->notificationsEnabled());
}

TEST(StylesheetDefaults, SampleValues)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::defaultStylesheet());
    const DefaultCase cases[] = {
        {"Page.BackgroundColor", NSObject::Color, 0, 0xFFFFFFFF},
        {"Page.GradientAngle", NSObject::Real, 90, 0},
        {"Page.NumberLocation", NSObject::Integer, 2, 0},
        {"Page.DrawNumber", NSObject::Integer, 0, 0},
        {"SFX.AltColor", NSObject::Color, 0, 0xFF00FFFF},
        {"SFX.MultiStroke", NSObject::Integer, 3, 0},
        {"SFX.DrawGradient", NSObject::Integer, 1, 0},
        {"Image.ColorizeColor", NSObject::Color, 0, 0xFF0000FF},
        {"Bubble.FrameWidth", NSObject::Real, 5, 0},
        {"Bubble.GradientFillColor", NSObject::Color, 0, 0xFF7FBF7F},
        {"Caption.FrameStyleRadius", NSObject::Real, 5, 0},
        {"Cell.FrameStyleRadius", NSObject::Real, 10, 0},
        {"Cell.ShadowYOffset", NSObject::Real, -0.25, 0},
    };
    for (const DefaultCase& c : cases) {
        const NSObject& value = sheet->objectForKey(QString::fromLatin1(c.key));
        EXPECT_EQ(value.kind(), c.kind) << c.key;
        if (c.kind == NSObject::Color)
            EXPECT_EQ(value.colorValue(), c.color) << c.key;
        else
            EXPECT_FLOAT_EQ(value.floatValue(), float(c.number)) << c.key;
    }
    EXPECT_EQ(sheet->stringForKey(QStringLiteral("Page.BackdropStyle")), localizedString(QStringLiteral("Default")));
    EXPECT_EQ(sheet->stringForKey(QStringLiteral("Image.Filter")), localizedString(QStringLiteral("FilterNone")));
    const PAFont* caption = sheet->fontForKey(QStringLiteral("Caption.Font"));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption, PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 10, true, false));
}

TEST(StylesheetDefaults, NewStylesheetIsACopyThatLeavesTheBuiltInAlone)
{
    RefPtr<CSStylesheet> first(CSStylesheet::newStylesheet());
    first->setFloatForKey(7, QStringLiteral("Cell.FrameWidth"));
    first->setIntForKey(1, QStringLiteral("Custom.Key"));
    RefPtr<CSStylesheet> second(CSStylesheet::newStylesheet());
    EXPECT_NE(first.get(), second.get());
    EXPECT_FLOAT_EQ(second->floatForKey(QStringLiteral("Cell.FrameWidth")), 2);
    EXPECT_FALSE(second->containsKey(QStringLiteral("Custom.Key")));
}

TEST(StylesheetValues, LookupsNeverInsertEntries)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::emptyStylesheet());
    const QString missing = QStringLiteral("Cell.DrawShadow");
    EXPECT_EQ(sheet->intForKey(missing), 0);
    EXPECT_FALSE(sheet->boolForKey(missing));
    EXPECT_EQ(sheet->floatForKey(missing), 0.0f);
    EXPECT_EQ(sheet->colorForKey(missing), kOpaqueBlack);
    EXPECT_EQ(sheet->fontForKey(missing), nullptr);
    EXPECT_TRUE(sheet->stringForKey(missing).isEmpty());
    EXPECT_EQ(sheet->dictionaryForKey(missing), nullptr);
    EXPECT_EQ(sheet->styleValue(u"Cell", QStringLiteral("Nope"), missing), nullptr);
    EXPECT_TRUE(sheet->values().entries().empty());
}

TEST(StylesheetValues, StoredFormsAreTheOnesFilesKeep)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::emptyStylesheet());
    sheet->setBoolForKey(true, QStringLiteral("Cell.DrawShadow"));
    sheet->setObjectForKey(NSObject(false), QStringLiteral("Cell.DrawFrame"));
    sheet->setFloatForKey(std::numeric_limits<float>::infinity(), QStringLiteral("Cell.FrameWidth"));
    sheet->setFloatForKey(std::numeric_limits<float>::quiet_NaN(), QStringLiteral("Cell.GradientAngle"));
    EXPECT_EQ(sheet->objectForKey(QStringLiteral("Cell.DrawShadow")).kind(), NSObject::Integer);
    EXPECT_EQ(sheet->intForKey(QStringLiteral("Cell.DrawShadow")), 1);
    EXPECT_EQ(sheet->objectForKey(QStringLiteral("Cell.DrawFrame")).kind(), NSObject::Integer);
    EXPECT_FALSE(sheet->boolForKey(QStringLiteral("Cell.DrawFrame")));
    EXPECT_EQ(sheet->floatForKey(QStringLiteral("Cell.FrameWidth")), std::numeric_limits<float>::max());
    EXPECT_EQ(sheet->floatForKey(QStringLiteral("Cell.GradientAngle")), 0.0f);

    sheet->removeObjectForKey(QStringLiteral("Cell.DrawShadow"));
    EXPECT_FALSE(sheet->values().entries().count(QStringLiteral("Cell.DrawShadow")))
        << "an emptied key leaves no entry behind";
}

// A root with one named style per kind it is given, each holding only the
// cell keys' defaults without "Cell.DrawShadow".
class StyleLookup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RefPtr<CSStylesheet> style(CSStylesheet::emptyStylesheet());
        root->copyKindValues(StyleKind::Cell, style.get());
        style->removeObjectForKey(QStringLiteral("Cell.DrawShadow"));
        style->setFloatForKey(9, QStringLiteral("Cell.FrameWidth"));
        root->addStyle(style.get(), QStringLiteral("Cell"), QStringLiteral("Heavy"));
        heavy = style.get();
        root->setBoolForKey(true, QStringLiteral("Cell.DrawShadow"));
    }

    RefPtr<CSStylesheet> root{CSStylesheet::defaultStylesheet()};
    CSStylesheet* heavy = nullptr;
};

TEST_F(StyleLookup, StyleForChoosesTheRootOrTheNamedStyle)
{
    struct Case { QString kind; QString name; bool expectStyle; };
    const Case cases[] = {
        {QStringLiteral("Cell"), QString(), false},
        {QStringLiteral("Cell"), localizedString(QStringLiteral("Default")), false},
        {QStringLiteral("Cell"), QStringLiteral("Missing"), false},
        {QStringLiteral("Cell"), QStringLiteral("heavy"), false},
        {QStringLiteral("Caption"), QStringLiteral("Heavy"), false},
        {QStringLiteral("Cell"), QStringLiteral("Heavy"), true},
    };
    for (const Case& c : cases) {
        const CSStylesheet* found = root->styleFor(QStringView(c.kind), c.name);
        EXPECT_EQ(found, c.expectStyle ? heavy : root.get()) << c.kind.toStdString() << " / " << c.name.toStdString();
        EXPECT_EQ(root->styleExists(c.kind, c.name),
                  c.expectStyle || c.name.isEmpty() || c.name == localizedString(QStringLiteral("Default")));
    }
    EXPECT_EQ(root->styleFor(StyleKind::Cell, QStringLiteral("Heavy")), heavy);
}

TEST_F(StyleLookup, AKeyMissingFromANamedStyleReadsEmptyNotTheRootsValue)
{
    EXPECT_TRUE(root->boolForKey(QStringLiteral("Cell.DrawShadow")));
    const QString drawShadow = QStringLiteral("Cell.DrawShadow");
    EXPECT_EQ(root->styleValue(u"Cell", QStringLiteral("Heavy"), drawShadow), nullptr);
    EXPECT_FALSE(root->styleFor(u"Cell", QStringLiteral("Heavy"))->boolForKey(drawShadow));
    EXPECT_EQ(root->styleFor(u"Cell", QStringLiteral("Heavy"))->intForKey(QStringLiteral("Cell.Unknown")), 0);
    ASSERT_NE(root->styleValue(u"Cell", QStringLiteral("Heavy"), QStringLiteral("Cell.FrameWidth")), nullptr);
    EXPECT_FLOAT_EQ(root->styleValue(u"Cell", QStringLiteral("Heavy"), QStringLiteral("Cell.FrameWidth"))->floatValue(), 9);
    EXPECT_FLOAT_EQ(root->styleValue(u"Cell", QString(), QStringLiteral("Cell.FrameWidth"))->floatValue(), 2);
}

TEST_F(StyleLookup, CopyKindValuesCopiesTheKindsKeysOnly)
{
    RefPtr<CSStylesheet> style(CSStylesheet::emptyStylesheet());
    root->copyKindValues(StyleKind::Bubble, style.get());
    EXPECT_EQ(style->values().count(), int(StyleKeys::keysOf(StyleKind::Bubble).size()));
    for (const StyleKey& entry : StyleKeys::keysOf(StyleKind::Bubble))
        EXPECT_TRUE(style->objectForKey(entry.key).isEqual(root->objectForKey(entry.key)));

    // Empty values are copied too: they clear what the target had.
    RefPtr<CSStylesheet> target(CSStylesheet::emptyStylesheet());
    target->setIntForKey(1, QStringLiteral("Cell.DrawShadow"));
    heavy->copyKindValues(StyleKind::Cell, target.get());
    EXPECT_FALSE(target->containsKey(QStringLiteral("Cell.DrawShadow")));
}

TEST_F(StyleLookup, NamesKindsAndMembership)
{
    RefPtr<CSStylesheet> thin(CSStylesheet::emptyStylesheet());
    root->addStyle(thin.get(), QStringLiteral("Cell"), QStringLiteral("Alpha"));
    EXPECT_EQ(root->styleNames(u"Cell"), QStringList({QStringLiteral("Alpha"), QStringLiteral("Heavy")}));
    EXPECT_TRUE(root->styleNames(u"Bubble").isEmpty());
    EXPECT_EQ(root->styleKinds(), QStringList{QStringLiteral("Cell")});

    EXPECT_TRUE(root->containsStyle(root.get()));
    EXPECT_TRUE(root->containsStyle(heavy));
    RefPtr<CSStylesheet> stranger(CSStylesheet::emptyStylesheet());
    EXPECT_FALSE(root->containsStyle(stranger.get()));
    EXPECT_FALSE(root->containsStyle(nullptr));
}

TEST_F(StyleLookup, AddStyleRefusesCyclesAndBlankNames)
{
    root->addStyle(root.get(), QStringLiteral("Cell"), QStringLiteral("Self"));
    RefPtr<CSStylesheet> outer(CSStylesheet::emptyStylesheet());
    outer->addStyle(root.get(), QStringLiteral("Cell"), QStringLiteral("Root"));
    root->addStyle(outer.get(), QStringLiteral("Cell"), QStringLiteral("Outer"));
    RefPtr<CSStylesheet> unnamed(CSStylesheet::emptyStylesheet());
    root->addStyle(unnamed.get(), QStringLiteral("Cell"), QString());
    root->addStyle(unnamed.get(), QString(), QStringLiteral("Name"));
    root->addStyle(unnamed.get(), QStringLiteral("Cell.Odd"), QStringLiteral("Name"));
    EXPECT_EQ(unnamed->retainCount(), 1) << "a refused style stays with its caller";
    root->addStyle(nullptr, QStringLiteral("Cell"), QStringLiteral("Null"));
    EXPECT_EQ(root->styleNames(u"Cell"), QStringList{QStringLiteral("Heavy")});
    EXPECT_TRUE(root->styleKinds() == QStringList{QStringLiteral("Cell")});
}

TEST_F(StyleLookup, CopyDuplicatesNamedStyles)
{
    RefPtr<CSStylesheet> copy(root->copy());
    CSStylesheet* copiedHeavy = copy->namedStyle(u"Cell", QStringLiteral("Heavy"));
    ASSERT_NE(copiedHeavy, nullptr);
    EXPECT_NE(copiedHeavy, heavy);
    copiedHeavy->setFloatForKey(1, QStringLiteral("Cell.FrameWidth"));
    EXPECT_FLOAT_EQ(heavy->floatForKey(QStringLiteral("Cell.FrameWidth")), 9);
    copiedHeavy->setFloatForKey(9, QStringLiteral("Cell.FrameWidth"));
    EXPECT_EQ(copy->xmlText(), root->xmlText());
}

TEST(StylesheetOutputDPI, IsNotAStyleValue)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::defaultStylesheet());
    CUndoManager manager;
    sheet->setUndoManager(&manager);
    sheet->setOutputDPI(300);
    sheet->setIntForKey(96, QStringLiteral("OutputDPI"));
    EXPECT_EQ(sheet->outputDPI(), 96);
    EXPECT_EQ(sheet->intForKey(QStringLiteral("OutputDPI")), 96);
    EXPECT_EQ(manager.undoCount(), 0);

    EXPECT_FALSE(sheet->xmlText().contains("OutputDPI"));
    RefPtr<CSStylesheet> copy(sheet->copy());
    EXPECT_EQ(copy->outputDPI(), 0);
    RefPtr<CSStylesheet> style(CSStylesheet::emptyStylesheet());
    sheet->copyKindValues(StyleKind::Page, style.get());
    EXPECT_FALSE(style->containsKey(QStringLiteral("OutputDPI")));
}

} // namespace
