#pragma once

#include "CSElement.h"

#include <array>
#include <cstdint>
#include <vector>

// A panel: one frame of a comic page, into which pictures are placed and by
// which they are clipped. Its shape is either one of the nine frame styles
// built from the frame ("Cell.FrameStyle", see framePathForStyle) or, when
// irregular, a polygon of three to eight of its eight stored points. Fill,
// gradient, shadow and outline come from the "Cell" keys of its style; the
// panel itself stores only geometry and its order number (tag).
//
// The stored points P0 … P7 lie in the panel's own (unrotated) page
// coordinates and form an octagon around the frame, starting at the
// bottom-left corner: P0 (L, B), P1 (mid, B), P2 (R, B), P3 (R, mid),
// P4 (R, T), P5 (mid, T), P6 (L, T), P7 (L, mid). The point count picks
// which of them the polygon visits, always in stored order:
//   3: P0 P2 P4   4: P0 P2 P4 P6   5: P0 P1 P2 P4 P6   6: P0 … P4 P6
//   7: P0 … P6    8: P0 … P7
// While irregular the panel's frame is the bounds of that polygon (the
// rotation turns about its centre); the frame stored for the regular shape
// is set from it when the panel becomes regular again.
class CSCell : public CSElement
{
public:
    static constexpr int kStoredPoints = 8;
    static constexpr int kMinPoints = 3;
    static constexpr int kMaxPoints = kStoredPoints;
    using Points = std::array<Point, kStoredPoints>;

    CSCell();
    explicit CSCell(const Rect& frame);

    CSElementKind elementKind() const override { return CSElementKind::Panel; }
    const char* className() const override { return kClassName; }
    // The base form, then the irregular flag, the eight stored points, the
    // point count and the tag.
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;
    CSElement* clone() const override;

    // --- Geometry -------------------------------------------------------
    // The polygon's bounds while irregular.
    Rect frame() const override;
    // An irregular panel maps its points from the polygon's bounds onto the
    // new frame; a side it changes becomes at least kMinResizeSide long.
    // Refused when locked or unchanged; records CSUndoSetFrame.
    void setFrame(const Rect& frame) override;
    void moveBy(Size delta) override;
    // Refused when locked. An irregular panel moves its points, a regular
    // one its frame; children move along unrecorded.
    void moveByRecording(Size delta, bool record) override;
    // An irregular panel scales its points about the opposite handle; the
    // bounds never become narrower or lower than kMinResizeSide.
    void resizeByHandle(Size delta, int handle) override;
    // The panel's own geometry only, unrecorded: resizing keeps the opposite
    // handle in place with it.
    void shiftBy(Size delta) override;
    bool canSnapToGrid() const override { return angle() == 0.0f; }
    bool hasEditablePoints() const override { return m_irregular; }
    int pointCount() const override { return m_numPoints; }
    // Kept within kMinPoints … kMaxPoints; records CSUndoSetNumPoints.
    void setPointCount(int count) override;
    int pointsChanged() override { return int(editablePoints().size()); }
    // Moves editable point index (in the panel's own coordinates). Refused
    // when locked or the index is not below the point count. A rotated
    // panel is then shifted so that one corner of its bounds stays in place
    // on the page.
    void movePoint(Point point, int index) override;
    NSBezierPath outlinePath() const override;
    void applyTransform(const AffineTransform& transform) override;

    // --- Drawing (into CurrentContext()) --------------------------------
    // Shadow (cast by the fill only), fill, gradient and outline, then the
    // children.
    void draw(const CSStylesheet* stylesheet, bool highResolution, float scale) override;
    // Only the outline, drawn again over the panel's contents.
    void drawOverlay(const CSStylesheet* stylesheet, bool highResolution, float scale) const override;

    // --- Relations and style --------------------------------------------
    bool holdsSingleElement() const override { return childCount() == 1; }
    QStringList styleNamesForKind(const CSStylesheet* stylesheet) const override;
    const QString& stylePrefix() const override;
    bool isPanel() const override { return true; }
    // The polygon when irregular, else the frame's rectangle, unrotated.
    std::unique_ptr<NSBezierPath> shapePath(const CSStylesheet* stylesheet) const override;
    void attachPictures(const NSDictionary* pictures) override;
    bool childrenFollowStacking() const override { return false; }
    bool canClipOthers() const override { return true; }
    bool acceptsDroppedElements() const override { return true; }
    std::vector<CSElementKind> acceptedChildClasses() const override { return {CSElementKind::Image}; }
    // An irregular panel is hit inside its polygon; any other anywhere in
    // its frame, whatever the frame style.
    bool hitTest(Point local) const override;
    const char* kindName() const override { return "panel"; }
    TiXmlElement* toXml(TiXmlNode* parent) const override;
    // The styled frame path turned by the panel's rotation, in page
    // coordinates.
    std::unique_ptr<NSBezierPath> clipPath(const CSStylesheet* stylesheet) const override;

    // --- Panel operations ------------------------------------------------
    bool isIrregular() const { return m_irregular; }
    // Nothing when unchanged. Records CSUndoSetIsIrregular with the old flag
    // and the stored points. Turning it on sets the points from the frame,
    // turning it off sets the frame to the polygon's bounds; the point count
    // stays.
    void setIrregular(bool irregular);
    // What undoing a switch calls: the flag with the stored points to have.
    void restoreIrregular(bool irregular, const Points& points);
    std::int32_t tag() const { return m_tag; }
    // Records CSUndoSetTag; nothing when unchanged.
    void setTag(std::int32_t tag);
    const Points& storedPoints() const { return m_points; }
    // The points in use, in polygon order (the editable points).
    std::vector<Point> editablePoints() const;
    // The stored index of an editable point; -1 outside the point count.
    int storedIndexOf(int editableIndex) const;
    // The polygon through the points in use, closed.
    NSBezierPath polygonPath() const;
    // The shape drawn, unrotated: the polygon when irregular, else the frame
    // style's shape of the frame.
    NSBezierPath styledFramePath(const CSStylesheet* stylesheet) const;
    NSBezierPath styledFramePath(const CSAttributeReader& attributes) const;

    // --- Page templates -------------------------------------------------
    // A new dictionary (count 0): "Irregular", then "Points" and
    // "NumPoints" or "Frame", then "Tag", "Style" (when set) and "Angle".
    NSDictionary* templateDictionary() const;
    // A new panel from that form; null without a dictionary.
    static CSCell* fromTemplateDictionary(const NSDictionary* dictionary);

    // Reads an "element" of type "panel".
    static CSElement* fromXml(const TiXmlElement* node, int depth);
    // The panels among elements, in their order.
    static std::vector<CSCell*> panelsIn(const std::vector<CSElement*>& elements);

    static constexpr const char* kClassName = "CSCell";

protected:
    CSCell(const CSCell& other);

private:
    static Points pointsAround(const Rect& frame);
    static Rect boundsOf(const std::vector<Point>& points);
    static int clampedCount(std::int64_t count);
    static Point sanitizedPoint(Point p);
    void storePoints(const Points& points);
    void movePointsBy(Size delta);
    void resizeIrregular(Size delta, int handle);
    void transformIrregular(const AffineTransform& transform);
    bool isReplayingHistory() const;

    bool m_irregular = false;
    Points m_points{};
    std::int32_t m_numPoints = kMaxPoints;
    std::int32_t m_tag = 0;
};
