#pragma once

#include "CRefCountObject.h"
#include "Geometry.h"

#include <memory>

class CAGGraphics;
class CSComic;
class PAImage;

// Draws one page of a comic at a chosen resolution into a picture, the way
// every export does: the whole paper, the margins in the comic's background
// colour, the page content inside them. The drawing context is kept while
// the pixel size stays the same, so a comic renders into one context.
class PageRenderer
{
public:
    // Pictures larger than this many pixels are refused rather than allocated.
    static constexpr double kMaxPixels = 200'000'000.0;

    explicit PageRenderer(CSComic& comic);
    ~PageRenderer();
    PageRenderer(const PageRenderer&) = delete;
    PageRenderer& operator=(const PageRenderer&) = delete;

    // The paper at dots per inch: the oriented paper size x dpi / 72.
    Size pixelSize(float dotsPerInch) const;
    // Page index from 0. Sets the stylesheet's "OutputDPI" first, so that
    // pictures filter for the resolution. 32 bits with alpha or 24 without.
    // Null for a page that does not exist, a resolution that is not positive
    // and finite, or a picture too large to allocate.
    RefPtr<PAImage> renderPage(int index, float dotsPerInch, bool withAlpha);

private:
    bool prepareContext(Size pixels);

    CSComic& m_comic;
    std::unique_ptr<CAGGraphics> m_context;
    Size m_contextSize;
};
