#pragma once

#include "CRefCountObject.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class PAImage;

// Reading and writing picture files for the commands. Failures are thrown as
// Cli::DataError naming the file.
namespace Cli {

// The writer format for a path's extension (".png", ".jpg", ".jpeg", ".tif",
// ".tiff", ".bmp", any case), or empty when the extension is not one the
// program writes.
QByteArray pictureFormatForPath(const QString& path);
// The list of writable extensions, for messages.
QString writablePictureExtensions();

// The picture of a file, decoded as the program decodes pictures it places.
RefPtr<PAImage> readPicture(const QString& path);

// Writes picture to path through a temporary file renamed over path on
// success (an existing file is replaced; nothing is left on failure). quality
// 1..100 applies to JPEG only.
void writePicture(const QImage& picture, const QString& path, int quality);

} // namespace Cli
