#include "FilterTestSupport.h"

#include "FilterExecution.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace FilterTest {

QImage testCard(int width, int height)
{
    QImage card(width, height, QImage::Format_RGB32);
    const int wedgeTop = height * 4 / 5;
    for (int y = 0; y < height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(card.scanLine(y));
        for (int x = 0; x < width; ++x) {
            int r, g, b;
            if (y >= wedgeTop) {
                const int step = x * 8 / width;
                r = g = b = step * 255 / 7;
            } else {
                const double hue = 6.0 * x / width;
                const double value = 1.0 - 0.8 * y / wedgeTop;
                const double f = hue - std::floor(hue);
                const int sector = int(hue) % 6;
                const double rgb[6][3] = {{1, f, 0}, {1 - f, 1, 0}, {0, 1, f}, {0, 1 - f, 1}, {f, 0, 1}, {1, 0, 1 - f}};
                r = int(255 * value * (0.25 + 0.75 * rgb[sector][0]));
                g = int(255 * value * (0.25 + 0.75 * rgb[sector][1]));
                b = int(255 * value * (0.25 + 0.75 * rgb[sector][2]));
            }
            const int discs[3][4] = {{width / 4, height / 3, height / 5, 0xF0E0D0},
                                     {width / 2, height / 2, height / 6, 0x202838},
                                     {width * 3 / 4, height / 3, height / 7, 0xC03020}};
            for (const auto& d : discs) {
                const int dx = x - d[0], dy = y - d[1];
                if (dx * dx + dy * dy <= d[2] * d[2]) {
                    r = (d[3] >> 16) & 0xFF;
                    g = (d[3] >> 8) & 0xFF;
                    b = d[3] & 0xFF;
                }
            }
            row[x] = qRgb(r, g, b);
        }
    }
    return card;
}

WorkingImage flatImage(int width, int height, Quad colour)
{
    WorkingImage image = WorkingImage::create(width, height);
    std::fill(image.pixels(), image.pixels() + image.pixelCount(), colour);
    return image;
}

WorkingImage noiseImage(int width, int height, unsigned seed)
{
    WorkingImage image = WorkingImage::create(width, height);
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (std::size_t i = 0; i < image.pixelCount(); ++i)
        image.pixels()[i] = Quad{unit(random), unit(random), unit(random), 1.0f};
    return image;
}

WorkingImage copy(const WorkingImage& image)
{
    return WorkingImage::copyOf(image.pixels(), image.width(), image.height());
}

float largestDifference(const WorkingImage& a, const WorkingImage& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return std::numeric_limits<float>::infinity();
    float most = 0.0f;
    for (std::size_t i = 0; i < a.pixelCount(); ++i)
        for (int c = 0; c < 4; ++c) {
            const float d = std::fabs(a.pixels()[i][c] - b.pixels()[i][c]);
            if (!(d <= most))
                most = std::isnan(d) ? std::numeric_limits<float>::infinity() : d;
        }
    return most;
}

int largestByteDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 256;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int most = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
        }
    return most;
}

int pixelsBeyond(const QImage& a, const QImage& b, int tolerance)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance
                || std::abs(qBlue(p) - qBlue(q)) > tolerance)
                ++count;
        }
    return count;
}

bool sameBits(const WorkingImage& a, const WorkingImage& b)
{
    return a.width() == b.width() && a.height() == b.height()
           && std::memcmp(a.pixels(), b.pixels(), a.pixelCount() * sizeof(Quad)) == 0;
}

QString dataPath(const QString& name) { return QStringLiteral(FILTER_TEST_DATA_DIR "/") + name; }

ExecutionScope::ExecutionScope(int threads, bool vectorCode)
{
    FilterExecution::setThreadCount(threads);
    FilterExecution::setVectorCodeEnabled(vectorCode);
}

ExecutionScope::~ExecutionScope()
{
    FilterExecution::setThreadCount(0);
    FilterExecution::setVectorCodeEnabled(true);
}

} // namespace FilterTest
