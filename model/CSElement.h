#pragma once

#include "AffineTransform.h"
#include "CAttributedString.h"
#include "CShadow.h"
#include "Geometry.h"
#include "NSBezierPath.h"
#include "NSDictionary.h"
#include "NSObject.h"
#include "UndoableObject.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class CSElement;
class CSStylesheet;
class PAFont;
class PAImage;
class TiXmlElement;
class TiXmlNode;

// The element kinds, as kind tests and the lists of accepted children name
// them. Element stands for "any kind" in those lists (pages excepted: a page
// is never anybody's child).
enum class CSElementKind : std::uint8_t {
    Element,
    Page,
    Panel,
    Image,
    Balloon,
    SubBalloon,
    Tail,
    Caption,
    Lettering,
    LetteringChar,
    Group,
};

// Something an element keeps to draw faster (a rendered picture, a laid-out
// text); invalidateCache throws it away.
class CSRenderCache
{
public:
    virtual ~CSRenderCache();
};

// Every element of the page that the identifier references of a file may
// name, by identifier. Built once per page read: the first of duplicate
// identifiers wins.
class CSElementIndex
{
public:
    CSElementIndex() = default;
    explicit CSElementIndex(const std::vector<CSElement*>& elements);
    // Adds the element and its descendants.
    void add(CSElement* element);
    CSElement* find(const QString& identifier) const { return m_byIdentifier.value(identifier, nullptr); }

private:
    QHash<QString, CSElement*> m_byIdentifier;
};

// Everything on a comic page is an element: the page itself, panels,
// pictures, balloons and their parts, captions, lettering, and the transient
// group of a multiple selection. The base keeps
//  - the geometry: a frame (the unrotated box, page units) and an angle in
//    degrees about the frame's centre;
//  - the tree: owned children, index 0 at the back;
//  - relations: a master (the element this one belongs to) and a clip source
//    (the panel that clips it), references only;
//  - the look: a style name among the named styles of the element's style
//    kind, plus local attribute overrides;
//  - identity for the references of stored files, copying, the archive form
//    of the clipboard and the common part of the XML form.
//
// Every setter records its undo action before it changes anything and posts
// "CSElementChangedNotification" (sender: the undo manager, information: the
// element) after; without an undo manager (being built or read) nothing is
// recorded or posted. Setters refuse silently (locked, unchanged).
//
// Model objects draw into CurrentContext(), never into a context handed to
// them.
//
// Lifetime: containers own their children and destroy them once; removed
// children are retired into their container and live until it is destroyed.
// Masters and clip sources are plain references: the element they name is
// owned by its own container.
//
// The virtual operations below keep one fixed order; kinds override them
// and append their own after.
class CSElement : public UndoableObject
{
public:
    // Stored frames, angles and margins are kept within this range.
    static constexpr float kMaxCoordinate = 1.0e6f;
    // Resizing by a handle never makes a side shorter than this.
    static constexpr float kMinResizeSide = 5.0f;
    // Elements nested deeper than this in a file are not read.
    static constexpr int kMaxXmlDepth = 64;

    CSElement();
    explicit CSElement(const Rect& frame);
    CSElement& operator=(const CSElement&) = delete;

    // --- Kind -----------------------------------------------------------
    virtual CSElementKind elementKind() const { return CSElementKind::Element; }
    ~CSElement() override;
    // Archive form (clipboard): the frame, clip flag, margin, children, style
    // name, angle, master and clip source (as references within the set being
    // archived; none outside it), lock flag and local attributes.
    const char* className() const override;
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;
    // Sets this element's and every child's manager.
    void setUndoManager(CUndoManager* manager) override;
    // A deep copy (null for kinds that cannot be copied). Within one copy
    // operation (CSCopyScope) masters and clip sources become the copies of
    // theirs, or none when those were not copied before.
    virtual CSElement* clone() const;
    virtual bool isLettering() const { return false; }
    virtual bool drawsMerged(const CSStylesheet* stylesheet) const;

    // --- Cache and notifications ---------------------------------------
    virtual void invalidateCache();
    virtual void postChanged();
    virtual void invalidateAndPostChanged();
    virtual void setViewFlag(std::int32_t flag) { m_viewFlag = flag; }

    // --- Geometry -------------------------------------------------------
    virtual Rect frame() const { return m_frame; }
    // Refused when locked or unchanged; records CSUndoSetFrame. Coordinates
    // are kept finite and within kMaxCoordinate.
    virtual void setFrame(const Rect& frame);
    virtual void moveBy(Size delta);
    // Records CSUndoMoveFrameByDelta when record is set; children move along
    // unrecorded (undoing the move moves them back too).
    virtual void moveByRecording(Size delta, bool record);
    virtual void moveChildrenBy(Size delta);
    virtual void moveChildrenByRecording(Size delta, bool record);
    // Handles 0..7: corners and edge midpoints of the unrotated frame, row by
    // row (0 top-left, 7 bottom-right); the opposite of i is 7 - i. The
    // position is on the page, turned with the element.
    virtual Point handlePosition(int handle) const;
    virtual Rect resizedFrame(const Rect& frame, Size delta, int handle) const;
    // Resizes so that the opposite handle stays where it is on the page, also
    // for a rotated element; sides stay at least kMinResizeSide.
    virtual void resizeByHandle(Size delta, int handle);
    // The scale about the opposite handle that a live resize preview shows.
    virtual AffineTransform resizeTransform(Size delta, int handle) const;
    virtual void shiftBy(Size delta);
    virtual bool canSnapToGrid() const { return false; }
    virtual bool hasEditablePoints() const { return false; }
    virtual int pointCount() const { return 0; }
    virtual void setPointCount(int count);
    virtual int pointsChanged() { return 0; }
    virtual void movePoint(Point point, int index);
    virtual Rect rotatedBounds() const;
    virtual Rect rotatedStrokeBounds() const;
    virtual Rect boundsIncludingChildren() const;
    // rotatedBounds grown by the outline and the drop shadow of the style.
    virtual Rect visualBounds(const CSStylesheet* stylesheet) const;
    virtual Rect visualBoundsIfShadowed(const Rect& rect, const CSStylesheet* stylesheet) const;
    virtual Rect textRect() const { return Rect(); }
    virtual NSBezierPath outlinePath() const;
    virtual NSBezierPath strokePath() const { return outlinePath(); }
    virtual bool clipsToFrame() const { return m_clipsToFrame; }
    virtual void setClipsToFrame(bool clips);
    // Clipped by a clip source that is set.
    virtual bool isClipped() const;
    virtual Rect clipRect() const;
    virtual bool isLocked() const { return m_locked; }
    virtual void setLocked(bool locked);
    virtual Size margin() const { return m_margin; }
    virtual void setMargin(Size margin);
    // Refused when locked or unchanged.
    virtual void setAngle(float degrees);
    virtual float angle() const { return m_angle; }
    virtual bool canRotate() const { return true; }
    virtual Point center() const;
    virtual Point boundsOrigin() const { return rotatedBounds().origin; }
    // Identity for 0, else the rotation by degrees about center().
    virtual AffineTransform rotationTransform(float degrees) const;
    virtual AffineTransform scaleTransform(float sx, float sy) const;
    // Scales or moves the element with a page or selection: the rotated
    // frame's corners go through the transform, the element keeps its angle.
    virtual void applyTransform(const AffineTransform& transform);
    // The page point in the element's unrotated space.
    virtual Point pageToLocal(Point point) const;

    // --- Drawing (into CurrentContext()) --------------------------------
    virtual void draw(const CSStylesheet* stylesheet, bool highResolution, float scale);
    virtual void drawContents(const CSStylesheet* stylesheet, bool highResolution, float scale, int extra);

    // --- Identity, relations, children -----------------------------------
    // Made on first request ("oid: <hex>.<seconds>"), then kept.
    virtual const QString& identifier() const;
    virtual CSElement* master() const { return m_master; }
    // Records CSUndoSetMaster; posts nothing. Refused when it would make the
    // element its own master or close a cycle of masters.
    virtual void setMaster(CSElement* master);
    virtual std::vector<CSElement*> children() const { return m_children; }
    virtual bool holdsSingleElement() const { return false; }
    // Refused for null, this element, an ancestor of it and kinds canContain
    // refuses. Gives the child this element's undo manager.
    virtual void addChild(CSElement* element);
    // The index is limited to 0 … child count.
    virtual void insertChild(CSElement* element, int index);
    // The child is retired here (kept alive for undo).
    virtual void removeChild(CSElement* element);
    virtual void removeChildAtIndex(int index);
    virtual bool containsDescendant(const CSElement* element) const;
    // Stacking: index 0 is drawn first (back). A clipped element never goes
    // below its clip source. Each records the child's old index, and undo
    // puts it back there.
    virtual void bringChildToFront(CSElement* element);
    virtual void bringChildForward(CSElement* element);
    virtual void sendChildToBack(CSElement* element);
    virtual void sendChildBackward(CSElement* element);
    // b is a child placed before a (a non-child a counts as frontmost).
    virtual bool childIsBehind(const CSElement* a, const CSElement* b) const;
    // Aligns the child within its clip source when clipped, else within this
    // element's frame.
    virtual void alignCenterX(CSElement* element);
    virtual void alignCenterY(CSElement* element);
    virtual void alignTop(CSElement* element);
    virtual void alignBottom(CSElement* element);
    virtual void alignLeft(CSElement* element);
    virtual void alignRight(CSElement* element);

    // --- Style ------------------------------------------------------------
    virtual void postStyleChanged();
    // Records CSUndoSetStyle and removes every local override (each removal
    // recorded), so the element shows the new style unaltered; one undo puts
    // back the old name and the overrides.
    virtual void setStyleName(const QString& name);
    virtual QString styleName() const { return m_styleName; }
    virtual QStringList styleNamesForKind(const CSStylesheet* stylesheet) const;
    // The style kind and the prefix of the element's attribute keys.
    virtual const QString& stylePrefix() const;
    virtual void setFont(const PAFont* font);
    virtual void setTextColor(PackedColor color);
    virtual QString fontKey() const { return QString(); }
    virtual bool isPanel() const { return false; }
    // The element's outline in page coordinates for clipping others; null
    // for kinds that have none.
    virtual std::unique_ptr<NSBezierPath> shapePath(const CSStylesheet* stylesheet) const;
    virtual CSElement* clipSource() const { return m_clipSource; }
    // Records CSUndoSetClipSource; posts nothing. Refused for an element
    // that cannot clip others, this element and cycles of clip sources.
    virtual void setClipSource(CSElement* source);
    virtual bool editsTextOnDoubleClick() const { return false; }
    virtual bool centersTextVertically() const { return false; }
    virtual CAttributedString text() const { return CAttributedString(); }
    virtual void setText(const CAttributedString& text);
    virtual void stylesheetChanged(const CSStylesheet* stylesheet);
    virtual std::vector<PAImage*> picturesInUse() const;
    // Picture elements take their picture from the table; others pass it on.
    virtual void attachPictures(const NSDictionary* pictures);
    // Turns the identifiers read from a file into references, then passes
    // the index on to the children. A reference that names nothing, the
    // wrong kind, the element itself or would close a cycle is dropped.
    virtual void resolveReferences(const CSElementIndex& all);
    virtual bool isDrawnByPage() const { return true; }
    virtual bool hasSingleBubble() const { return false; }
    virtual bool canRemovePart(const CSElement*) const { return true; }
    virtual void deleteChild(CSElement* element) { removeChild(element); }
    virtual bool adoptsDependants() const { return false; }
    virtual std::vector<CSElement*> dependants() const { return {}; }
    virtual bool childrenFollowStacking() const { return true; }
    virtual bool canClipOthers() const { return false; }
    virtual bool acceptsDroppedElements() const { return false; }
    // The kinds this element may hold; Element means any kind but pages.
    virtual std::vector<CSElementKind> acceptedChildClasses() const { return {CSElementKind::Element}; }
    virtual bool canContain(const CSElement* element) const;
    // The point is in the element's unrotated space (see pageToLocal).
    virtual bool hitTest(Point local) const;
    virtual bool isResizable() const { return true; }
    virtual std::vector<CSElement*> elementsClippedBy(const CSElement* source) const;
    virtual bool usesPicture(const QString& pictureName) const;
    virtual bool hasLocalAttributes() const;
    virtual void clearLocalAttributes();
    // A new stylesheet (count 0) with this element's style from the given
    // stylesheet and the local overrides written over it.
    virtual CSStylesheet* copyStyle(const CSStylesheet* stylesheet) const;
    // Moves the local overrides into the element's style, undoably.
    virtual void redefineStyle(CSStylesheet* stylesheet);
    virtual bool hasSameKindAndPrefix(const CSElement* other) const;
    virtual bool hasLocalAttribute(const QString& key) const;
    // The XML type name ("caption"); "element" for the base.
    virtual const char* kindName() const { return "element"; }
    // Appends the element's XML form to parent; null for kinds never saved.
    virtual TiXmlElement* toXml(TiXmlNode* parent) const;

    // --- Added after the common slots -----------------------------------
    // Whether the candidate may be this element's master (kinds that belong
    // to another element say which kinds).
    virtual bool acceptsMaster(const CSElement* candidate) const;
    // The picture a picture element shows; null for every other kind.
    virtual PAImage* picture() const { return nullptr; }
    // The name of the picture a picture element refers to; empty otherwise.
    virtual QString pictureName() const { return QString(); }
    // The outline that clips the elements placed into this one, in page
    // coordinates: the styled shape turned by the element's rotation. Null
    // for kinds that clip nothing.
    virtual std::unique_ptr<NSBezierPath> clipPath(const CSStylesheet* stylesheet) const;
    // What the page draws over an element after the elements it clips (a
    // panel's outline lies over its pictures); nothing for most kinds.
    virtual void drawOverlay(const CSStylesheet*, bool /*highResolution*/, float /*scale*/) const {}
    // Puts back a frame the element had (undo and redo of CSUndoSetFrame).
    // The base is setFrame; kinds whose setFrame adjusts what a user asks
    // for (minimum sizes, aspect ratios) store the saved frame as it is.
    virtual void restoreFrame(const Rect& frame) { setFrame(frame); }

    // --- Attributes (not virtual) ----------------------------------------
    // A key with "." is used as it is; another gets the style prefix.
    QString qualifiedKey(const QString& key) const;
    // The local value, else the value of the element's style in the given
    // stylesheet (the named style when it exists, otherwise the root). Never
    // inserts anything. The empty value when neither has one.
    const NSObject& attributeForKey(const QString& key, const CSStylesheet* stylesheet) const;
    // The same for a key that is qualified already (the drawing code's path).
    const NSObject& attributeForQualifiedKey(const QString& qualifiedKey, const CSStylesheet* stylesheet) const;
    QString stringAttribute(const QString& key, const CSStylesheet* stylesheet) const;
    std::int32_t intAttribute(const QString& key, const CSStylesheet* stylesheet) const;
    float floatAttribute(const QString& key, const CSStylesheet* stylesheet) const;
    // intAttribute != 0.
    bool boolAttribute(const QString& key, const CSStylesheet* stylesheet) const;
    PackedColor colorAttribute(const QString& key, const CSStylesheet* stylesheet) const;
    const PAFont* fontAttribute(const QString& key, const CSStylesheet* stylesheet) const;
    // Stores a local override; an empty value removes it. Booleans are stored
    // as the integers 0 and 1, reals finite. Records CSUndoRemoveObjectForKey
    // when there was no local value, else CSUndoSetObject.
    void setAttribute(const NSObject& value, const QString& key);
    void setStringAttribute(const QString& value, const QString& key) { setAttribute(NSObject(value), key); }
    void setFloatAttribute(float value, const QString& key) { setAttribute(NSObject(value), key); }
    void setIntAttribute(std::int32_t value, const QString& key) { setAttribute(NSObject(value), key); }
    void setBoolAttribute(bool value, const QString& key) { setAttribute(NSObject(std::int32_t(value ? 1 : 0)), key); }
    void setColorAttribute(PackedColor value, const QString& key) { setAttribute(NSObject::withColor(value), key); }
    void setFontAttribute(const PAFont* value, const QString& key) { setAttribute(NSObject(value), key); }
    // Records CSUndoSetObject; nothing when there is no local value.
    void removeAttribute(const QString& key);
    const NSDictionary& localAttributes() const { return m_attributes; }

    // --- Children and stacking helpers ----------------------------------
    int childCount() const { return int(m_children.size()); }
    CSElement* childAt(int index) const;
    // -1 when not a child.
    int indexOfChild(const CSElement* element) const;
    // Moves a child to an index (limited to the list); records
    // CSUndoMoveElementToIndex with its old index.
    void moveChildToIndex(CSElement* element, int index);

    // --- Other state -----------------------------------------------------
    CShadow& shadow() { return m_shadow; }
    const CShadow& shadow() const { return m_shadow; }
    std::int32_t viewFlag() const { return m_viewFlag; }
    CSRenderCache* renderCache() const { return m_renderCache.get(); }
    void setRenderCache(std::unique_ptr<CSRenderCache> cache) { m_renderCache = std::move(cache); }
    // The identifiers read from a file, until references are resolved.
    const QString& pendingMasterIdentifier() const { return m_pendingMaster; }
    const QString& pendingClipSourceIdentifier() const { return m_pendingClipSource; }

    // Whether candidate may become this element's master or clip source now.
    bool mayTakeMaster(const CSElement* candidate) const;
    bool mayTakeClipSource(const CSElement* candidate) const;

    // --- XML -----------------------------------------------------------------
    // The element an "element" node describes, by its "type"; null for an
    // unknown type, no type, or nesting deeper than kMaxXmlDepth.
    static CSElement* elementFromXml(const TiXmlElement* node, int depth = 0);

    // Destroys an element tree that belongs to no comic (a copy, a read
    // element that was not used), each object once.
    static void destroyTree(CSElement* element);

    // Clamps a number read from a file into ±kMaxCoordinate (NaN is 0).
    static float sanitized(double value);
    static Rect sanitized(const Rect& rect);
    static Size sanitized(Size size);

protected:
    // Copy construction for clone(): frame, flags, margin, style name,
    // shadow, angle, local attributes and identifier; children are cloned in
    // order, then master and clip source are looked up in the copy map.
    CSElement(const CSElement& other);

    // Notifications without the change itself.
    void post(QStringView name);
    // Opens an undo group unless one is open, so that one undo reverts a
    // setter that records several actions.
    class UndoGroup
    {
    public:
        explicit UndoGroup(CUndoManager* manager);
        ~UndoGroup();
        UndoGroup(const UndoGroup&) = delete;
        UndoGroup& operator=(const UndoGroup&) = delete;

    private:
        CUndoManager* m_manager = nullptr;
    };

    // Stores the frame as it is, without undo or notification (readers and
    // kinds that keep their own geometry).
    void storeFrame(const Rect& frame) { m_frame = sanitized(frame); }
    // Appends without undo, notification or checks beyond canContain: the
    // copy constructor and readers.
    bool appendChildQuietly(CSElement* element);
    // Moves the child at from to the index to (both valid) without undo or
    // notification: for stacking overrides that record their own action.
    void moveChildQuietly(int from, int to);
    // Drops children from the list without retiring or destroying them (a
    // group's members belong to other containers).
    void forgetChild(const CSElement* element);
    void forgetChildren() { m_children.clear(); }

    // XML, shared by every saved kind. writeCommonXml appends the "element"
    // with type, oid, frame and angle attributes and the "style" and
    // "elements" children; writeSharedAttributes appends "attributes" with
    // the master, clipSource, lock and clip settings and returns it.
    TiXmlElement* writeCommonXml(TiXmlNode* parent) const;
    TiXmlElement* writeSharedAttributes(TiXmlElement* element) const;
    static void appendSetting(TiXmlElement* attributes, const char* name, const NSObject& value);
    // The frame of "x", "y", "w", "h" (missing ones read 0), sanitized.
    static Rect frameFromXml(const TiXmlElement* node);
    // "style", "oid" and "angle" (when the kind rotates), in that order.
    void readCommonXml(const TiXmlElement* node);
    // "master", "clipSource", "lock" and "clip" of an "attributes" element.
    void readSharedAttributes(const TiXmlElement* attributes);
    // Every child "element" of "elements" that this element can contain.
    void readChildrenXml(const TiXmlElement* node, int depth);
    // The "setting" children of an element, in order (name, setting node).
    static const TiXmlElement* firstSetting(const TiXmlElement* parent);

private:
    friend class CSCopyScope;
    friend class CSArchiveScope;

    bool canAdopt(const CSElement* element) const;
    // The bounds of the path turned by the element's angle about its centre.
    Rect turnedBounds(NSBezierPath path) const;
    void alignChild(CSElement* element, int mode);
    static bool chainReaches(const CSElement* start, const CSElement* target, bool masters);

    Rect m_frame;
    bool m_clipsToFrame = true;
    bool m_locked = false;
    Size m_margin;
    QString m_styleName;
    CShadow m_shadow;
    float m_angle = 0.0f;
    std::vector<CSElement*> m_children;
    CSElement* m_master = nullptr;
    CSElement* m_clipSource = nullptr;
    NSDictionary m_attributes;
    mutable QString m_identifier;
    std::unique_ptr<CSRenderCache> m_renderCache;
    std::int32_t m_viewFlag = 0;
    QString m_pendingMaster;
    QString m_pendingClipSource;
    // While an archive is read: the positions of master and clip source in
    // the set being read, -1 for none.
    std::int32_t m_pendingMasterIndex = -1;
    std::int32_t m_pendingClipIndex = -1;
};

// Resolves many keys of one element against one stylesheet, as drawing does:
// the element's style (named or root) is found once, then each key costs a
// lookup in the local overrides and one in that style. Valid while the
// element and the stylesheet are unchanged.
class CSAttributeReader
{
public:
    CSAttributeReader(const CSElement& element, const CSStylesheet* stylesheet);

    // The local value of a qualified key, else the style's; the empty value
    // when neither has one.
    const NSObject& value(const QString& qualifiedKey) const;
    bool boolValue(const QString& qualifiedKey) const { return value(qualifiedKey).intValue() != 0; }
    std::int32_t intValue(const QString& qualifiedKey) const { return value(qualifiedKey).intValue(); }
    float floatValue(const QString& qualifiedKey) const { return value(qualifiedKey).floatValue(); }
    PackedColor colorValue(const QString& qualifiedKey) const { return value(qualifiedKey).colorValue(); }

private:
    const NSDictionary& m_local;
    const CSStylesheet* m_style;
};

// One copy operation: while a scope is open, clone() maps each source to its
// copy so that masters and clip sources among the copied set point at the
// copies. Scopes nest; the outermost one starts and ends with an empty map.
// Copy a selection inside one scope so that its members keep their relations.
class CSCopyScope
{
public:
    CSCopyScope();
    ~CSCopyScope();
    CSCopyScope(const CSCopyScope&) = delete;
    CSCopyScope& operator=(const CSCopyScope&) = delete;

    // The copy made of source in this operation, null when none.
    static CSElement* copyOf(const CSElement* source);
    static void record(const CSElement* source, CSElement* copy);
    // An element destroyed while a copy is under way leaves the map.
    static void forget(const CSElement* element);
};

// One archive write or read of a set of elements. Writing: the set is the
// given elements and their descendants; a master or clip source inside the
// set is written as its position in the set, one outside as none. Reading:
// elements enter the set in the order they were written, and references are
// resolved when the outermost scope closes. An element written or read
// without an open scope opens one for itself.
class CSArchiveScope
{
public:
    // For writing the given elements (and their descendants).
    explicit CSArchiveScope(const std::vector<const CSElement*>& elements);
    // For reading.
    CSArchiveScope();
    ~CSArchiveScope();
    CSArchiveScope(const CSArchiveScope&) = delete;
    CSArchiveScope& operator=(const CSArchiveScope&) = delete;

    static bool isWriting();
    static bool isReading();
    // Position of an element in the set being written, -1 outside it.
    static std::int32_t positionOf(const CSElement* element);
    // Enters an element being read; the positions count from 0.
    static void enter(CSElement* element);
    // An element destroyed while the set is read or written leaves it (a
    // failed read destroys what it made).
    static void forget(const CSElement* element);

private:
    bool m_reading = false;
};
