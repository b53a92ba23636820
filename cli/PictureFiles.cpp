#include "PictureFiles.h"

#include "CliCommand.h"

#include <QFileInfo>
#include <QImageReader>
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

QImage readPicture(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw DataError{path, QStringLiteral("no such file")};
    if (info.isDir())
        throw DataError{path, QStringLiteral("is a folder, not a picture")};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage picture = reader.read();
    if (picture.isNull()) {
        const QString reason = reader.error() == QImageReader::UnsupportedFormatError
                                   ? QStringLiteral("not a picture this program can read")
                                   : reader.errorString();
        throw DataError{path, reason};
    }
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
