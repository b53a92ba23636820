#pragma once

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

// Compares a rendered surface with a reviewed reference picture kept in
// tests/graphics/data/<name>.png. Pixels whose reference 3 x 3 neighbourhood
// is uniform (interiors) must match exactly; others (anti-aliased edges) may
// differ by the tolerance per channel. With PANELORA_UPDATE_REFERENCES=1 in
// the environment the reference is written instead (review it before committing).
//
// References are stored through PAImage, whose premultiply/un-premultiply pair
// round-trips exactly, so translucent pixels compare exactly too.
::testing::AssertionResult matchesReference(const QImage& rendered, const QString& name, int tolerance = 8);

// The folder of the reference pictures.
QString referenceFolder();
