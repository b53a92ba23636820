#pragma once

#include "NSObject.h"
#include "PackedColor.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The six style kinds; the order is the one in which stylesheets copy and
// write their keys and named styles.
enum class StyleKind : std::uint8_t { Page, SFX, Image, Bubble, Caption, Cell };
inline constexpr int kStyleKindCount = 6;

enum class StyleValueType : std::uint8_t { Boolean, Integer, Real, Color, Font, String };

// One key of the catalogue with its built-in "Default" value.
struct StyleKey
{
    StyleKind kind;
    StyleValueType type;
    QString key;      // qualified: "Bubble.Font"
    QString property; // bare: "Font"
    double number;    // booleans (0 or 1), integers and reals
    PackedColor color;
    QString fontFamily;
    std::int32_t fontSize;
    std::uint32_t fontStyle;
    QString stringKey; // strings: the key of the localised default text
};

// The style-key catalogue and the qualification of bare keys. Everything is
// built once, on first use; qualifying a catalogue key hands out the
// precomputed string, so drawing code forms "Cell.FrameColor" without
// allocating.
namespace StyleKeys {

// Not a style key: the resolution of the output being drawn, which a root
// stylesheet holds while it is drawn and never stores.
inline constexpr QStringView OutputDPI = u"OutputDPI";
const QString& outputDPIKey();

const std::array<StyleKind, kStyleKindCount>& kinds();
// "Page", "SFX", "Image", "Bubble", "Caption", "Cell".
const QString& prefix(StyleKind kind);
std::optional<StyleKind> kindForPrefix(QStringView prefix);
bool isKindPrefix(QStringView text);

// Every key, kinds in order and each kind's keys in catalogue order.
std::span<const StyleKey> catalogue();
std::span<const StyleKey> keysOf(StyleKind kind);
// The catalogue entry of a qualified key, null when it is not one.
const StyleKey* find(QStringView qualifiedKey);

// A key that has a "." is returned as it is; otherwise prefix + "." + key.
QString qualified(StyleKind kind, const QString& key);
QString qualified(QStringView prefix, const QString& key);

// The built-in default of an entry; booleans are integers 0 or 1.
NSObject defaultValue(const StyleKey& entry);

} // namespace StyleKeys
