#pragma once

#include <QString>

// Faces named in documents and stylesheets ("DigitalStrip", "Verdana",
// "Tahoma", "Arial" ...) stay as written in every stored form. Only drawing
// needs a face the machine has: a known face that is missing is mapped to a
// font that ships with the program, the comic lettering faces to
// "Comic Neue"; any other missing face is left to fontconfig.
namespace FontSubstitution {

// Registers the substitutions with QFont, once; needs a QGuiApplication.
// Called by the first font made for drawing, and safe to call again.
void install();

// The face drawing uses for a face named in a file: the face itself when the
// machine has it, else its substitute (empty when there is none).
QString substituteFor(const QString& face);

// True for faces of comic lettering, which draw with "Comic Neue".
bool isComicFace(const QString& face);

} // namespace FontSubstitution
