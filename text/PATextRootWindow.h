#pragma once

#include "AffineTransform.h"
#include "CAttributedString.h"
#include "CRefCountObject.h"
#include "Geometry.h"
#include "PackedColor.h"

#include <QString>

#include <cstdint>
#include <memory>

class PAFont;
class PAImage;

// The text host: lays out, measures and draws styled text for balloons,
// captions and one-line labels.
//
// Layout happens once, in page units, whatever the zoom or the output
// resolution: QTextDocument with the layout width as text width, no document
// margin, design metrics and unhinted fonts, every line 120 % of its natural
// height, the runs' alignment and tab stops and a default tab distance. A
// font of size S has an em height of S page units. Screen, export and print
// therefore break lines and place glyphs alike; only the painting resolution
// differs.
//
// Drawing goes into CurrentContext() (graphics/CGraphicsInterface.h). The text
// is painted with QPainter onto a transparent premultiplied picture that
// covers the layout box at the draw point plus room for the glyphs'
// overhang, under the device transform captured by setFrame and the frame's
// rotation; the picture is then put back with DrawImage under the identity
// transform, so the context's clip applies and nothing under the text is
// composited twice (with no clip and no shadow set, Qt's blending puts it
// back the same way, only faster). The painted area does not depend on the frame: a glyph
// near the edge of the layout box is never cut, even when the frame passed
// to setFrame is smaller than the layout box (balloons pass their text box
// inset by 3). The context's shadow is not switched off: draw text with
// shadows off (after the Restore that ends the shadowed fill).
//
// Typical use by an element:
//   PATextRootWindow& root = sharedTextRoot();
//   root.setFrame(box, angle);          // captures the context's CTM: call it
//                                       // before the element's own rotation
//                                       // is applied to the context
//   root.setLayoutSize(box.size);       // wrapping on
//   root.setText(text);
//   Rect used = root.usedTextRect();    // natural height of the wrapped text
//   root.drawAt({box.x(), top});        // top-left of the layout box
//
// One-line labels: prepareLabel(string, font, colour), then drawInRect(rect).
//
// The state (frame, rotation, transform, layout size, text) persists between
// calls, so every user sets all of it before drawing, and runs the whole
// sequence without another user in between. Interface thread only; needs a
// QGuiApplication.
class PATextRootWindow
{
public:
    // Every line is this percentage of its natural height.
    static constexpr int kLineHeightPercent = 120;
    // Tab positions between the paragraph's own stops and after the last one
    // repeat at this distance (the text engine's 720 twips, which in the
    // layouts documents were made with came to 48 page units).
    static constexpr float kDefaultTabDistance = 48.0f;
    // The character format text falls back to (an empty text measures one
    // line of it): PAFont::DefaultTextFamily at 9 page units.
    static constexpr std::int32_t kDefaultFontSize = 9;
    // How many layouts the cache keeps; the least recently used goes first.
    static constexpr int kLayoutCacheSize = 256;

    PATextRootWindow();
    ~PATextRootWindow();
    PATextRootWindow(const PATextRootWindow&) = delete;
    PATextRootWindow& operator=(const PATextRootWindow&) = delete;

    // Where the text box lies on the page (page units) and its rotation in
    // degrees (clockwise on the y-down page) about the frame's centre. Also
    // copies the current context's transform (identity without a context):
    // that transform maps the page to device pixels when drawing.
    void setFrame(const Rect& frame, float rotation);

    // The layout width and height in page units, each rounded up to a whole
    // unit (negative or non-finite sizes count as 0; sizes are limited to
    // 1e6). Turns wrapping on. The scale becomes the captured transform's
    // page-to-device scale along x and y.
    void setLayoutSize(Size size);

    // Loads the text to measure and draw. Layouts are cached by text and
    // layout width (and wrapping): loading a text laid out before at the
    // same width costs a lookup. A change of any run (string, font, colour,
    // paragraph) is another text.
    void setText(const CAttributedString& text);

    // The laid-out text in layout coordinates: x = 0, y = 0, width = the
    // layout width, height = the natural height of all lines (not limited
    // to the layout height). Independent of zoom and resolution.
    Rect usedTextRect();

    // Paints the loaded text with the top-left of its layout box at point
    // (page units) into the current context. Lines that do not fit in the
    // layout height are not painted (the first line always is, cut at the
    // layout height plus the overhang room). Draws nothing without a
    // context, without runs, with a layout width of 0 or when the text
    // height is 1 or less.
    void drawAt(Point point);

    // setFrame(rect, 0), then drawAt(rect origin).
    void drawInRect(const Rect& rect);

    // A one-line label: the layout size becomes (width of string + ".." in
    // the font + 2, the font's line height) with wrapping off, so that an
    // italic end is not clipped, and the text one run of the string in the
    // font and colour, centred. Then call drawInRect.
    void prepareLabel(const QString& string, const PAFont* font, PackedColor color);

    // --- State ----------------------------------------------------------
    const Rect& frame() const { return m_frame; }
    float rotation() const { return m_rotation; }
    const AffineTransform& transform() const { return m_transform; }
    // Page-to-device scale along x and y (1, 1 until setLayoutSize).
    Size scale() const { return m_scale; }
    std::int32_t layoutWidth() const { return m_layoutWidth; }
    std::int32_t layoutHeight() const { return m_layoutHeight; }
    bool wraps() const { return m_wraps; }
    const CAttributedString& text() const { return m_text; }

    // The device pixels the last drawAt painted (empty when it drew
    // nothing): the picture put back into the context.
    Rect lastPaintedDeviceRect() const { return m_lastPainted; }

    // Drops every cached layout (after fonts were added to the machine).
    void invalidateLayouts();
    int cachedLayoutCount() const;

private:
    struct Layout;
    class LayoutCache;

    // Layout size rounded up, the scale under the captured transform, wrapping.
    void resize(Size size, bool wraps);
    // The layout of the loaded text at the current width, from the cache.
    const Layout& currentLayout();

    Rect m_frame;
    float m_rotation = 0;
    AffineTransform m_transform;
    Size m_scale{1.0f, 1.0f};
    std::int32_t m_layoutWidth = 0;
    std::int32_t m_layoutHeight = 0;
    bool m_wraps = true;
    CAttributedString m_text;
    const Layout* m_layout = nullptr;
    std::unique_ptr<LayoutCache> m_cache;
    RefPtr<PAImage> m_buffer;
    Rect m_lastPainted;
};

// The one text host of the program, made on first use and kept until exit.
PATextRootWindow& sharedTextRoot();
