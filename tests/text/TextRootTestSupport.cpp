#include "TextRootTestSupport.h"

#include "NSBezierPath.h"

#include <algorithm>
#include <cstdlib>

Canvas::Canvas(int width, int height, float zoom, int clearValue)
{
    GraphicsParams params;
    params.width = float(width);
    params.height = float(height);
    params.clearValue = clearValue;
    m_context = CreateGraphicsContext(params);
    m_context->ScaleTransform(zoom, zoom);
    PushCurrentContext(m_context.get());
}

Canvas::~Canvas()
{
    PopCurrentContext();
}

void drawTextBox(PATextRootWindow& root, const CAttributedString& text, const Rect& box, float angle, bool outlined)
{
    CGraphicsInterface* context = CurrentContext();
    root.setFrame(box, angle);
    context->Save();
    context->MultiplyTransform(AffineTransform::rotationAbout(Point{box.midX(), box.midY()}, angle));
    if (outlined) {
        NSBezierPath outline = NSBezierPath::pathWithRect(box);
        outline.setColor(packColor(120, 170, 255));
        outline.setLineWidth(0.5f);
        outline.stroke();
    }
    root.setLayoutSize(box.size);
    root.setText(text);
    root.drawAt(box.origin);
    context->Restore();
}

QRect inkBounds(const QImage& image, QRgb background, int threshold)
{
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    int left = pixels.width(), top = pixels.height(), right = -1, bottom = -1;
    for (int y = 0; y < pixels.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const QRgb p = row[x];
            const int d = std::max({std::abs(qRed(p) - qRed(background)), std::abs(qGreen(p) - qGreen(background)),
                                    std::abs(qBlue(p) - qBlue(background)), std::abs(qAlpha(p) - qAlpha(background))});
            if (d <= threshold)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

const PAFont* verdana(int size, std::uint32_t style)
{
    return PAFont::fontWithFamily(QStringLiteral("Verdana"), size, style);
}
