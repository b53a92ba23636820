#include "CSImageElement.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CGraphicsInterface.h"
#include "CSStylesheet.h"
#include "CSUndoSetAspectRatio.h"
#include "CSUndoSetFlipHorizontal.h"
#include "CSUndoSetFlipVertical.h"
#include "CSUndoSetMaintainAspectRatio.h"
#include "NotificationNames.h"
#include "PaneloraFilter.h"
#include "Preferences.h"
#include "Resources.h"
#include "StyleKeys.h"
#include "TextCodecs.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The qualified keys a picture draws with, made once: drawing looks them up
// for every picture on every repaint.
struct ImageKeys
{
    QString filter = QStringLiteral("Image.Filter");
    QString invert = QStringLiteral("Image.Invert");
    QString colorize = QStringLiteral("Image.Colorize");
    QString colorizeColor = QStringLiteral("Image.ColorizeColor");
    QString drawShadow = QStringLiteral("Image.DrawShadow");
    QString shadowColor = QStringLiteral("Image.ShadowColor");
    QString shadowBlurRadius = QStringLiteral("Image.ShadowBlurRadius");
    QString shadowXOffset = QStringLiteral("Image.ShadowXOffset");
    QString shadowYOffset = QStringLiteral("Image.ShadowYOffset");
    QString drawFrame = QStringLiteral("Image.DrawFrame");
    QString frameColor = QStringLiteral("Image.FrameColor");
    QString frameWidth = QStringLiteral("Image.FrameWidth");
    QString screenResolutionPreference = QStringLiteral("FilterImagesAtScreenResPreference");
    QString unsupportedPicture = QStringLiteral("exclamation_mark_unsupported_format.png");
};

const ImageKeys& keys()
{
    static const ImageKeys table;
    return table;
}

// The interpolation modes the context keeps in its state.
constexpr int kNearestNeighborInterpolation = 5;
constexpr int kHighQualityInterpolation = 7;

// Ratios beyond these are no picture's.
constexpr float kMinAspectRatio = 1.0e-3f;
constexpr float kMaxAspectRatio = 1.0e3f;

constexpr std::int32_t kMaxOutputDPI = 4800;

bool g_fastDrawing = false;

// A pixel size of at least 1 x 1, reduced (keeping its shape) to at most
// kMaxCachedPixels.
QSize boundedPixelSize(double width, double height)
{
    width = std::max(1.0, std::floor(width));
    height = std::max(1.0, std::floor(height));
    const double limit = double(CSImageElement::kMaxCachedPixels);
    if (width * height > limit) {
        const double shrink = std::sqrt(limit / (width * height));
        width = std::max(1.0, std::floor(width * shrink));
        height = std::max(1.0, std::floor(height * shrink));
    }
    return QSize(int(width), int(height));
}

// The frame's working size at one pixel per page unit.
QSize workingPixelSize(const Rect& frame)
{
    const Rect covered = integralRect(frame);
    return boundedPixelSize(covered.width(), covered.height());
}

// The whole picture stretched to the size, averaging the pixels each target
// pixel covers when it shrinks (so fine detail does not alias), with the
// picture's own depth.
RefPtr<PAImage> stretchedPicture(const PAImage& picture, QSize size)
{
    if (!picture.isLoaded() || size.isEmpty())
        return RefPtr<PAImage>();
    QImage stretched = picture.image().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (stretched.isNull())
        return RefPtr<PAImage>();
    if (picture.bitsPerPixel() == 24 && stretched.format() != QImage::Format_BGR888)
        stretched = stretched.convertToFormat(QImage::Format_BGR888);
    if (stretched.isNull())
        return RefPtr<PAImage>();
    return RefPtr<PAImage>(new PAImage(stretched));
}

float sanitizedRatio(float ratio)
{
    if (!std::isfinite(ratio) || ratio <= 0.0f)
        return 0.0f;
    return std::clamp(ratio, kMinAspectRatio, kMaxAspectRatio);
}

// Grows both sides by one factor until neither is below the minimum.
Size grownToMinimum(Size size, float minimum)
{
    const float shortest = std::min(size.width, size.height);
    if (!(shortest < minimum) || shortest <= 0.0f)
        return size;
    const float grow = minimum / shortest;
    return Size{std::max(minimum, size.width * grow), std::max(minimum, size.height * grow)};
}

bool isCornerHandle(int handle)
{
    return handle == 0 || handle == 2 || handle == 5 || handle == 7;
}

} // namespace

CSImageElement::CSImageElement() = default;

CSImageElement::CSImageElement(const Rect& frame) : CSElement(frame) {}

CSImageElement::CSImageElement(const CSImageElement& other)
    : CSElement(other),
      m_source(other.m_source),
      m_imageName(other.m_imageName),
      m_pictureRect(other.m_pictureRect),
      m_workingRect(other.m_workingRect),
      m_maintainAspectRatio(other.m_maintainAspectRatio),
      m_aspectRatio(other.m_aspectRatio),
      m_flipVertical(other.m_flipVertical),
      m_flipHorizontal(other.m_flipHorizontal),
      m_display(other.m_display)
{
}

CSImageElement::~CSImageElement() = default;

CSElement* CSImageElement::clone() const
{
    return new CSImageElement(*this);
}

const QString& CSImageElement::stylePrefix() const
{
    return StyleKeys::prefix(StyleKind::Image);
}

QStringList CSImageElement::styleNamesForKind(const CSStylesheet* stylesheet) const
{
    if (!stylesheet)
        return {};
    QStringList names = stylesheet->styleNames(stylePrefix());
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

void CSImageElement::setFastDrawing(bool fast)
{
    g_fastDrawing = fast;
}

bool CSImageElement::isFastDrawing()
{
    return g_fastDrawing;
}

// --- Notifications -------------------------------------------------------------

void CSImageElement::setUndoManager(CUndoManager* manager)
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.removeObserver(&m_filterObserver, NotificationNames::StylesheetFilterChangedNotification);
    CSElement::setUndoManager(manager);
    // Filter changes are posted by a document's undo manager: listen to this
    // document's only.
    if (manager)
        center.addObserver(&m_filterObserver, &FilterObserver::heard,
                           NotificationNames::StylesheetFilterChangedNotification, manager);
}

// The information is the name of the style whose filter settings changed.
void CSImageElement::onFilterChanged(const Notification& notification)
{
    const auto* style = static_cast<const QString*>(notification.information);
    if (!style)
        return;
    const QString& own = styleName();
    if (own.isEmpty() ? *style == localizedString(QStringLiteral("Default")) : *style == own)
        markForRefilter();
}

void CSImageElement::markForRefilter()
{
    m_needsRefilter = true;
    postChanged();
}

void CSImageElement::postStyleChanged()
{
    m_needsRefilter = true;
    CSElement::postStyleChanged();
}

void CSImageElement::setStyleName(const QString& name)
{
    CSElement::setStyleName(name);
    m_needsRefilter = true;
}

void CSImageElement::stylesheetChanged(const CSStylesheet* stylesheet)
{
    m_needsRefilter = true;
    CSElement::stylesheetChanged(stylesheet);
}

// --- The picture ----------------------------------------------------------------

void CSImageElement::resolveDisplayPicture()
{
    if (!m_source) {
        m_display = RefPtr<PAImage>();
        m_pictureRect = Rect();
        return;
    }
    const bool decoded = PAImage::ok(m_source->reload()) && m_source->isLoaded();
    m_display = decoded ? m_source.get() : PAImage::resourcePicture(keys().unsupportedPicture);
    m_pictureRect = Rect(0.0f, 0.0f, float(m_display->width()), float(m_display->height()));
}

void CSImageElement::unloadDisplayPicture()
{
    // The placeholder is pinned and stays; a picture made in memory has
    // nothing to decode again and stays too.
    if (m_display)
        m_display->unload();
}

void CSImageElement::showPicture(PAImage* picture)
{
    m_source = picture;
    m_display = picture;
    if (picture && picture->isLoaded())
        m_pictureRect = Rect(0.0f, 0.0f, float(picture->width()), float(picture->height()));
    // Until the new picture's caches exist, nothing of the old one is shown.
    m_working = RefPtr<PAImage>();
    m_filtered = RefPtr<PAImage>();
    m_needsResample = true;
    m_needsRefilter = true;
}

void CSImageElement::setPicture(PAImage* picture)
{
    showPicture(picture);
    resolveDisplayPicture();
    if (picture)
        m_imageName = picture->cacheName();
    const Size size = m_pictureRect.size;
    if (size.width > 0.0f && size.height > 0.0f) {
        const float ratio = sanitizedRatio(size.width / size.height);
        m_aspectRatio = ratio;
        Rect f = frame();
        if (ratio * f.height() < f.width()) {
            const float height = f.width() / ratio;
            f = Rect(f.x(), f.y() + (f.height() - height) * 0.5f, f.width(), height);
        } else {
            const float width = f.height() * ratio;
            f = Rect(f.x() + (f.width() - width) * 0.5f, f.y(), width, f.height());
        }
        storeFrame(f);
    }
    unloadDisplayPicture();
    postChanged();
}

void CSImageElement::attachPictures(const NSDictionary* pictures)
{
    if (!pictures || m_imageName.isEmpty())
        return;
    const NSObject* value = pictures->valueForKey(m_imageName);
    auto* picture = value ? dynamic_cast<PAImage*>(value->objectValue()) : nullptr;
    if (picture)
        showPicture(picture);
}

// --- Aspect ratio and flips -----------------------------------------------------

void CSImageElement::setMaintainAspectRatio(bool maintain)
{
    if (maintain == m_maintainAspectRatio)
        return;
    registerUndo(new CSUndoSetMaintainAspectRatio(this, m_maintainAspectRatio));
    m_maintainAspectRatio = maintain;
    postChanged();
}

float CSImageElement::aspectRatio() const
{
    if (m_aspectRatio == 0.0f) {
        const Rect f = frame();
        m_aspectRatio = f.height() != 0.0f ? sanitizedRatio(f.width() / f.height()) : 1.0f;
        if (m_aspectRatio == 0.0f)
            m_aspectRatio = 1.0f;
    }
    return m_aspectRatio;
}

void CSImageElement::setAspectRatio(float ratio)
{
    const float stored = sanitizedRatio(ratio);
    if (stored == m_aspectRatio)
        return;
    registerUndo(new CSUndoSetAspectRatio(this, m_aspectRatio));
    m_aspectRatio = stored;
    postChanged();
}

void CSImageElement::setFlipVertical(bool flip)
{
    if (flip == m_flipVertical)
        return;
    registerUndo(new CSUndoSetFlipVertical(this, m_flipVertical));
    m_flipVertical = flip;
    postChanged();
}

void CSImageElement::setFlipHorizontal(bool flip)
{
    if (flip == m_flipHorizontal)
        return;
    registerUndo(new CSUndoSetFlipHorizontal(this, m_flipHorizontal));
    m_flipHorizontal = flip;
    postChanged();
}

// --- Frame ----------------------------------------------------------------------

void CSImageElement::markCachesForFrame(const Rect& frame)
{
    const QSize size = workingPixelSize(frame);
    if (float(size.width()) != m_workingRect.width() || float(size.height()) != m_workingRect.height()) {
        m_needsResample = true;
        m_needsRefilter = true;
    }
}

void CSImageElement::storeFrameRecorded(const Rect& frame)
{
    const Rect stored = sanitized(frame);
    markCachesForFrame(stored);
    CSElement::setFrame(stored);
}

Rect CSImageElement::userFrame(const Rect& requested) const
{
    const Rect r = sanitized(requested);
    Size size{std::max(r.width(), kMinSide), std::max(r.height(), kMinSide)};
    const Rect current = frame();
    bool corrected = false;
    if (m_maintainAspectRatio && m_aspectRatio != 0.0f
        && (size.width != current.width() || size.height != current.height())) {
        const Size asked = size;
        if (asked.width / asked.height <= 1.0f || asked.height != current.height())
            size.width = m_aspectRatio * asked.height;
        else
            size.height = asked.width / m_aspectRatio;
        size = grownToMinimum(size, kMinSide);
        corrected = !(size == asked);
    }
    // Centred on the request; a size the ratio corrected lands one unit left
    // and one down, where the editor's resize puts it.
    const float nudge = corrected ? 1.0f : 0.0f;
    return Rect(r.x() + (r.width() - size.width) * 0.5f - nudge, r.y() + (r.height() - size.height) * 0.5f + nudge,
                size.width, size.height);
}

void CSImageElement::setFrame(const Rect& frame)
{
    if (isLocked())
        return;
    storeFrameRecorded(userFrame(frame));
}

void CSImageElement::restoreFrame(const Rect& frame)
{
    if (isLocked())
        return;
    storeFrameRecorded(frame);
}

Rect CSImageElement::aspectResizedFrame(Size delta, int handle) const
{
    const Rect f = resizedFrame(frame(), delta, handle);
    // Also catches NaN: a side that is not at least the minimum becomes it.
    Size size{f.width() >= kMinSide ? f.width() : kMinSide, f.height() >= kMinSide ? f.height() : kMinSide};
    const float ratio = aspectRatio();
    const bool widthFollows = handle == 1 || handle == 6
        || (isCornerHandle(handle) && std::fabs(delta.height) >= std::fabs(delta.width));
    if (widthFollows)
        size.width = ratio * size.height;
    else
        size.height = size.width / ratio;
    size = grownToMinimum(size, kMinSide);
    return Rect(f.origin, size);
}

void CSImageElement::resizeByHandle(Size delta, int handle)
{
    if (!m_maintainAspectRatio) {
        CSElement::resizeByHandle(delta, handle);
        return;
    }
    if (handle < 0 || handle > 7 || isLocked())
        return;
    const int anchor = 7 - handle;
    const Point before = handlePosition(anchor);
    const Rect old = frame();
    Rect resized = aspectResizedFrame(sanitized(delta), handle);
    // Where the anchor would go with the new size (on the page, turned with
    // the element), found with the base's handle geometry.
    storeFrame(resized);
    const Point after = handlePosition(anchor);
    storeFrame(old);
    resized.origin.x += before.x - after.x;
    resized.origin.y += before.y - after.y;
    storeFrameRecorded(resized);
    postChanged();
}

std::unique_ptr<NSBezierPath> CSImageElement::shapePath(const CSStylesheet*) const
{
    auto path = std::make_unique<NSBezierPath>(NSBezierPath::pathWithRect(frame()));
    if (angle() != 0.0f)
        path->transformBy(rotationTransform(angle()));
    return path;
}

// --- Filtering --------------------------------------------------------------------

CSImageElement::FilterSettings CSImageElement::filterSettings(const CSStylesheet* stylesheet) const
{
    const ImageKeys& k = keys();
    const CSAttributeReader attributes(*this, stylesheet);
    FilterSettings settings;
    settings.filter = attributes.value(k.filter).stringValue();
    settings.invert = attributes.boolValue(k.invert);
    settings.colorize = attributes.boolValue(k.colorize);
    settings.colorizeColor = attributes.colorValue(k.colorizeColor);
    return settings;
}

// "None" is the name stored files use; the localised "FilterNone" is the
// stylesheet's default.
bool CSImageElement::isNoFilter(const QString& filter)
{
    return filter.isEmpty() || filter == QLatin1String("None") || filter == localizedString(QStringLiteral("FilterNone"));
}

bool CSImageElement::needsFiltering(const CSStylesheet* stylesheet) const
{
    const FilterSettings settings = filterSettings(stylesheet);
    return settings.invert || settings.colorize || !isNoFilter(settings.filter);
}

RefPtr<PAImage> CSImageElement::filteredPictureOf(const PAImage& picture, const CSStylesheet* stylesheet) const
{
    const FilterSettings settings = filterSettings(stylesheet);
    if (!settings.invert && !settings.colorize && isNoFilter(settings.filter))
        return picture.copy(-1);
    return applyPreset(settings.filter, picture, settings.invert, settings.colorize, settings.colorizeColor);
}

QSize CSImageElement::outputPictureSize(const CSStylesheet* stylesheet) const
{
    // Without a resolution of its own the output is the screen's.
    const std::int32_t stored = stylesheet ? stylesheet->outputDPI() : 0;
    const std::int32_t dpi = stored > 0 ? std::min(stored, kMaxOutputDPI) : 72;
    const Rect covered = integralRect(frame());
    const double scale = double(dpi) / 72.0;
    const QSize target = boundedPixelSize(covered.width() * scale, covered.height() * scale);
    if (m_pictureRect.width() >= float(target.width()) && m_pictureRect.height() >= float(target.height()))
        return target;
    return boundedPixelSize(m_pictureRect.width(), m_pictureRect.height());
}

// --- Caches -------------------------------------------------------------------------

void CSImageElement::rebuildWorkingPicture()
{
    resolveDisplayPicture();
    m_working = RefPtr<PAImage>();
    if (m_display && m_display->isLoaded())
        m_working = stretchedPicture(*m_display, workingPixelSize(frame()));
    m_workingRect = m_working ? Rect(0.0f, 0.0f, float(m_working->width()), float(m_working->height())) : Rect();
    unloadDisplayPicture();
    m_needsResample = false;
    // A new working picture is filtered afresh.
    m_needsRefilter = true;
}

void CSImageElement::rebuildFilteredPicture(const CSStylesheet* stylesheet)
{
    m_filteredWith = filterSettings(stylesheet);
    m_filtered = m_working ? filteredPictureOf(*m_working, stylesheet) : RefPtr<PAImage>();
    m_needsRefilter = false;
    ++m_filterRuns;
}

void CSImageElement::updateCaches(const CSStylesheet* stylesheet)
{
    if (!m_working)
        return;
    if (m_needsResample) {
        rebuildWorkingPicture();
        postChanged();
    }
    if (m_needsRefilter || !(filterSettings(stylesheet) == m_filteredWith)) {
        rebuildFilteredPicture(stylesheet);
        postChanged();
    }
}

// --- Drawing ------------------------------------------------------------------------

void CSImageElement::drawCachedPicture(const CSStylesheet* stylesheet, const Rect& target)
{
    // While drawing fast, whatever is cached is drawn as it is (scaled to the
    // frame); only what is missing altogether is made.
    const bool fast = isFastDrawing();
    if (!m_working || (m_needsResample && !fast))
        rebuildWorkingPicture();
    if (!m_working)
        return;
    if (!fast && !(filterSettings(stylesheet) == m_filteredWith))
        m_needsRefilter = true;
    if (!m_filtered || (m_needsRefilter && !fast))
        rebuildFilteredPicture(stylesheet);
    if (!m_filtered)
        return;
    CGraphicsInterface* context = CurrentContext();
    if (!IsPrinting())
        context->SetInterpolationMode(fast ? kNearestNeighborInterpolation : kHighQualityInterpolation);
    context->DrawImage(*m_filtered, target);
}

// Output at another resolution filters the picture at the output's pixel
// size: reduced first when larger, so the filter never works on more pixels
// than are printed.
void CSImageElement::drawOutputPicture(const CSStylesheet* stylesheet, const Rect& target)
{
    resolveDisplayPicture();
    if (!m_display || !m_display->isLoaded())
        return;
    const QSize size = outputPictureSize(stylesheet);
    RefPtr<PAImage> input = m_display;
    if (size != m_display->image().size())
        input = stretchedPicture(*m_display, size);
    const RefPtr<PAImage> output = input ? filteredPictureOf(*input, stylesheet) : RefPtr<PAImage>();
    if (output) {
        CGraphicsInterface* context = CurrentContext();
        if (!IsPrinting())
            context->SetInterpolationMode(kHighQualityInterpolation);
        context->DrawImage(*output, target);
    }
    unloadDisplayPicture();
}

void CSImageElement::draw(const CSStylesheet* stylesheet, bool highResolution, float scale)
{
    CGraphicsInterface* context = CurrentContext();
    if (!context)
        return;
    const ImageKeys& k = keys();
    const CSAttributeReader attributes(*this, stylesheet);

    context->Save();
    if (CSElement* source = clipSource(); source && source->isPanel() && clipsToFrame()) {
        if (std::unique_ptr<NSBezierPath> shape = source->clipPath(stylesheet))
            context->SetClip(&shape->path());
    }
    context->MultiplyTransform(rotationTransform(angle()));
    if (m_flipHorizontal || m_flipVertical)
        context->MultiplyTransform(scaleTransform(m_flipHorizontal ? -1.0f : 1.0f, m_flipVertical ? -1.0f : 1.0f));

    // The shadow stays on for the picture and its frame.
    if (attributes.boolValue(k.drawShadow)) {
        CShadow& dropShadow = shadow();
        dropShadow.setColor(attributes.colorValue(k.shadowColor));
        dropShadow.setBlurRadius(attributes.floatValue(k.shadowBlurRadius));
        dropShadow.setOffset(Size{attributes.floatValue(k.shadowXOffset) * 20.0f * scale,
                                  attributes.floatValue(k.shadowYOffset) * 20.0f * scale});
        dropShadow.applyShadow();
    }

    if (m_source) {
        const Rect target = integralRect(frame());
        const bool filterForOutput =
            highResolution && (!needsFiltering(stylesheet) || !prefBool(k.screenResolutionPreference));
        if (filterForOutput)
            drawOutputPicture(stylesheet, target);
        else
            drawCachedPicture(stylesheet, target);
    }

    if (attributes.boolValue(k.drawFrame)) {
        const Rect f = frame();
        NSBezierPath outline = NSBezierPath::pathWithRect(Rect(f.x() - 1.0f, f.y() - 1.0f, f.width() + 2.0f, f.height() + 2.0f));
        outline.setColor(attributes.colorValue(k.frameColor));
        outline.setLineWidth(attributes.floatValue(k.frameWidth));
        outline.stroke();
    }
    context->Restore();
}

// --- Archive and XML --------------------------------------------------------------

void CSImageElement::writeToArchive(ArchiveWriter& archive) const
{
    CSElement::writeToArchive(archive);
    archive.writeString(m_imageName);
    archive.writeString(stringFromRect(m_pictureRect));
    archive.writeInt32(m_maintainAspectRatio ? 1 : 0);
    archive.writeFloat(m_aspectRatio);
    archive.writeInt32(m_flipVertical ? 1 : 0);
    archive.writeInt32(m_flipHorizontal ? 1 : 0);
}

void CSImageElement::readFromArchive(ArchiveReader& archive)
{
    CSElement::readFromArchive(archive);
    m_imageName = archive.readString();
    m_pictureRect = sanitized(rectFromString(archive.readString()));
    m_maintainAspectRatio = archive.readInt32() != 0;
    m_aspectRatio = sanitizedRatio(archive.readFloat());
    m_flipVertical = archive.readInt32() != 0;
    m_flipHorizontal = archive.readInt32() != 0;
}

TiXmlElement* CSImageElement::toXml(TiXmlNode* parent) const
{
    TiXmlElement* element = writeCommonXml(parent);
    TiXmlElement* attributes = writeSharedAttributes(element);
    appendSetting(attributes, "flipVertical", NSObject(std::int32_t(m_flipVertical ? 1 : 0)));
    appendSetting(attributes, "flipHorizontal", NSObject(std::int32_t(m_flipHorizontal ? 1 : 0)));
    appendSetting(attributes, "maintainAspectRatio", NSObject(std::int32_t(m_maintainAspectRatio ? 1 : 0)));
    appendSetting(attributes, "aspectRatio", NSObject(m_aspectRatio));
    appendSetting(attributes, "imageName", NSObject(m_imageName));
    return element;
}

CSElement* CSImageElement::fromXml(const TiXmlElement* node, int)
{
    auto* image = new CSImageElement(frameFromXml(node));
    image->readCommonXml(node);
    const TiXmlElement* attributes = node->FirstChildElement("attributes");
    image->readSharedAttributes(attributes);
    for (const TiXmlElement* setting = firstSetting(attributes); setting;
         setting = setting->NextSiblingElement("setting")) {
        const char* name = setting->Attribute("name");
        if (!name)
            continue;
        const NSObject value = NSObject::fromSettingNode(setting->FirstChild());
        if (std::strcmp(name, "flipVertical") == 0)
            image->setFlipVertical(value.intValue() != 0);
        else if (std::strcmp(name, "flipHorizontal") == 0)
            image->setFlipHorizontal(value.intValue() != 0);
        else if (std::strcmp(name, "maintainAspectRatio") == 0)
            image->setMaintainAspectRatio(value.intValue() != 0);
        else if (std::strcmp(name, "aspectRatio") == 0)
            image->setAspectRatio(value.floatValue());
        else if (std::strcmp(name, "imageName") == 0)
            image->m_imageName = value.stringValue();
    }
    return image;
}
