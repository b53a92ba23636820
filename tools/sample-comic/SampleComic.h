#pragma once

#include <QString>

class CSComic;

// The sample comic: three pages that use every element kind — panels of
// several frame styles and an irregular one, filtered pictures, every
// balloon kind with tails and thought trails, captions, lettering and page
// numbers. Its pictures are drawn here by code; photographs from a folder
// (the public-domain ones tools/fetch-sample-photos fetches) take the place
// of some of them when the folder holds them.
namespace SampleComic {

// Draws the generated pictures into folder ("skyline.png", …).
bool writeGeneratedPictures(const QString& folder);

// Builds the comic from the pictures in imagesFolder (generated ones, and
// "chelsea.png", "astronaut.png", "coffee.png" when photosFolder has them,
// copied in). The comic owns everything; destroy it with CSComic::destroy.
CSComic* build(const QString& imagesFolder, const QString& photosFolder = QString());

// Writes the package folder: "ComicData.pac" and "Images". False when a
// file cannot be written.
bool writePackage(const QString& folder, const QString& photosFolder = QString());

} // namespace SampleComic
