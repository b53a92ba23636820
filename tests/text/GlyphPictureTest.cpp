// Glyph outlines drawn as a word, compared with a reviewed reference picture.
// The outlines are filled with QPainter here: the picture checks their shape
// (contours, curve kinds, y-up placement), not any drawing context.
#include "PAFontRendering.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace PAFontRendering;

QPainterPath painterPath(const NSBezierPath& path)
{
    QPainterPath out;
    QPointF pending[3];
    int pendingCount = 0;
    for (int i = 0; i < path.vertexCount(); ++i) {
        const PathVertex v = path.vertexAt(i);
        const QPointF p(v.x, v.y);
        switch (v.command) {
        case kPathMoveTo: out.moveTo(p); break;
        case kPathLineTo: out.lineTo(p); break;
        case kPathCurve3:
            pending[pendingCount++] = p;
            if (pendingCount == 2) {
                out.quadTo(pending[0], pending[1]);
                pendingCount = 0;
            }
            break;
        case kPathCurve4:
            pending[pendingCount++] = p;
            if (pendingCount == 3) {
                out.cubicTo(pending[0], pending[1], pending[2]);
                pendingCount = 0;
            }
            break;
        default:
            if (isPathEndPolyCommand(v.command) && isPathClosedEnd(v.command))
                out.closeSubpath();
        }
    }
    return out;
}

// Lays the word out on a baseline by the glyph advances and fills each
// outline flipped into the picture's y-down space.
void drawWord(QPainter& painter, const PAFont* font, const QString& word, QPointF baseline)
{
    QPointF pen = baseline;
    for (qsizetype i = 0; i < word.size();) {
        int units = 0;
        const GlyphOutline& glyph = glyphFor(font, characterAt(word, i, &units));
        painter.save();
        painter.translate(pen);
        painter.scale(1, -1);
        painter.fillPath(painterPath(glyph.path), Qt::black);
        painter.restore();
        pen += QPointF(glyph.advance.x, -glyph.advance.y);
        i += units;
    }
}

QImage render()
{
    QImage image(360, 150, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(255, 0, 0));
    painter.drawLine(0, 60, 360, 60);
    painter.drawLine(0, 130, 360, 130);
    drawWord(painter, PAFont::fontWithFamily(QStringLiteral("Verdana"), 56, 0u), QStringLiteral("Qg&Ob@"), QPointF(8, 60));
    drawWord(painter, PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 56, PAFont::FontStyleBold),
             QStringLiteral("BLAM! \U0001D400"), QPointF(8, 130));
    return image;
}

TEST(GlyphPicture, WordsMatchTheReference)
{
    const QImage image = render();
    const QString referencePath = QStringLiteral(TEXT_TEST_DATA "/glyph_words.png");
    if (std::getenv("PANELORA_UPDATE_REFERENCES")) {
        ASSERT_TRUE(image.save(referencePath));
        GTEST_SKIP() << "reference written";
    }
    QImage reference(referencePath);
    ASSERT_FALSE(reference.isNull()) << "missing " << referencePath.toStdString();
    reference = reference.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(reference.size(), image.size());
    int differing = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb a = image.pixel(x, y);
            const QRgb b = reference.pixel(x, y);
            const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                    std::abs(qBlue(a) - qBlue(b))});
            if (d > 24)
                ++differing;
        }
    }
    EXPECT_LE(differing, image.width() * image.height() / 500) << "anti-aliased edges may differ a little";
}

} // namespace
