// Every element of the sample comic, whatever its kind, through the edits
// every element offers: each edit changes the comic data, one undo gives
// back the data from before byte for byte, redo the data after.

#include "CSComic.h"
#include "CSPage.h"
#include "CUndoManager.h"
#include "SampleComic.h"
#include "TestEnvironment.h"
#include "XmlSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <set>

namespace {

QByteArray xmlOf(const CSComic& comic)
{
    TiXmlDocument document;
    comic.toXml(&document);
    return XmlSupport::printDocument(document);
}

// Letters are edited through their lettering (they record nothing of
// their own), so the sweep leaves them out.
void collect(CSElement* element, std::vector<CSElement*>& all)
{
    all.push_back(element);
    if (element->isLettering())
        return;
    for (CSElement* child : element->children())
        collect(child, all);
}

// A page's lock and clip flags are not part of the file.
bool isStored(const CSElement& element, const char* edit)
{
    const std::string name = edit;
    return element.elementKind() != CSElementKind::Page || (name != "setLocked" && name != "setClipsToFrame");
}

struct Edit
{
    const char* name;
    std::function<void(CSElement&)> apply;
};

const Edit kEdits[] = {
    {"moveBy", [](CSElement& e) { e.moveBy(Size{7, -4}); }},
    {"setFrame", [](CSElement& e) { const Rect f = e.frame(); e.setFrame(Rect(f.x() + 3, f.y() + 2, f.width() + 11, f.height() + 9)); }},
    {"resizeByHandle", [](CSElement& e) { e.resizeByHandle(Size{12, 8}, 7); }},
    {"setAngle", [](CSElement& e) { e.setAngle(e.angle() + 15.0f); }},
    {"setLocked", [](CSElement& e) { e.setLocked(!e.isLocked()); }},
    {"setClipsToFrame", [](CSElement& e) { e.setClipsToFrame(!e.clipsToFrame()); }},
    {"setStyleName", [](CSElement& e) { e.setStyleName(QStringLiteral("Sweep")); }},
    {"setAttribute", [](CSElement& e) { e.setFloatAttribute(4.5f, QStringLiteral("FrameWidth")); }},
    {"setTextColor", [](CSElement& e) { e.setTextColor(0xFFC02040u); }},
    // Factors whose inverses are exact in floats: undo applies the inverse.
    {"applyTransform", [](CSElement& e) { e.applyTransform(AffineTransform::scaling(2.0f, 0.5f)); }},
};

} // namespace

TEST(UndoSweep, EveryEditOfEveryElementKindUndoesAndRedoes)
{
    const QString images = TestEnvironment::makeTempFolder(QStringLiteral("sweep")) + QStringLiteral("/Images");
    ASSERT_TRUE(SampleComic::writeGeneratedPictures(images));
    CSComic* comic = SampleComic::build(images);
    CUndoManager undo;
    comic->setUndoManager(&undo);

    std::vector<CSElement*> all;
    for (CSPage* page : comic->pages())
        collect(page, all);
    std::set<CSElementKind> kindsChanged;
    int edits = 0;
    for (CSElement* element : all) {
        for (const Edit& edit : kEdits) {
            if (!isStored(*element, edit.name))
                continue;
            SCOPED_TRACE(std::string(element->kindName()) + " " + edit.name);
            const QByteArray before = xmlOf(*comic);
            undo.beginGroup();
            edit.apply(*element);
            undo.endGroup();
            const QByteArray after = xmlOf(*comic);
            if (after == before) {
                // A refused edit (a kind that does not rotate, a locked
                // element) or one the file does not show (a tail forwards
                // its style to its balloon): undoing it changes nothing.
                if (undo.canUndo()) {
                    undo.undo();
                    EXPECT_EQ(xmlOf(*comic), before);
                }
                undo.removeAllActions();
                continue;
            }
            ++edits;
            kindsChanged.insert(element->elementKind());
            ASSERT_TRUE(undo.canUndo());
            undo.undo();
            ASSERT_EQ(xmlOf(*comic), before);
            undo.redo();
            ASSERT_EQ(xmlOf(*comic), after);
            undo.undo();
            ASSERT_EQ(xmlOf(*comic), before);
            undo.removeAllActions();
        }
    }
    EXPECT_GT(edits, 200);
    for (CSElementKind kind : {CSElementKind::Page, CSElementKind::Panel, CSElementKind::Image, CSElementKind::Balloon,
                               CSElementKind::SubBalloon, CSElementKind::Tail, CSElementKind::Caption,
                               CSElementKind::Lettering})
        EXPECT_TRUE(kindsChanged.count(kind)) << int(kind);
    CSComic::destroy(comic);
}
