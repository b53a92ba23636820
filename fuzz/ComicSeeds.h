#pragma once

#include <QString>

// Seeds for the model's readers, written with the model's own writers: comic
// data files holding every element kind, stylesheets, element and path
// archives, styled text. Needs a QGuiApplication (lettering uses glyph
// outlines).
void writeModelSeeds(const QString& corpus, const QString& resources);
