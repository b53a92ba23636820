#pragma once

#include "Geometry.h"

#include <QString>

class NSDictionary;

// First-run defaults and the version change, run at every start-up.
namespace PreferenceDefaults {

// When "Defaults-Set" is off: sets it and writes every first-run default,
// the page format chosen for the locale's paper code.
void applyFirstRunDefaults(int paperCode);
// When "LastVersion" differs from the running version: resets the update
// check's launch count and records the version.
void applyVersionChange(const QString& currentVersion);
// Both, with the locale's paper and the program's version.
void applyAtStartup();

// The page type of the page-types dictionary whose size equals the paper in
// either orientation (the last match wins); else the last 400 × 600 type;
// else "US Letter".
QString pageFormatForPaper(Size paper, NSDictionary* pageTypes);

} // namespace PreferenceDefaults
