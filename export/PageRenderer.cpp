#include "PageRenderer.h"

#include "CAGGraphics.h"
#include "CSComic.h"
#include "CSPage.h"
#include "GraphicsParams.h"
#include "PAImage.h"
#include "ScopedCurrentContext.h"

#include <cmath>

PageRenderer::PageRenderer(CSComic& comic) : m_comic(comic) {}

PageRenderer::~PageRenderer() = default;

Size PageRenderer::pixelSize(float dotsPerInch) const
{
    // Multiplied before dividing, in double: 420 x 150 / 72 is exactly 875,
    // where 420 x (150 / 72) in floats falls just short and truncates to 874.
    const Size paper = m_comic.orientedSize();
    return Size{float(double(paper.width) * dotsPerInch / 72.0), float(double(paper.height) * dotsPerInch / 72.0)};
}

bool PageRenderer::prepareContext(Size pixels)
{
    if (m_context && pixels == m_contextSize) {
        m_context->ResetTransform();
        return true;
    }
    m_context.reset();
    GraphicsParams params;
    params.width = pixels.width;
    params.height = pixels.height;
    params.clearValue = 256;
    m_context = CreateGraphicsContext(params);
    m_contextSize = pixels;
    return m_context != nullptr;
}

RefPtr<PAImage> PageRenderer::renderPage(int index, float dotsPerInch, bool withAlpha)
{
    CSPage* page = m_comic.pageAt(index);
    if (!page || !std::isfinite(dotsPerInch) || dotsPerInch <= 0.0f)
        return nullptr;
    const Size pixels = pixelSize(dotsPerInch);
    const double width = std::floor(pixels.width);
    const double height = std::floor(pixels.height);
    if (width < 1.0 || height < 1.0 || width * height > kMaxPixels)
        return nullptr;
    if (!prepareContext(pixels))
        return nullptr;

    m_comic.setOutputDPI(std::int32_t(std::lround(dotsPerInch)));
    {
        ScopedCurrentContext current(m_context.get());
        const float scale = dotsPerInch / 72.0f;
        // The margins show the paper's colour; the page fills its content.
        m_context->FillRectangle(m_comic.backgroundColor(), Rect(0, 0, float(width), float(height)));
        m_context->ScaleTransform(scale, scale);
        m_context->TranslateTransform(m_comic.leftMargin() * scale, m_comic.topMargin() * scale);
        page->drawPage(m_comic);
    }

    const QImage drawn = m_context->copyImage();
    QImage converted = withAlpha ? drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                 : drawn.convertToFormat(QImage::Format_RGB888);
    if (converted.isNull())
        return nullptr;
    return RefPtr<PAImage>(new PAImage(converted));
}
