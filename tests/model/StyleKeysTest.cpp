#include "StyleKeys.h"

#include "PAFont.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(StyleKeys, CatalogueRunsKindByKindInTheWritingOrder)
{
    const auto all = StyleKeys::catalogue();
    ASSERT_EQ(all.size(), 95u);
    struct Expected { StyleKind kind; std::size_t count; const char* first; const char* last; };
    const Expected kinds[] = {
        {StyleKind::Page, 15, "Page.BackgroundColor", "Page.NumberInset"},
        {StyleKind::SFX, 17, "SFX.FrameColor", "SFX.DrawMerged"},
        {StyleKind::Image, 15, "Image.FrameColor", "Image.ColorizeColor"},
        {StyleKind::Bubble, 16, "Bubble.FrameColor", "Bubble.DrawShadow"},
        {StyleKind::Caption, 17, "Caption.FrameColor", "Caption.FontColor"},
        {StyleKind::Cell, 15, "Cell.FrameColor", "Cell.DrawShadow"},
    };
    std::size_t offset = 0;
    for (const Expected& expected : kinds) {
        const auto keys = StyleKeys::keysOf(expected.kind);
        ASSERT_EQ(keys.size(), expected.count) << expected.first;
        EXPECT_EQ(keys.front().key, QLatin1String(expected.first));
        EXPECT_EQ(keys.back().key, QLatin1String(expected.last));
        EXPECT_EQ(&keys.front(), &all[offset]) << "kinds follow each other in the catalogue";
        offset += keys.size();
        for (const StyleKey& key : keys) {
            EXPECT_EQ(key.kind, expected.kind);
            EXPECT_EQ(key.key, StyleKeys::prefix(expected.kind) + u'.' + key.property);
        }
    }
    std::set<QString> unique;
    for (const StyleKey& key : all)
        EXPECT_TRUE(unique.insert(key.key).second) << key.key.toStdString();
}

TEST(StyleKeys, PageKeysKeepTheirListedOrder)
{
    const char* const order[] = {"BackgroundColor", "DrawGradient", "GradientFillColor", "GradientAngle", "Font",
                                 "FontColor", "DrawNumber", "NumberJustification", "NumberLocation", "DrawBackdrop",
                                 "BackdropWidth", "BackdropHeight", "BackdropAngle", "BackdropStyle", "NumberInset"};
    const auto keys = StyleKeys::keysOf(StyleKind::Page);
    ASSERT_EQ(keys.size(), std::size(order));
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(keys[i].property, QLatin1String(order[i]));
}

TEST(StyleKeys, FindsQualifiedKeysOnly)
{
    const StyleKey* font = StyleKeys::find(u"Bubble.Font");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->type, StyleValueType::Font);
    EXPECT_EQ(StyleKeys::find(u"Font"), nullptr);
    EXPECT_EQ(StyleKeys::find(u"bubble.font"), nullptr) << "keys are case-sensitive";
    EXPECT_EQ(StyleKeys::find(u"OutputDPI"), nullptr);
    for (const StyleKey& key : StyleKeys::catalogue())
        EXPECT_EQ(StyleKeys::find(key.key), &key);
}

TEST(StyleKeys, QualifyingACatalogueKeyHandsOutTheSharedString)
{
    const QString bare = QStringLiteral("FrameColor");
    const QString key = StyleKeys::qualified(StyleKind::Cell, bare);
    EXPECT_EQ(key, u"Cell.FrameColor");
    EXPECT_EQ(key.constData(), StyleKeys::find(u"Cell.FrameColor")->key.constData()) << "no new string was made";
    EXPECT_EQ(StyleKeys::qualified(u"Bubble", QStringLiteral("Font")).constData(),
              StyleKeys::find(u"Bubble.Font")->key.constData());

    EXPECT_EQ(StyleKeys::qualified(StyleKind::SFX, QStringLiteral("Cell.FrameColor")), u"Cell.FrameColor")
        << "an already qualified key is kept";
    EXPECT_EQ(StyleKeys::qualified(StyleKind::Image, QStringLiteral("Sparkle")), u"Image.Sparkle");
    EXPECT_EQ(StyleKeys::qualified(u"Comet", QStringLiteral("Tail")), u"Comet.Tail");
}

TEST(StyleKeys, KindPrefixes)
{
    for (StyleKind kind : StyleKeys::kinds())
        EXPECT_EQ(StyleKeys::kindForPrefix(StyleKeys::prefix(kind)), kind);
    EXPECT_FALSE(StyleKeys::kindForPrefix(u"cell").has_value());
    EXPECT_FALSE(StyleKeys::isKindPrefix(u""));
}

TEST(StyleKeys, DefaultsHaveTheirKinds)
{
    const NSObject angle = StyleKeys::defaultValue(*StyleKeys::find(u"SFX.ShadowYOffset"));
    EXPECT_EQ(angle.kind(), NSObject::Real);
    EXPECT_FLOAT_EQ(angle.floatValue(), -0.25f);
    const NSObject flag = StyleKeys::defaultValue(*StyleKeys::find(u"SFX.DrawFrame"));
    EXPECT_EQ(flag.kind(), NSObject::Integer) << "booleans are stored as integers";
    EXPECT_EQ(flag.intValue(), 1);
    const PAFont* font = StyleKeys::defaultValue(*StyleKeys::find(u"SFX.Font")).fontValue();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->family(), u"DigitalStrip");
    EXPECT_EQ(font->size(), 36);
    EXPECT_TRUE(font->isBold());
    EXPECT_FALSE(font->isItalic());
}

} // namespace
