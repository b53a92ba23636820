#pragma once

#include "Geometry.h"
#include "PackedColor.h"
#include "UndoableObject.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <vector>

class CSElement;
class CSPage;
class CSStylesheet;
class NSDictionary;
class PAImage;
class TiXmlElement;
class TiXmlNode;

// The root of a document's model: the pages in order, the paper (size,
// orientation, margins), the editing aids stored with the document, the
// background colour, the document's stylesheet and the pictures the pages
// use. Not an element.
//
// Page content coordinates start at the top-left corner of the area inside
// the margins; the paper reaches out by the margins on every side.
class CSComic : public UndoableObject
{
public:
    static constexpr PackedColor kDefaultBackground = 0xFFFFFFFFu;

    // Empty: defaults, no stylesheet, no pages (what the reader starts from).
    CSComic();
    // From a page-type dictionary ("Name", "Size", "LeftMargin" …), read
    // without undo; the stylesheet is the one chosen in the preferences.
    explicit CSComic(const NSDictionary& pageType);
    // From a paper size: margins 0, portrait exactly when taller than wide,
    // a copy of the built-in stylesheet.
    explicit CSComic(Size paperSize);
    ~CSComic() override;
    CSComic(const CSComic&) = delete;
    CSComic& operator=(const CSComic&) = delete;

    // Destroys a comic with everything it owns, each object once.
    static void destroy(CSComic* comic);

    // --- Pages ------------------------------------------------------------
    int pageCount() const { return int(m_pages.size()); }
    CSPage* pageAt(int index) const;
    const std::vector<CSPage*>& pages() const { return m_pages; }
    // -1 when the page is not in the comic.
    int indexOfPage(const CSPage* page) const;
    // The element is a page of this comic or lies anywhere inside one.
    bool containsElement(const CSElement* element) const;
    // Undoable; each posts "CSComicChangedNotification". An added page gets
    // the comic's undo manager and its page size; a removed one is retired.
    void addPage(CSPage* page);
    void insertPageAtIndex(CSPage* page, int index);
    void removePageAtIndex(int index);
    void movePage(int from, int to);

    // --- Paper ------------------------------------------------------------
    const QString& pageName() const { return m_pageName; }
    // The size as stored, not yet oriented.
    Size pageSize() const { return m_pageSize; }
    float leftMargin() const { return m_leftMargin; }
    float rightMargin() const { return m_rightMargin; }
    float topMargin() const { return m_topMargin; }
    float bottomMargin() const { return m_bottomMargin; }
    bool isPortrait() const { return m_portrait != 0; }
    // Portrait: the smaller side is the width; landscape: the larger.
    Size orientedSize() const;
    // The oriented size less the margins, at least one unit each way.
    Size contentSize() const;
    // The paper in content coordinates: (-left, -top, oriented size).
    Rect paperRect() const;

    // Undoable, each posts "CSComicChangedNotification"; the paper setters
    // lay the pages out again. An unchanged orientation does nothing at all.
    void setPageName(const QString& name);
    void setPageSize(const Size& size);
    void setPortrait(bool portrait);
    void setLeftMargin(float margin);
    void setRightMargin(float margin);
    void setTopMargin(float margin);
    void setBottomMargin(float margin);
    void setBackgroundColor(PackedColor color);
    // "Name", "Size", and the four margins of a page-type dictionary, undoably.
    void applyPageType(const NSDictionary& pageType);

    PackedColor backgroundColor() const { return m_backgroundColor; }

    // --- Editing aids (stored with the document) --------------------------
    bool showsAlignmentGuides() const { return m_showAlignmentGuides != 0; }
    bool snapsToGrid() const { return m_snapToGrid != 0; }
    bool showsGrid() const { return m_showGrid != 0; }
    std::int32_t gridInterval() const { return m_gridInterval; }
    std::int32_t snapTolerance() const { return m_snapTolerance; }
    void setShowsAlignmentGuides(bool show) { m_showAlignmentGuides = show ? 1 : 0; }
    void setSnapsToGrid(bool snap) { m_snapToGrid = snap ? 1 : 0; }
    void setShowsGrid(bool show) { m_showGrid = show ? 1 : 0; }
    void setGridInterval(std::int32_t interval);
    void setSnapTolerance(std::int32_t tolerance);

    // --- Stylesheet -------------------------------------------------------
    CSStylesheet* stylesheet() const { return m_stylesheet; }
    // Records CSUndoSetStylesheet when there was one before (the old one is
    // retired); the new one gets the undo manager. Then pushes each kind's
    // text font and colour into elements that do not override them.
    void setStylesheet(CSStylesheet* stylesheet);
    // Stores "OutputDPI" in the stylesheet before pages are drawn for output.
    void setOutputDPI(std::int32_t dpi);
    // Every page follows a changed stylesheet.
    void stylesheetChanged();

    // --- Pictures ---------------------------------------------------------
    // Keyed by each picture's cache name, in name order.
    const std::map<QString, PAImage*>& pictures() const { return m_pictures; }
    PAImage* pictureNamed(const QString& name) const;
    // Stores the picture under its cache name unless the name is taken;
    // returns whether it did. The table keeps a reference.
    bool addPicture(PAImage* picture);
    // The pictures of the table not yet stored in the package.
    std::vector<PAImage*> picturesToStore() const;
    bool usesPicture(const QString& name) const;
    // Hands the table to every page, which resolves pictures by name.
    void attachPictures();

    void setUndoManager(CUndoManager* manager) override;

    // --- Comic data file --------------------------------------------------
    TiXmlElement* toXml(TiXmlNode* parent) const;
    // Written through a temporary file, so a failed save leaves the old file.
    bool saveToFile(const QString& path) const;
    // Null when the file cannot be read or parsed.
    static CSComic* comicFromFile(const QString& path);
    // Null when the text does not parse.
    static CSComic* comicFromXmlText(const QByteArray& text);
    static CSComic* comicFromXml(const TiXmlElement* root);
    // What the reader had to leave out of a damaged file, one line each
    // (empty for a file read whole).
    const QStringList& readProblems() const { return m_readProblems; }

private:
    // Paper sizes and margins are kept finite, not negative and within the
    // coordinates elements may have.
    static float paperLength(float value);
    static Size paperSize(Size size);
    void postChanged();
    // Every page gets the content size; elements keep their positions.
    void relayout();
    void readSettings(const TiXmlElement* attributes);
    void pushStylesheetFonts();

    std::vector<CSPage*> m_pages;
    CSStylesheet* m_stylesheet = nullptr;
    QString m_pageName;
    Size m_pageSize{1.0f, 1.0f};
    float m_leftMargin = 0.0f;
    float m_rightMargin = 0.0f;
    float m_topMargin = 0.0f;
    float m_bottomMargin = 0.0f;
    std::int32_t m_portrait = 1;
    std::int32_t m_showAlignmentGuides = 0;
    std::int32_t m_snapToGrid = 0;
    std::int32_t m_showGrid = 0;
    std::int32_t m_gridInterval = 15;
    std::int32_t m_snapTolerance = 8;
    PackedColor m_backgroundColor = kDefaultBackground;
    std::map<QString, PAImage*> m_pictures;
    QStringList m_readProblems;
};
