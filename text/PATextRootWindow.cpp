#include "PATextRootWindow.h"

#include "CAGGraphics.h"
#include "PAFont.h"
#include "PAFontRendering.h"
#include "PAImage.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

namespace {

// Layout sizes beyond this are not a text box any more.
constexpr float kMaxLayoutSide = 1.0e6f;

// Room around the layout box for glyphs that reach past their advance box
// (italic slants, the tails of j and f, accents): this many units plus this
// share of the largest font size in the text.
constexpr float kOverhangUnits = 2.0f;
constexpr float kOverhangPerEm = 0.3f;

// A line fits the layout height when its glyphs end at most this far below it.
constexpr float kFitTolerance = 0.5f;

QFont layoutFont(const PAFont* font)
{
    QFont qt = PAFontRendering::qtFont(font);
    qt.setHintingPreference(QFont::PreferNoHinting);
    // Text is painted on transparent pictures, where sub-pixel colour
    // fringes have nothing to match.
    qt.setStyleStrategy(QFont::StyleStrategy(qt.styleStrategy() | QFont::NoSubpixelAntialias));
    return qt;
}

QColor opaqueColor(PackedColor color)
{
    return QColor(colorRed(color), colorGreen(color), colorBlue(color));
}

Qt::Alignment qtAlignment(TextAlignment alignment)
{
    switch (alignment) {
    case TextAlignment::Right: return Qt::AlignRight | Qt::AlignAbsolute;
    case TextAlignment::Center: return Qt::AlignHCenter;
    case TextAlignment::Justify: return Qt::AlignJustify;
    case TextAlignment::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignAbsolute;
}

QTextOption::TabType qtTabType(TabStop::Kind kind)
{
    switch (kind) {
    case TabStop::Center: return QTextOption::CenterTab;
    case TabStop::Right: return QTextOption::RightTab;
    case TabStop::Decimal: return QTextOption::DelimiterTab;
    case TabStop::Left: break;
    }
    return QTextOption::LeftTab;
}

QTextBlockFormat blockFormatOf(const ParagraphFormat& paragraph)
{
    QTextBlockFormat format;
    format.setAlignment(qtAlignment(paragraph.has(ParagraphFormat::Alignment) ? paragraph.alignment
                                                                              : TextAlignment::Left));
    format.setLineHeight(PATextRootWindow::kLineHeightPercent, QTextBlockFormat::ProportionalHeight);
    if (paragraph.has(ParagraphFormat::TabStops) && !paragraph.tabStops.empty()) {
        QList<QTextOption::Tab> tabs;
        for (const TabStop& stop : paragraph.tabStops) {
            const qreal position = qreal(stop.position) / PAFont::TwipsPerPageUnit;
            tabs.append(stop.kind == TabStop::Decimal ? QTextOption::Tab(position, QTextOption::DelimiterTab, u'.')
                                                      : QTextOption::Tab(position, qtTabType(stop.kind)));
        }
        // The engine takes stops in order of position.
        std::sort(tabs.begin(), tabs.end(),
                  [](const QTextOption::Tab& a, const QTextOption::Tab& b) { return a.position < b.position; });
        format.setTabPositions(tabs);
    }
    return format;
}

QTextCharFormat charFormatOf(const TextRun& run)
{
    QTextCharFormat format;
    format.setFont(layoutFont(run.font), QTextCharFormat::FontPropertiesAll);
    // The engine keeps red, green and blue; text is drawn opaque.
    format.setForeground(opaqueColor(run.color));
    const std::uint32_t style = run.font ? run.font->style() : 0;
    if (style & PAFont::FontStyleSubscript)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    else if (style & PAFont::FontStyleSuperscript)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    return format;
}

float saneLayoutSide(float side)
{
    if (!std::isfinite(side) || side <= 0)
        return 0;
    return std::ceil(std::min(side, kMaxLayoutSide));
}

QTransform qtTransform(const AffineTransform& t)
{
    return QTransform(t.a, t.b, t.c, t.d, t.tx, t.ty);
}

bool isFinite(const QTransform& t)
{
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) && std::isfinite(t.m22())
        && std::isfinite(t.dx()) && std::isfinite(t.dy());
}

} // namespace

// One laid-out text: the document and what drawing needs to know about its lines.
struct PATextRootWindow::Layout
{
    struct Line
    {
        // Document coordinates (page units from the top of the layout box).
        float top = 0;
        // Where the line's glyph cell ends (top + ascent + descent); the
        // line's share of the height below that is the extra line spacing.
        float glyphBottom = 0;
    };

    std::unique_ptr<QTextDocument> document;
    std::vector<Line> lines;
    float naturalHeight = 0;
    float overhang = kOverhangUnits;
};

// Layouts by text, width and wrapping. A handful of entries is searched
// linearly by hash; the least recently used entry makes room for a new one.
class PATextRootWindow::LayoutCache
{
public:
    const Layout& find(const CAttributedString& text, std::int32_t width, bool wraps)
    {
        const std::size_t hash = qHashMulti(0, text.string(), text.runCount(), width, wraps);
        ++m_clock;
        for (Entry& entry : m_entries) {
            if (entry.hash == hash && entry.width == width && entry.wraps == wraps && entry.text == text) {
                entry.lastUse = m_clock;
                return entry.layout;
            }
        }
        Entry* slot = nullptr;
        if (int(m_entries.size()) < kLayoutCacheSize) {
            slot = &m_entries.emplace_back();
        } else {
            slot = &*std::min_element(m_entries.begin(), m_entries.end(),
                                      [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
        }
        slot->hash = hash;
        slot->text = text;
        slot->width = width;
        slot->wraps = wraps;
        slot->lastUse = m_clock;
        slot->layout = makeLayout(text, width, wraps);
        return slot->layout;
    }

    void clear() { m_entries.clear(); }
    int count() const { return int(m_entries.size()); }

private:
    struct Entry
    {
        std::size_t hash = 0;
        CAttributedString text;
        std::int32_t width = 0;
        bool wraps = true;
        std::uint64_t lastUse = 0;
        Layout layout;
    };

    static Layout makeLayout(const CAttributedString& text, std::int32_t width, bool wraps);

    // A deque keeps entries in place as it grows (Layout references stay valid).
    std::deque<Entry> m_entries;
    std::uint64_t m_clock = 0;
};

PATextRootWindow::Layout PATextRootWindow::LayoutCache::makeLayout(const CAttributedString& text, std::int32_t width,
                                                                   bool wraps)
{
    Layout layout;
    layout.document = std::make_unique<QTextDocument>();
    QTextDocument& document = *layout.document;
    document.setUndoRedoEnabled(false);
    document.setDocumentMargin(0);
    QTextOption option;
    option.setWrapMode(wraps ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    option.setTabStopDistance(kDefaultTabDistance);
    option.setUseDesignMetrics(true);
    document.setDefaultTextOption(option);
    document.setUseDesignMetrics(true);
    document.setDefaultFont(
        layoutFont(PAFont::fontWithFamily(QString::fromUtf16(PAFont::DefaultTextFamily), kDefaultFontSize)));
    document.setTextWidth(width);

    QTextCursor cursor(&document);
    cursor.setBlockFormat(blockFormatOf(ParagraphFormat()));
    int largestSize = kDefaultFontSize;
    for (int i = 0; i < text.runCount(); ++i) {
        const TextRun& run = text.run(i);
        const QString piece = text.runText(i);
        if (piece.isEmpty())
            continue;
        const int start = cursor.position();
        cursor.insertText(piece, charFormatOf(run));
        // The run's paragraph format holds for every paragraph it touches (a
        // paragraph mark belongs to the paragraph it ends); a later run in
        // the same paragraph overrides it.
        const QTextBlockFormat paragraph = blockFormatOf(run.paragraph);
        const QTextBlock last = document.findBlock(std::max(start, cursor.position() - 1));
        for (QTextBlock block = document.findBlock(start); block.isValid(); block = block.next()) {
            QTextCursor(block).setBlockFormat(paragraph);
            if (block == last)
                break;
        }
        if (run.font)
            largestSize = std::max(largestSize, int(run.font->size()));
    }

    layout.naturalHeight = float(document.documentLayout()->documentSize().height());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* blockLayout = block.layout();
        if (!blockLayout)
            continue;
        const qreal blockTop = blockLayout->position().y();
        for (int l = 0; l < blockLayout->lineCount(); ++l) {
            const QTextLine line = blockLayout->lineAt(l);
            const float top = float(blockTop + line.y());
            layout.lines.push_back({top, float(top + line.ascent() + line.descent())});
        }
    }
    layout.overhang = kOverhangUnits + kOverhangPerEm * float(std::min(largestSize, int(kMaxFontSize)));
    return layout;
}

PATextRootWindow::PATextRootWindow()
    : m_cache(std::make_unique<LayoutCache>())
{
}

PATextRootWindow::~PATextRootWindow() = default;

void PATextRootWindow::setFrame(const Rect& frame, float rotation)
{
    m_frame = frame;
    m_rotation = std::isfinite(rotation) ? std::fmod(rotation, 360.0f) : 0.0f;
    const CGraphicsInterface* context = CurrentContext();
    m_transform = context ? context->GetTransform() : AffineTransform();
}

void PATextRootWindow::setLayoutSize(Size size)
{
    resize(size, true);
}

void PATextRootWindow::resize(Size size, bool wraps)
{
    const float width = saneLayoutSide(size.width);
    const float height = saneLayoutSide(size.height);
    const Point device = m_transform.transformVector(Point{width, height});
    m_scale = Size{width > 0 ? device.x / width : 1.0f, height > 0 ? device.y / height : 1.0f};
    if (std::int32_t(width) != m_layoutWidth || wraps != m_wraps)
        m_layout = nullptr;
    m_layoutWidth = std::int32_t(width);
    m_layoutHeight = std::int32_t(height);
    m_wraps = wraps;
}

void PATextRootWindow::setText(const CAttributedString& text)
{
    if (m_text == text)
        return;
    m_text = text;
    m_layout = nullptr;
}

const PATextRootWindow::Layout& PATextRootWindow::currentLayout()
{
    if (!m_layout)
        m_layout = &m_cache->find(m_text, m_layoutWidth, m_wraps);
    return *m_layout;
}

Rect PATextRootWindow::usedTextRect()
{
    return Rect(0, 0, float(m_layoutWidth), currentLayout().naturalHeight);
}

void PATextRootWindow::drawAt(Point point)
{
    m_lastPainted = Rect();
    CGraphicsInterface* context = CurrentContext();
    if (!context || m_text.runCount() == 0 || m_layoutWidth <= 0 || !std::isfinite(point.x)
        || !std::isfinite(point.y))
        return;
    const Layout& layout = currentLayout();
    if (std::min(layout.naturalHeight, float(m_layoutHeight)) <= 1)
        return;

    // The painted part of the layout box, in layout coordinates: every line
    // whose glyphs fit the layout height (at least the first), with room
    // for overhanging glyphs on every side.
    const float room = layout.overhang;
    float bottom = layout.naturalHeight + room;
    const float limit = float(m_layoutHeight) + kFitTolerance;
    const auto firstCut = std::find_if(layout.lines.begin(), layout.lines.end(),
                                       [&](const Layout::Line& line) { return line.glyphBottom > limit; });
    const bool cut = firstCut != layout.lines.end();
    if (cut)
        bottom = firstCut == layout.lines.begin() ? float(m_layoutHeight) + room : firstCut->top;
    const QRectF painted(-room, -room, m_layoutWidth + 2 * room, bottom + room);

    // Layout coordinates to device pixels: to the draw point, turned about
    // the frame's centre, then the page transform captured by setFrame.
    const Point centre{m_frame.midX(), m_frame.midY()};
    QTransform toDevice = QTransform::fromTranslate(point.x, point.y);
    if (m_rotation != 0)
        toDevice *= QTransform::fromTranslate(-centre.x, -centre.y) * QTransform().rotate(m_rotation)
            * QTransform::fromTranslate(centre.x, centre.y);
    toDevice *= qtTransform(m_transform);
    if (!isFinite(toDevice) || !toDevice.isInvertible())
        return;

    // The picture: the device pixels under the painted part, within the surface.
    const QRectF deviceBounds = toDevice.mapRect(painted)
                                    .intersected(QRectF(0, 0, context->GetWidth(), context->GetHeight()));
    if (deviceBounds.isEmpty())
        return;
    const int left = int(std::floor(deviceBounds.left()));
    const int top = int(std::floor(deviceBounds.top()));
    const int width = int(std::ceil(deviceBounds.right())) - left;
    const int height = int(std::ceil(deviceBounds.bottom())) - top;
    if (width <= 0 || height <= 0)
        return;
    const QRect device(left, top, width, height);
    const Rect placed{float(left), float(top), float(width), float(height)};
    // Paints the layout under the transform into a picture whose top-left
    // pixel is the device pixel origin.
    const auto paintText = [&](QPainter& painter, QPoint origin) {
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.setTransform(toDevice * QTransform::fromTranslate(-origin.x(), -origin.y()));
        QAbstractTextDocumentLayout::PaintContext paint;
        paint.palette.setColor(QPalette::Text, Qt::black);
        if (cut) {
            painter.setClipRect(painted, Qt::IntersectClip);
            paint.clip = painted;
        }
        layout.document->documentLayout()->draw(&painter, paint);
    };

    if (!m_buffer || m_buffer->width() != width || m_buffer->height() != height) {
        m_buffer = RefPtr<PAImage>(new PAImage);
        if (!m_buffer->create(width, height, 32, true)) {
            m_buffer = RefPtr<PAImage>();
            return;
        }
    }
    QImage& pixels = m_buffer->image();
    pixels.fill(Qt::transparent);
    {
        QPainter painter(&pixels);
        if (!painter.isActive())
            return;
        paintText(painter, device.topLeft());
    }

    // With nothing between the picture and the surface (no clip, no
    // shadow), Qt's blending puts it back the way DrawImage would at unit
    // scale and whole pixels, only faster.
    auto* surface = dynamic_cast<CAGGraphics*>(context);
    if (surface && !surface->hasClip() && !surface->isShadowOn()) {
        QImage target = surface->image();
        QPainter painter(&target);
        painter.drawImage(device.topLeft(), pixels);
    } else {
        context->Save();
        context->ResetTransform();
        context->DrawImage(*m_buffer, placed);
        context->Restore();
    }
    m_lastPainted = placed;
}

void PATextRootWindow::drawInRect(const Rect& rect)
{
    setFrame(rect, 0);
    drawAt(rect.origin);
}

void PATextRootWindow::prepareLabel(const QString& string, const PAFont* font, PackedColor color)
{
    if (!font)
        font = PAFont::defaultFont();
    const QFontMetricsF metrics(layoutFont(font));
    resize(Size{float(metrics.horizontalAdvance(string + QStringLiteral(".."))) + 2, float(metrics.height())}, false);
    setText(CAttributedString(string, font, color, TextAlignment::Center));
}

void PATextRootWindow::invalidateLayouts()
{
    m_layout = nullptr;
    m_cache->clear();
}

int PATextRootWindow::cachedLayoutCount() const
{
    return m_cache->count();
}

PATextRootWindow& sharedTextRoot()
{
    // Never destroyed: its documents must not outlive the application
    // object, which static destruction would make them do.
    static PATextRootWindow* root = new PATextRootWindow;
    return *root;
}
