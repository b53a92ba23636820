#pragma once

#include "TextFormats.h"

#include <QString>
#include <QStringView>

// The text form in which styled text carries its attributes: CSS-like
// declarations, each "name: value; ", for example
//   "font: 12.000000 'Verdana' normal bold 'Verdana'; color: 1.000000 0.000000 0.000000 1.000000; text-align: center; "
// Numbers are written and read the same way whatever the user's locale.

// Writes font, color, background-color, text-align (always), tab-stops,
// text-decoration and text-superscript, each when the formats hold it.
QString styleDeclarations(const CharacterFormat& character, const ParagraphFormat& paragraph);

// Reads a declaration list into a cleared character format and a paragraph
// whose alignment is first set to left; tab stops are appended to those the
// paragraph already holds. Unknown names and malformed items are skipped.
void parseStyleDeclarations(QStringView text, CharacterFormat& character, ParagraphFormat& paragraph);
