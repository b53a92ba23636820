#pragma once

#include "CSElement.h"
#include "NotificationCenter.h"
#include "PAImage.h"

#include <QSize>

// A picture on a page, usually clipped into a panel. The element owns no
// pixels of the picture itself: it refers to a shared PAImage by name (the
// comic's picture table holds it), keeps an aspect-ratio lock and two flips,
// and caches two pictures derived from it:
//  - the working picture, the picture stretched to the frame at one pixel
//    per page unit;
//  - the filtered picture, the working picture run through the element's
//    filter style ("Image.Filter", "Image.Invert", "Image.Colorize").
// On screen the filtered picture is drawn; it is rebuilt once per change of
// size or filter style, never per repaint, and while a live gesture draws
// fast (setFastDrawing) the stale one is drawn scaled instead. For output at
// another resolution the picture is filtered afresh at the output's pixel
// size, unless "FilterImagesAtScreenResPreference" asks to reuse the screen
// form.
//
// A picture that cannot be decoded draws the program's "unsupported format"
// picture in its place; the element keeps its picture name, so the real
// picture returns once it can be read.
class CSImageElement : public CSElement
{
public:
    // No side of a picture set by a user is shorter than this.
    static constexpr float kMinSide = 20.0f;
    // Cached and output pictures are kept within this many pixels (a larger
    // frame gets a picture of lower resolution, drawn enlarged).
    static constexpr std::int64_t kMaxCachedPixels = 40'000'000;

    // Empty: no frame, no picture.
    CSImageElement();
    // With a frame, clipped by its clip source.
    explicit CSImageElement(const Rect& frame);
    ~CSImageElement() override;

    CSElementKind elementKind() const override { return CSElementKind::Image; }
    const char* className() const override { return kClassName; }
    // The base form, then the picture name, the picture rectangle, the lock,
    // the ratio and the two flips.
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;
    // Listens for filter changes of its document's styles.
    void setUndoManager(CUndoManager* manager) override;
    // Shares the picture; the caches start empty.
    CSElement* clone() const override;

    // A user's frame (editor, inspector): refused when locked; sides below
    // kMinSide grow to it; with the aspect lock on the size is corrected to
    // the kept ratio. The result is centred on the requested frame; a size
    // the ratio corrected lands one unit left and one down, as the editor
    // places it, while a move lands exactly. Records CSUndoSetFrame.
    void setFrame(const Rect& frame) override;
    // With the aspect lock on: the side the drag moved leads, the other
    // follows the ratio, sides stay at least kMinSide and the opposite handle
    // stays where it was. Records the old frame, so undo puts it back exactly.
    void resizeByHandle(Size delta, int handle) override;
    void draw(const CSStylesheet* stylesheet, bool highResolution, float scale) override;
    void postStyleChanged() override;
    void setStyleName(const QString& name) override;
    QStringList styleNamesForKind(const CSStylesheet* stylesheet) const override;
    const QString& stylePrefix() const override;
    // The frame turned by the element's rotation.
    std::unique_ptr<NSBezierPath> shapePath(const CSStylesheet* stylesheet) const override;
    void stylesheetChanged(const CSStylesheet* stylesheet) override;
    // Takes the picture named by imageName from the table, when it holds one.
    void attachPictures(const NSDictionary* pictures) override;
    bool usesPicture(const QString& pictureName) const override { return pictureName == m_imageName; }
    std::vector<CSElementKind> acceptedChildClasses() const override { return {}; }
    const char* kindName() const override { return "image"; }
    TiXmlElement* toXml(TiXmlNode* parent) const override;
    PAImage* picture() const override { return m_source.get(); }
    // The saved frame as it is: no minimum, no ratio, no nudge.
    void restoreFrame(const Rect& frame) override;

    // --- The picture ------------------------------------------------------
    // Shows the picture: its size sets the ratio, the frame takes that ratio
    // (it keeps its width when the picture is the narrower shape, else its
    // height, and grows the other side centred on the old frame) and imageName
    // becomes the picture's cache name. A picture that cannot be decoded
    // shows the placeholder, whose ratio is used.
    void setPicture(PAImage* picture);
    const QString& imageName() const { return m_imageName; }
    QString pictureName() const override { return m_imageName; }
    // What is drawn: the picture, or the placeholder when it cannot be
    // decoded; null without a picture.
    PAImage* displayPicture() const { return m_display.get(); }
    // The part of the picture shown, in its pixels: the whole picture.
    const Rect& pictureRect() const { return m_pictureRect; }

    // --- Aspect ratio and flips (undoable) --------------------------------
    // Each setter records its undo action; an unchanged value records nothing.
    bool maintainsAspectRatio() const { return m_maintainAspectRatio; }
    void setMaintainAspectRatio(bool maintain);
    // The kept width / height; when not known yet, that of the frame (1 for
    // a frame without height), which is then kept.
    float aspectRatio() const;
    // Kept finite and positive; 0 means "not known yet".
    void setAspectRatio(float ratio);
    bool flipsVertically() const { return m_flipVertical; }
    void setFlipVertical(bool flip);
    bool flipsHorizontally() const { return m_flipHorizontal; }
    void setFlipHorizontal(bool flip);

    // --- Caches -------------------------------------------------------------
    // Marks the filtered picture out of date and tells observers.
    void markForRefilter();
    // Rebuilds what is out of date (the working picture, then the filtered
    // one) when a working picture exists; the page calls it before drawing.
    void updateCaches(const CSStylesheet* stylesheet);
    bool needsResample() const { return m_needsResample; }
    bool needsRefilter() const { return m_needsRefilter; }
    const PAImage* workingPicture() const { return m_working.get(); }
    const PAImage* filteredPicture() const { return m_filtered.get(); }
    const Rect& workingRect() const { return m_workingRect; }
    // How many times the filtered picture was built; repaints must not add to it.
    int filterRunCount() const { return m_filterRuns; }

    // Whether the element's filter style changes the picture at all.
    bool needsFiltering(const CSStylesheet* stylesheet) const;
    // The picture run through the element's filter style: a plain copy when
    // the style changes nothing; null when memory runs out.
    RefPtr<PAImage> filteredPictureOf(const PAImage& picture, const CSStylesheet* stylesheet) const;
    // The pixel size that output at the stylesheet's "OutputDPI" filters: the
    // frame at that resolution, or the picture's own size when it is smaller.
    QSize outputPictureSize(const CSStylesheet* stylesheet) const;

    // While set (a live resize or other gesture of the page view), pictures
    // draw their cached filtered picture as it is, scaled to the frame,
    // without smoothing, and rebuild nothing they already have.
    static void setFastDrawing(bool fast);
    static bool isFastDrawing();

    // Reads an "element" of type "image".
    static CSElement* fromXml(const TiXmlElement* node, int depth);

    static constexpr const char* kClassName = "CSImageElement";

protected:
    CSImageElement(const CSImageElement& other);

private:
    // The filter style the filtered picture was made with.
    struct FilterSettings
    {
        QString filter;
        bool invert = false;
        bool colorize = false;
        PackedColor colorizeColor = 0;
        friend bool operator==(const FilterSettings&, const FilterSettings&) = default;
    };

    FilterSettings filterSettings(const CSStylesheet* stylesheet) const;
    static bool isNoFilter(const QString& filter);
    // Decodes the picture when needed; the display picture becomes it, or the
    // placeholder when it cannot be decoded, and the picture rect follows.
    void resolveDisplayPicture();
    void unloadDisplayPicture();
    void showPicture(PAImage* picture);
    // The frame corrected by the user rules (minimum, ratio, centring).
    Rect userFrame(const Rect& requested) const;
    Rect aspectResizedFrame(Size delta, int handle) const;
    // Both rebuild flags are or-ed in when the frame's pixel size differs
    // from the working picture's; a frame change never clears them.
    void markCachesForFrame(const Rect& frame);
    void storeFrameRecorded(const Rect& frame);
    void rebuildWorkingPicture();
    void rebuildFilteredPicture(const CSStylesheet* stylesheet);
    void drawCachedPicture(const CSStylesheet* stylesheet, const Rect& target);
    void drawOutputPicture(const CSStylesheet* stylesheet, const Rect& target);
    void onFilterChanged(const Notification& notification);

    // Hears "StylesheetFilterChangedNotification" for the element; a member
    // of its own so that the centre calls a plain observer.
    class FilterObserver : public NotificationObserver
    {
    public:
        explicit FilterObserver(CSImageElement* owner) : m_owner(owner) {}
        FilterObserver(const FilterObserver&) = delete;
        FilterObserver& operator=(const FilterObserver&) = delete;
        void heard(const Notification& notification) { m_owner->onFilterChanged(notification); }

    private:
        CSImageElement* m_owner;
    };

    RefPtr<PAImage> m_source;
    QString m_imageName;
    Rect m_pictureRect;
    RefPtr<PAImage> m_working;
    RefPtr<PAImage> m_filtered;
    Rect m_workingRect;
    bool m_maintainAspectRatio = true;
    mutable float m_aspectRatio = 0.0f;
    bool m_needsResample = false;
    bool m_needsRefilter = false;
    bool m_flipVertical = false;
    bool m_flipHorizontal = false;
    RefPtr<PAImage> m_display;
    FilterSettings m_filteredWith;
    int m_filterRuns = 0;
    FilterObserver m_filterObserver{this};
};
