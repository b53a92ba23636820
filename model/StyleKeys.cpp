#include "StyleKeys.h"

#include "PAFont.h"
#include "Resources.h"

#include <algorithm>
#include <vector>

namespace StyleKeys {

namespace {

using K = StyleKind;
using T = StyleValueType;

constexpr std::uint32_t kRegular = 0;
constexpr std::uint32_t kItalic = PAFont::FontStyleItalic;
constexpr std::uint32_t kBold = PAFont::FontStyleBold;

struct RawKey
{
    K kind;
    const char16_t* property;
    T type;
    double number = 0;
    PackedColor color = 0;
    const char16_t* fontFamily = nullptr;
    std::int32_t fontSize = 0;
    std::uint32_t fontStyle = 0;
    const char16_t* stringKey = nullptr;
};

constexpr RawKey boolean(K kind, const char16_t* property, bool value) { return {kind, property, T::Boolean, value ? 1.0 : 0.0}; }
constexpr RawKey integer(K kind, const char16_t* property, int value) { return {kind, property, T::Integer, double(value)}; }
constexpr RawKey real(K kind, const char16_t* property, double value) { return {kind, property, T::Real, value}; }
constexpr RawKey color(K kind, const char16_t* property, PackedColor value) { return {kind, property, T::Color, 0, value}; }
constexpr RawKey font(K kind, const char16_t* property, const char16_t* family, int size, std::uint32_t style)
{
    return {kind, property, T::Font, 0, 0, family, size, style};
}
constexpr RawKey text(K kind, const char16_t* property, const char16_t* localizedKey)
{
    return {kind, property, T::String, 0, 0, nullptr, 0, 0, localizedKey};
}

// The catalogue in its own order: the order keys are copied and written in.
constexpr RawKey kRawCatalogue[] = {
    color(K::Page, u"BackgroundColor", 0xFFFFFFFF),
    boolean(K::Page, u"DrawGradient", false),
    color(K::Page, u"GradientFillColor", 0xFF7F7F7F),
    real(K::Page, u"GradientAngle", 90),
    font(K::Page, u"Font", u"DigitalStrip", 12, kItalic),
    color(K::Page, u"FontColor", 0xFF000000),
    boolean(K::Page, u"DrawNumber", false),
    integer(K::Page, u"NumberJustification", 1),
    integer(K::Page, u"NumberLocation", 2),
    boolean(K::Page, u"DrawBackdrop", false),
    real(K::Page, u"BackdropWidth", 20),
    real(K::Page, u"BackdropHeight", 20),
    real(K::Page, u"BackdropAngle", 45),
    text(K::Page, u"BackdropStyle", u"Default"),
    real(K::Page, u"NumberInset", 10),

    color(K::SFX, u"FrameColor", 0xFF000000),
    color(K::SFX, u"AltColor", 0xFF00FFFF),
    real(K::SFX, u"FrameWidth", 10),
    boolean(K::SFX, u"DrawFrame", true),
    integer(K::SFX, u"MultiStroke", 3),
    font(K::SFX, u"Font", u"DigitalStrip", 36, kBold),
    boolean(K::SFX, u"DrawBackground", true),
    color(K::SFX, u"BackgroundColor", 0xFFFFFF00),
    real(K::SFX, u"GradientAngle", 90),
    color(K::SFX, u"GradientFillColor", 0xFFFF0000),
    boolean(K::SFX, u"DrawGradient", true),
    color(K::SFX, u"ShadowColor", 0xFF000000),
    real(K::SFX, u"ShadowXOffset", 0),
    real(K::SFX, u"ShadowYOffset", -0.25),
    real(K::SFX, u"ShadowBlurRadius", 5),
    boolean(K::SFX, u"DrawShadow", false),
    boolean(K::SFX, u"DrawMerged", false),

    color(K::Image, u"FrameColor", 0xFF000000),
    real(K::Image, u"FrameWidth", 2),
    boolean(K::Image, u"DrawFrame", false),
    integer(K::Image, u"FrameStyle", 0),
    boolean(K::Image, u"DrawBackground", false),
    color(K::Image, u"BackgroundColor", 0xFFFFFFFF),
    color(K::Image, u"ShadowColor", 0xFF000000),
    real(K::Image, u"ShadowXOffset", 0),
    real(K::Image, u"ShadowYOffset", -0.25),
    real(K::Image, u"ShadowBlurRadius", 5),
    boolean(K::Image, u"DrawShadow", false),
    text(K::Image, u"Filter", u"FilterNone"),
    boolean(K::Image, u"Invert", false),
    boolean(K::Image, u"Colorize", false),
    color(K::Image, u"ColorizeColor", 0xFF0000FF),

    color(K::Bubble, u"FrameColor", 0xFF000000),
    real(K::Bubble, u"FrameWidth", 5),
    boolean(K::Bubble, u"DrawFrame", true),
    integer(K::Bubble, u"FrameStyle", 0),
    boolean(K::Bubble, u"StraightTail", false),
    real(K::Bubble, u"GradientAngle", 90),
    color(K::Bubble, u"GradientFillColor", 0xFF7FBF7F),
    boolean(K::Bubble, u"DrawGradient", false),
    color(K::Bubble, u"BackgroundColor", 0xFFFFFFFF),
    font(K::Bubble, u"Font", u"DigitalStrip", 10, kRegular),
    color(K::Bubble, u"FontColor", 0xFF000000),
    color(K::Bubble, u"ShadowColor", 0xFF000000),
    real(K::Bubble, u"ShadowXOffset", 0),
    real(K::Bubble, u"ShadowYOffset", -0.25),
    real(K::Bubble, u"ShadowBlurRadius", 5),
    boolean(K::Bubble, u"DrawShadow", false),

    color(K::Caption, u"FrameColor", 0xFF000000),
    real(K::Caption, u"FrameWidth", 2),
    boolean(K::Caption, u"DrawFrame", true),
    integer(K::Caption, u"FrameStyle", 0),
    real(K::Caption, u"FrameStyleRadius", 5),
    real(K::Caption, u"GradientAngle", 90),
    color(K::Caption, u"GradientFillColor", 0xFF7F7FBF),
    boolean(K::Caption, u"DrawGradient", false),
    color(K::Caption, u"BackgroundColor", 0xFFFFFFFF),
    boolean(K::Caption, u"DrawBackground", true),
    color(K::Caption, u"ShadowColor", 0xFF000000),
    real(K::Caption, u"ShadowXOffset", 0),
    real(K::Caption, u"ShadowYOffset", -0.25),
    real(K::Caption, u"ShadowBlurRadius", 5),
    boolean(K::Caption, u"DrawShadow", false),
    font(K::Caption, u"Font", u"DigitalStrip", 10, kItalic),
    color(K::Caption, u"FontColor", 0xFF000000),

    color(K::Cell, u"FrameColor", 0xFF000000),
    real(K::Cell, u"FrameWidth", 2),
    boolean(K::Cell, u"DrawFrame", true),
    integer(K::Cell, u"FrameStyle", 0),
    real(K::Cell, u"FrameStyleRadius", 10),
    real(K::Cell, u"GradientAngle", 90),
    color(K::Cell, u"GradientFillColor", 0xFF7F7F7F),
    boolean(K::Cell, u"DrawGradient", false),
    color(K::Cell, u"BackgroundColor", 0xFFFFFFFF),
    boolean(K::Cell, u"DrawBackground", true),
    color(K::Cell, u"ShadowColor", 0xFF000000),
    real(K::Cell, u"ShadowXOffset", 0),
    real(K::Cell, u"ShadowYOffset", -0.25),
    real(K::Cell, u"ShadowBlurRadius", 5),
    boolean(K::Cell, u"DrawShadow", false),
};

QString fromLiteral(const char16_t* text)
{
    return text ? QString::fromUtf16(text) : QString();
}

bool lessUtf16(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseSensitive) < 0;
}

struct Catalogue
{
    std::array<QString, kStyleKindCount> prefixes;
    std::vector<StyleKey> keys;
    // Where each kind's run of keys starts and ends in keys.
    std::array<std::size_t, kStyleKindCount + 1> kindStart{};
    // Indices into keys, sorted by qualified key, and per kind by property.
    std::vector<std::uint16_t> byKey;
    std::array<std::vector<std::uint16_t>, kStyleKindCount> byProperty;

    Catalogue()
    {
        prefixes = {QStringLiteral("Page"), QStringLiteral("SFX"), QStringLiteral("Image"),
                    QStringLiteral("Bubble"), QStringLiteral("Caption"), QStringLiteral("Cell")};
        keys.reserve(std::size(kRawCatalogue));
        for (const RawKey& raw : kRawCatalogue) {
            const QString property = fromLiteral(raw.property);
            keys.push_back(StyleKey{raw.kind, raw.type, prefixes[std::size_t(raw.kind)] + u'.' + property, property,
                                    raw.number, raw.color, fromLiteral(raw.fontFamily), raw.fontSize, raw.fontStyle,
                                    fromLiteral(raw.stringKey)});
        }
        for (std::size_t k = 0, i = 0; k <= std::size_t(kStyleKindCount); ++k) {
            while (i < keys.size() && std::size_t(keys[i].kind) < k)
                ++i;
            kindStart[k] = i;
        }
        for (std::size_t i = 0; i < keys.size(); ++i) {
            byKey.push_back(std::uint16_t(i));
            byProperty[std::size_t(keys[i].kind)].push_back(std::uint16_t(i));
        }
        std::sort(byKey.begin(), byKey.end(), [&](auto a, auto b) { return lessUtf16(keys[a].key, keys[b].key); });
        for (auto& list : byProperty)
            std::sort(list.begin(), list.end(),
                      [&](auto a, auto b) { return lessUtf16(keys[a].property, keys[b].property); });
    }

    const StyleKey* findIn(const std::vector<std::uint16_t>& index, QStringView text, bool byProperty) const
    {
        auto field = [&](std::uint16_t i) -> QStringView { return byProperty ? keys[i].property : keys[i].key; };
        const auto found = std::lower_bound(index.begin(), index.end(), text,
                                            [&](std::uint16_t i, QStringView t) { return lessUtf16(field(i), t); });
        if (found == index.end() || field(*found) != text)
            return nullptr;
        return &keys[*found];
    }
};

const Catalogue& catalogueData()
{
    static const Catalogue* data = new Catalogue;
    return *data;
}

} // namespace

const QString& outputDPIKey()
{
    static const QString* key = new QString(OutputDPI.toString());
    return *key;
}

const std::array<StyleKind, kStyleKindCount>& kinds()
{
    static constexpr std::array<StyleKind, kStyleKindCount> all = {K::Page, K::SFX, K::Image,
                                                                   K::Bubble, K::Caption, K::Cell};
    return all;
}

const QString& prefix(StyleKind kind)
{
    return catalogueData().prefixes[std::size_t(kind)];
}

std::optional<StyleKind> kindForPrefix(QStringView text)
{
    const auto& prefixes = catalogueData().prefixes;
    for (std::size_t k = 0; k < prefixes.size(); ++k) {
        if (prefixes[k] == text)
            return StyleKind(k);
    }
    return std::nullopt;
}

bool isKindPrefix(QStringView text)
{
    return kindForPrefix(text).has_value();
}

std::span<const StyleKey> catalogue()
{
    return catalogueData().keys;
}

std::span<const StyleKey> keysOf(StyleKind kind)
{
    const Catalogue& data = catalogueData();
    const std::size_t start = data.kindStart[std::size_t(kind)];
    const std::size_t end = data.kindStart[std::size_t(kind) + 1];
    return std::span<const StyleKey>(data.keys).subspan(start, end - start);
}

const StyleKey* find(QStringView qualifiedKey)
{
    const Catalogue& data = catalogueData();
    return data.findIn(data.byKey, qualifiedKey, false);
}

QString qualified(StyleKind kind, const QString& key)
{
    if (key.contains(u'.'))
        return key;
    const Catalogue& data = catalogueData();
    if (const StyleKey* entry = data.findIn(data.byProperty[std::size_t(kind)], key, true))
        return entry->key;
    return prefix(kind) + u'.' + key;
}

QString qualified(QStringView kindPrefix, const QString& key)
{
    if (key.contains(u'.'))
        return key;
    if (const auto kind = kindForPrefix(kindPrefix))
        return qualified(*kind, key);
    return kindPrefix.toString() + u'.' + key;
}

NSObject defaultValue(const StyleKey& entry)
{
    switch (entry.type) {
    case StyleValueType::Boolean:
    case StyleValueType::Integer: return NSObject(std::int32_t(entry.number));
    case StyleValueType::Real: return NSObject(float(entry.number));
    case StyleValueType::Color: return NSObject::withColor(entry.color);
    case StyleValueType::Font: return NSObject(PAFont::fontWithFamily(entry.fontFamily, entry.fontSize, entry.fontStyle));
    case StyleValueType::String: return NSObject(localizedString(entry.stringKey));
    }
    return NSObject();
}

} // namespace StyleKeys
