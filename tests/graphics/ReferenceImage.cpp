#include "ReferenceImage.h"

#include "PAImage.h"
#include "TestEnvironment.h"

#include <QDir>

#include <cstdlib>

QString referenceFolder()
{
    return QStringLiteral(PANELORA_GRAPHICS_TEST_DATA);
}

namespace {

bool uniformAround(const QImage& image, int x, int y)
{
    const QRgb centre = image.pixel(x, y);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= image.width() || ny >= image.height())
                continue;
            if (image.pixel(nx, ny) != centre)
                return false;
        }
    return true;
}

} // namespace

::testing::AssertionResult matchesReference(const QImage& rendered, const QString& name, int tolerance)
{
    const QString path = referenceFolder() + QLatin1Char('/') + name + QStringLiteral(".png");
    const QImage actual = rendered.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (qEnvironmentVariableIntValue("PANELORA_UPDATE_REFERENCES") == 1) {
        PAImage picture(actual);
        if (!PAImage::ok(picture.save(path)))
            return ::testing::AssertionFailure() << "could not write " << path.toStdString();
        return ::testing::AssertionSuccess();
    }
    PAImage reference;
    if (!PAImage::ok(reference.loadFromFile(path)))
        return ::testing::AssertionFailure() << "missing reference " << path.toStdString()
                                             << " (run with PANELORA_UPDATE_REFERENCES=1 and review it)";
    const QImage expected = reference.image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure() << name.toStdString() << ": size differs";

    int edgeMismatches = 0, interiorMismatches = 0, firstX = -1, firstY = -1, worst = 0;
    QImage difference(actual.size(), QImage::Format_RGB32);
    difference.fill(Qt::white);
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
            if (a == e)
                continue;
            const int d = std::max({std::abs(qRed(a) - qRed(e)), std::abs(qGreen(a) - qGreen(e)),
                                    std::abs(qBlue(a) - qBlue(e)), std::abs(qAlpha(a) - qAlpha(e))});
            const bool interior = uniformAround(expected, x, y);
            if (!interior && d <= tolerance)
                continue;
            (interior ? interiorMismatches : edgeMismatches)++;
            worst = std::max(worst, d);
            if (firstX < 0) {
                firstX = x;
                firstY = y;
            }
            difference.setPixel(x, y, qRgb(255, 0, 0));
        }
    if (interiorMismatches == 0 && edgeMismatches == 0)
        return ::testing::AssertionSuccess();
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("reference-"));
    actual.save(folder + QLatin1Char('/') + name + QStringLiteral("-actual.png"));
    difference.save(folder + QLatin1Char('/') + name + QStringLiteral("-difference.png"));
    return ::testing::AssertionFailure() << name.toStdString() << ": " << interiorMismatches << " interior and "
                                         << edgeMismatches << " edge pixels differ (worst " << worst
                                         << "), first at (" << firstX << ", " << firstY << ")";
}
