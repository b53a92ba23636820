#pragma once

#include "Geometry.h"

// The paper of the user's locale (LC_PAPER) as the codes of the first-run
// page format: 1 letter (216 × 279 mm), 5 legal (216 × 356), 8 A3
// (297 × 420), 9 A4 (210 × 297), 0 anything else.
namespace LocalePaper {

int codeForMillimetres(int width, int height);
// The code of the process environment's LC_PAPER (LC_ALL, LC_PAPER, LANG).
int localeCode();
// The size in points: 1 → 612 × 792, 5 → 612 × 1008, 8 → 842 × 1191,
// 9 → 595 × 842, any other code 0 × 0.
Size sizeForCode(int code);

} // namespace LocalePaper
