#pragma once

#include "Geometry.h"
#include "NSBezierPath.h"

#include <QString>

#include <cstdint>
#include <optional>

// The outlines balloons are drawn with: the twelve balloon kinds, their unit
// shapes (fixed outlines in the 100 x 100 box centred on the origin, the
// rough and spiky ones drawn with a seeded generator so that they look
// hand-made but are the same in every drawing and every run), and the
// pointers a sub-balloon grows towards a tail tip or towards the sub-balloon
// before it.
//
// Every outline and pointer runs clockwise on the y-down page, so that the
// balloon's non-zero fill unites the overlapping pieces instead of cutting
// holes. Curves stay curves: they are flattened by the context that draws
// them, at its scale.
namespace CSBalloonShapes {

// The kinds, by the numbers the files and the interface use.
enum Kind : std::int32_t {
    Speech = 0,
    Thought = 1,
    Exclamation = 2,
    Exclamation2 = 3,
    Whisper = 4,
    Rough = 5,
    Rough2 = 6,
    Robot = 7,
    Square = 8,
    Buzz = 9,
    Space = 10,
    Tv = 11,
};
inline constexpr std::int32_t kKindCount = 12;

// A thought trail never has more circles than this, however far its tip.
inline constexpr int kMaxTrailCircles = 256;

inline constexpr bool isKnownKind(std::int32_t kind) { return kind >= 0 && kind < kKindCount; }
// The XML name of a known kind; null for any other number.
const char* kindName(std::int32_t kind);
// The first kind whose name equals the text exactly (case counts).
std::optional<std::int32_t> kindFromName(const QString& name);
// Kinds whose text keeps a wider margin (a tenth of the sub-balloon's width
// more on each side): their spikes and bumps reach into the box.
bool hasWideTextMargin(std::int32_t kind);

// The process-wide generator of the rough and spiky shapes: the minimal
// standard multiplicative generator (16807, modulus 2^31 - 1) by Schrage's
// method, on a 32-bit state.
void seedShapeRandom(std::uint32_t seed);
std::uint32_t nextShapeRandom();

// The shared unit shape of a kind, built on first use and kept; an empty
// path for an unknown kind. Copy it before changing it.
const NSBezierPath& unitShape(std::int32_t kind);

// Appends to path the pointer of a sub-balloon with the given frame and kind
// towards target: a trail of growing circles from the target back towards
// the frame's centre for thought balloons, otherwise a wedge with its base
// across the centre and its point at the target, with straight or bowed
// sides.
void appendPointer(NSBezierPath& path, const Rect& frame, Point target, std::int32_t kind, bool straight);

} // namespace CSBalloonShapes
