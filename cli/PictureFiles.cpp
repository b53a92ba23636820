#include "PictureFiles.h"

#include "CliCommand.h"

#include "PAImage.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace Cli {

QByteArray pictureFormatForPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return "png";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "jpeg";
    if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff"))
        return "tiff";
    if (suffix == QLatin1String("bmp"))
        return "bmp";
    return QByteArray();
}

QString writablePictureExtensions() { return QStringLiteral(".png, .jpg, .jpeg, .tif, .tiff, .bmp"); }

RefPtr<PAImage> readPicture(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw DataError{path, QStringLiteral("no such file")};
    if (info.isDir())
        throw DataError{path, QStringLiteral("is a folder, not a picture")};
    if (!PAImage::isSupportedPictureFile(path))
        throw DataError{path, QStringLiteral("not a picture file (.bmp, .gif, .jpg, .png or .tif)")};
    if (!info.isReadable())
        throw DataError{path, QStringLiteral("permission denied")};
    RefPtr<PAImage> picture(new PAImage(path, false));
    const PAImage::Result result = picture->loadFromFile(path);
    if (result == PAImage::Result::OutOfMemory)
        throw DataError{path, QStringLiteral("too large to load")};
    if (!PAImage::ok(result) || !picture->isLoaded())
        throw DataError{path, QStringLiteral("not a picture this program can read")};
    return picture;
}

void writePicture(const QImage& picture, const QString& path, int quality)
{
    const QByteArray format = pictureFormatForPath(path);
    if (!QImageWriter::supportedImageFormats().contains(format))
        throw DataError{path, QStringLiteral("this system cannot write %1 files").arg(QString::fromLatin1(format))};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw DataError{path, file.errorString()};
    QImageWriter writer(&file, format);
    if (format == "jpeg")
        writer.setQuality(quality);
    if (!writer.write(picture)) {
        file.cancelWriting();
        throw DataError{path, writer.errorString()};
    }
    if (!file.commit())
        throw DataError{path, file.errorString()};
}

} // namespace Cli
