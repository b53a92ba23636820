#include "CSCaptionElement.h"
#include "CSElement.h"
#include "CSGroupElement.h"
#include "CSStylesheet.h"
#include "ArchiveClassRegistry.h"
#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CUndoManager.h"
#include "ElementTestKinds.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

// Destroys a test's element trees at the end, each object once.
struct Trees
{
    std::vector<CSElement*> roots;
    template <class T>
    T* keep(T* element)
    {
        roots.push_back(element);
        return element;
    }
    ~Trees()
    {
        for (CSElement* root : roots)
            CSElement::destroyTree(root);
    }
};

class ElementPosts : public NotificationObserver
{
public:
    ElementPosts()
    {
        NotificationCenter::defaultCenter().addObserver(this, &ElementPosts::onPost,
                                                        NotificationNames::CSElementChangedNotification);
        NotificationCenter::defaultCenter().addObserver(this, &ElementPosts::onPost,
                                                        NotificationNames::CSElementChangedStyleNotification);
    }
    int count = 0;
    const void* sender = nullptr;
    const void* information = nullptr;

private:
    void onPost(const Notification& n)
    {
        ++count;
        sender = n.sender;
        information = n.information;
    }
};

// --- Attribute resolution -----------------------------------------------------

struct ResolutionFixture : ::testing::Test
{
    RefPtr<CSStylesheet> sheet{CSStylesheet::newStylesheet()};
    CSCaptionElement caption{Rect(0, 0, 100, 40)};

    void SetUp() override
    {
        CSStylesheet* loud = CSStylesheet::emptyStylesheet();
        loud->setFloatForKey(7.0f, QStringLiteral("Caption.FrameWidth"));
        sheet->addStyle(loud, QStringLiteral("Caption"), QStringLiteral("Loud"));
    }
};

TEST_F(ResolutionFixture, LocalValueThenNamedStyleThenRoot)
{
    struct Case
    {
        const char* style;
        float local; // NaN: no local value
        float expected;
    };
    const float none = std::nanf("");
    const Case cases[] = {
        {"", none, 2.0f},        // the root
        {"Loud", none, 7.0f},    // the named style
        {"Missing", none, 2.0f}, // a style that does not exist reads the root
        {"Loud", 9.0f, 9.0f},    // a local override wins
        {"", 9.0f, 9.0f},
    };
    for (const Case& c : cases) {
        CSCaptionElement element(Rect(0, 0, 50, 50));
        element.setStyleName(QString::fromLatin1(c.style));
        if (!std::isnan(c.local))
            element.setFloatAttribute(c.local, QStringLiteral("FrameWidth"));
        EXPECT_FLOAT_EQ(element.floatAttribute(QStringLiteral("FrameWidth"), sheet.get()), c.expected) << c.style;
        EXPECT_FLOAT_EQ(element.floatAttribute(QStringLiteral("Caption.FrameWidth"), sheet.get()), c.expected);
    }
}

TEST_F(ResolutionFixture, AKeyMissingFromANamedStyleReadsEmptyNotTheRoot)
{
    caption.setStyleName(QStringLiteral("Loud"));
    EXPECT_TRUE(caption.attributeForKey(QStringLiteral("DrawFrame"), sheet.get()).isEmpty());
    EXPECT_FALSE(caption.boolAttribute(QStringLiteral("DrawFrame"), sheet.get()));
    caption.setStyleName(QString());
    EXPECT_TRUE(caption.boolAttribute(QStringLiteral("DrawFrame"), sheet.get()));
}

TEST_F(ResolutionFixture, ResolvingInsertsNothingAnywhere)
{
    caption.setStyleName(QStringLiteral("Loud"));
    const auto rootEntries = sheet->values().entries().size();
    const auto styleEntries = sheet->namedStyle(u"Caption", QStringLiteral("Loud"))->values().entries().size();
    for (const char* key : {"DrawShadow", "Caption.Sparkle", "Other.Key", "FrameWidth"})
        caption.attributeForKey(QString::fromLatin1(key), sheet.get());
    caption.attributeForKey(QStringLiteral("FrameWidth"), nullptr);
    EXPECT_TRUE(caption.localAttributes().entries().empty());
    EXPECT_EQ(sheet->values().entries().size(), rootEntries);
    EXPECT_EQ(sheet->namedStyle(u"Caption", QStringLiteral("Loud"))->values().entries().size(), styleEntries);
}

TEST(ElementAttributes, BooleansAreStoredAsIntegersSoTheyReadTrue)
{
    CSCaptionElement caption(Rect(0, 0, 50, 50));
    caption.setAttribute(NSObject(true), QStringLiteral("DrawShadow"));
    EXPECT_EQ(caption.localAttributes().valueForKey(QStringLiteral("Caption.DrawShadow"))->kind(), NSObject::Integer);
    EXPECT_TRUE(caption.boolAttribute(QStringLiteral("DrawShadow"), nullptr));
    caption.setAttribute(NSObject(std::nanf("")), QStringLiteral("FrameWidth"));
    EXPECT_TRUE(std::isfinite(caption.floatAttribute(QStringLiteral("FrameWidth"), nullptr)));
}

TEST(ElementAttributes, SetStyleNameClearsOverridesAndOneUndoPutsBothBack)
{
    CUndoManager undo;
    CSCaptionElement caption(Rect(0, 0, 50, 50));
    caption.setUndoManager(&undo);
    caption.setStyleName(QStringLiteral("Quiet"));
    caption.setColorAttribute(0xFF112233u, QStringLiteral("FrameColor"));
    caption.setFloatAttribute(4.0f, QStringLiteral("FrameWidth"));
    const QByteArray before = xmlOf(caption);

    caption.setStyleName(QStringLiteral("Loud"));
    EXPECT_EQ(caption.styleName(), QStringLiteral("Loud"));
    EXPECT_FALSE(caption.hasLocalAttributes());
    const QByteArray after = xmlOf(caption);

    undo.undo();
    EXPECT_EQ(xmlOf(caption), before);
    EXPECT_TRUE(caption.hasLocalAttribute(QStringLiteral("FrameColor")));
    undo.redo();
    EXPECT_EQ(xmlOf(caption), after);
    undo.undo();
    EXPECT_EQ(xmlOf(caption), before);
}

TEST(ElementAttributes, ChoosingTheSameStyleAgainDropsTheOverrides)
{
    CSCaptionElement caption(Rect(0, 0, 50, 50));
    caption.setStyleName(QStringLiteral("Loud"));
    caption.setFloatAttribute(4.0f, QStringLiteral("FrameWidth"));
    caption.setStyleName(QStringLiteral("Loud"));
    EXPECT_FALSE(caption.hasLocalAttributes());
}

TEST(ElementAttributes, RedefineStyleMovesOverridesIntoTheStyle)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    sheet->addStyle(CSStylesheet::emptyStylesheet(), QStringLiteral("Caption"), QStringLiteral("Loud"));
    CSCaptionElement caption(Rect(0, 0, 50, 50));
    caption.setStyleName(QStringLiteral("Loud"));
    caption.setFloatAttribute(6.0f, QStringLiteral("FrameWidth"));
    caption.redefineStyle(sheet.get());
    EXPECT_FALSE(caption.hasLocalAttributes());
    EXPECT_FLOAT_EQ(sheet->namedStyle(u"Caption", QStringLiteral("Loud"))->floatForKey(QStringLiteral("Caption.FrameWidth")),
                    6.0f);
    EXPECT_FLOAT_EQ(caption.floatAttribute(QStringLiteral("FrameWidth"), sheet.get()), 6.0f);

    RefPtr<CSStylesheet> copied(caption.copyStyle(sheet.get()));
    EXPECT_FLOAT_EQ(copied->floatForKey(QStringLiteral("Caption.FrameWidth")), 6.0f);
}

TEST(ElementNotifications, PostedWithTheUndoManagerAsSenderOnlyWhenThereIsOne)
{
    ElementPosts posts;
    CSCaptionElement caption(Rect(0, 0, 50, 50));
    caption.setFloatAttribute(3.0f, QStringLiteral("FrameWidth"));
    caption.setAngle(10.0f);
    EXPECT_EQ(posts.count, 0);

    CUndoManager undo;
    caption.setUndoManager(&undo);
    caption.setAngle(20.0f);
    EXPECT_GT(posts.count, 0);
    EXPECT_EQ(posts.sender, &undo);
    EXPECT_EQ(posts.information, &caption);
}

// --- Frames, handles and minimum sizes ---------------------------------------------

TEST(ElementGeometry, ResizingARotatedElementKeepsTheOppositeHandleFixed)
{
    for (float angle : {0.0f, 30.0f, -75.0f}) {
        for (int handle = 0; handle < 8; ++handle) {
            TestKind element(Rect(100, 50, 80, 40));
            element.setAngle(angle);
            const Point fixed = element.handlePosition(7 - handle);
            element.resizeByHandle(Size{12.0f, -7.0f}, handle);
            const Point now = element.handlePosition(7 - handle);
            EXPECT_NEAR(now.x, fixed.x, 1e-3) << "angle " << angle << " handle " << handle;
            EXPECT_NEAR(now.y, fixed.y, 1e-3) << "angle " << angle << " handle " << handle;
        }
    }
}

TEST(ElementGeometry, MinimumSizesHold)
{
    TestKind element(Rect(0, 0, 40, 40));
    element.setAngle(30.0f);
    const Point topLeft = element.handlePosition(0);
    element.resizeByHandle(Size{-500.0f, -500.0f}, 7);
    EXPECT_FLOAT_EQ(element.frame().width(), CSElement::kMinResizeSide);
    EXPECT_FLOAT_EQ(element.frame().height(), CSElement::kMinResizeSide);
    EXPECT_NEAR(element.handlePosition(0).x, topLeft.x, 1e-3);

    CSCaptionElement caption(Rect(0, 0, 100, 40));
    caption.setFrame(Rect(0, 0, 4, 4));
    EXPECT_EQ(caption.frame(), Rect(0, 0, 10, 10));
    caption.setFrame(Rect(0, 0, -30, std::nanf("")));
    EXPECT_EQ(caption.frame(), Rect(0, 0, 10, 10));
    caption.resizeByHandle(Size{-200.0f, -200.0f}, 7);
    EXPECT_GE(caption.frame().width(), 10.0f);
    EXPECT_EQ(CSCaptionElement(Rect(0, 0, 2, 3)).frame().size, (Size{10, 10}));
}

TEST(ElementGeometry, LockedElementsKeepFrameAndAngle)
{
    TestKind element(Rect(0, 0, 40, 40));
    element.setLocked(true);
    element.setFrame(Rect(5, 5, 10, 10));
    element.setAngle(45.0f);
    EXPECT_EQ(element.frame(), Rect(0, 0, 40, 40));
    EXPECT_EQ(element.angle(), 0.0f);
}

TEST(ElementGeometry, HostileNumbersAreClamped)
{
    const float inf = std::numeric_limits<float>::infinity();
    TestKind element(Rect(std::nanf(""), inf, -inf, 1e30f));
    EXPECT_EQ(element.frame(), Rect(0, CSElement::kMaxCoordinate, -CSElement::kMaxCoordinate, CSElement::kMaxCoordinate));
    element.setAngle(inf);
    EXPECT_EQ(element.angle(), CSElement::kMaxCoordinate);
    element.setMargin(Size{std::nanf(""), -1e20f});
    EXPECT_EQ(element.margin(), (Size{0, -CSElement::kMaxCoordinate}));
    element.moveBy(Size{inf, inf});
    EXPECT_TRUE(std::isfinite(element.frame().x()));
}

TEST(ElementGeometry, VisualBoundsGrowByOutlineAndShadow)
{
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    CSCaptionElement caption(Rect(0, 0, 100, 40));
    caption.setFloatAttribute(2.0f, QStringLiteral("FrameWidth"));
    EXPECT_EQ(caption.visualBounds(sheet.get()), Rect(-2, -2, 104, 44));
    caption.setBoolAttribute(true, QStringLiteral("DrawShadow"));
    // Offset (0, -0.25) twentieths points down 5 units; blur 5.
    EXPECT_EQ(caption.visualBounds(sheet.get()), Rect(-7, -2, 114, 54));
}

// --- Children and stacking ----------------------------------------------------------

struct StackFixture : ::testing::Test
{
    CUndoManager undo;
    TestKind* page = new TestKind(Rect(0, 0, 500, 500));
    TestKind* a = new TestKind(Rect(0, 0, 10, 10));
    TestPanel* panel = new TestPanel(Rect(0, 0, 100, 100));
    TestKind* b = new TestKind(Rect(0, 0, 10, 10));
    TestKind* clipped = new TestKind(Rect(0, 0, 10, 10));

    void SetUp() override
    {
        for (CSElement* e : std::initializer_list<CSElement*>{a, panel, b, clipped})
            page->addChild(e);
        clipped->setClipSource(panel);
        page->setUndoManager(&undo);
        undo.removeAllActions();
    }
    void TearDown() override { CSElement::destroyTree(page); }

    std::vector<CSElement*> order() const { return page->children(); }
};

TEST_F(StackFixture, AClippedElementSentToTheBackStaysJustAboveItsClipSource)
{
    page->sendChildToBack(clipped);
    EXPECT_EQ(order(), (std::vector<CSElement*>{a, panel, clipped, b}));
    // Already right above it: nothing to do, nothing recorded.
    page->sendChildToBack(clipped);
    page->sendChildBackward(clipped);
    EXPECT_EQ(order(), (std::vector<CSElement*>{a, panel, clipped, b}));
    EXPECT_EQ(undo.undoCount(), 1);
}

TEST_F(StackFixture, AClipSourceOutsideTheListSendsToIndexZero)
{
    TestPanel* outside = new TestPanel(Rect(0, 0, 50, 50));
    Trees trees;
    trees.keep(outside);
    b->setClipSource(outside);
    page->sendChildToBack(b);
    EXPECT_EQ(page->indexOfChild(b), 0);
}

TEST_F(StackFixture, EveryStackingUndoRestoresTheOldIndex)
{
    using Op = void (CSElement::*)(CSElement*);
    struct Case
    {
        const char* name;
        Op op;
        int child; // index of the child moved
    };
    const Case cases[] = {
        {"front", &CSElement::bringChildToFront, 0},
        {"forward", &CSElement::bringChildForward, 1},
        {"back", &CSElement::sendChildToBack, 2},
        {"backward", &CSElement::sendChildBackward, 2},
        {"back of clipped", &CSElement::sendChildToBack, 3},
    };
    for (const Case& c : cases) {
        const std::vector<CSElement*> before = order();
        (page->*c.op)(page->childAt(c.child));
        const std::vector<CSElement*> after = order();
        EXPECT_NE(after, before) << c.name;
        undo.undo();
        EXPECT_EQ(order(), before) << c.name;
        undo.redo();
        EXPECT_EQ(order(), after) << c.name;
        undo.undo();
        EXPECT_EQ(order(), before) << c.name;
    }
}

TEST_F(StackFixture, NothingMovesPastTheEnds)
{
    page->sendChildBackward(a);
    page->sendChildToBack(a);
    page->bringChildForward(clipped);
    page->bringChildToFront(clipped);
    page->removeChildAtIndex(4);
    page->removeChildAtIndex(-1);
    EXPECT_EQ(undo.undoCount(), 0);
    EXPECT_EQ(order(), (std::vector<CSElement*>{a, panel, b, clipped}));
}

TEST_F(StackFixture, RemovedChildrenAreRetiredAndComeBackAsTheSameObject)
{
    page->removeChild(b);
    EXPECT_EQ(page->indexOfChild(b), -1);
    EXPECT_TRUE(page->isRetired(b));
    undo.undo();
    EXPECT_EQ(page->indexOfChild(b), 2);
    EXPECT_FALSE(page->isRetired(b));
    undo.redo();
    EXPECT_EQ(page->indexOfChild(b), -1);
}

TEST_F(StackFixture, ContainersRefuseWhatTheyCannotHold)
{
    Trees trees;
    TestKind* loose = trees.keep(new TestKind(Rect{}));
    CSCaptionElement* caption = trees.keep(new CSCaptionElement(Rect(0, 0, 20, 20)));
    caption->addChild(loose);                  // captions hold nothing
    EXPECT_EQ(caption->childCount(), 0);
    a->addChild(page);                         // an ancestor
    a->addChild(a);                            // itself
    a->addChild(nullptr);
    EXPECT_EQ(a->childCount(), 0);
    struct TestPage : TestKind
    {
        using TestKind::TestKind;
        CSElementKind elementKind() const override { return CSElementKind::Page; }
    };
    TestPage* pageKind = trees.keep(new TestPage(Rect{}));
    a->addChild(pageKind);
    EXPECT_EQ(a->childCount(), 0);
    page->insertChild(loose, 99);              // index limited to the end
    EXPECT_EQ(page->indexOfChild(loose), 4);
    page->removeChild(loose);                  // retired: the page owns it again
    trees.roots.erase(std::find(trees.roots.begin(), trees.roots.end(), loose));
}

// --- References -----------------------------------------------------------------------

class TestChain : public TestKind
{
public:
    using TestKind::TestKind;
    bool acceptsMaster(const CSElement* candidate) const override { return dynamic_cast<const TestChain*>(candidate); }
};

TEST(ElementReferences, UnsoundReferencesAreDroppedAndTheElementStaysInert)
{
    Trees trees;
    TestKind* page = trees.keep(new TestKind(Rect(0, 0, 500, 500)));
    auto make = [&](const char* id) {
        TestChain* e = new TestChain(Rect(0, 0, 10, 10));
        e->setId(QString::fromLatin1(id));
        page->addChild(e);
        return e;
    };
    TestChain* self = make("self");
    TestChain* x = make("x");
    TestChain* y = make("y");
    TestChain* wrongClip = make("wrongClip");
    TestChain* first = make("dup");
    TestChain* second = make("dup");
    TestChain* follower = make("follower");
    TestPanel* panel = new TestPanel(Rect(0, 0, 100, 100));
    panel->setId(QStringLiteral("panel"));
    page->addChild(panel);
    CSCaptionElement* caption = new CSCaptionElement(Rect(0, 0, 20, 20));
    page->addChild(caption);
    (void)second;

    self->pend(QStringLiteral("self"), QStringLiteral("self"));
    x->pend(QStringLiteral("y"), QString());
    y->pend(QStringLiteral("x"), QString());         // would close a cycle
    wrongClip->pend(QStringLiteral("panel"), caption->identifier()); // wrong kinds both
    follower->pend(QStringLiteral("dup"), QStringLiteral("panel"));

    const CSElementIndex index(page->children());
    for (CSElement* child : page->children())
        child->resolveReferences(index);

    EXPECT_EQ(self->master(), nullptr);
    EXPECT_EQ(self->clipSource(), nullptr);
    EXPECT_EQ(x->master(), y);
    EXPECT_EQ(y->master(), nullptr);
    EXPECT_EQ(wrongClip->master(), nullptr);
    EXPECT_EQ(wrongClip->clipSource(), nullptr);
    EXPECT_EQ(follower->master(), first); // the first of duplicate identifiers
    EXPECT_EQ(follower->clipSource(), panel);
    EXPECT_TRUE(follower->pendingMasterIdentifier().isEmpty());
}

TEST(ElementReferences, AMasterThatAdoptsTakesThePartAsChild)
{
    Trees trees;
    TestKind* page = trees.keep(new TestKind(Rect(0, 0, 500, 500)));
    TestBalloon* balloon = new TestBalloon(Rect(0, 0, 100, 60));
    TestPart* part = new TestPart(Rect(10, 10, 50, 30));
    page->addChild(balloon);
    page->addChild(part);
    TiXmlDocument document;
    part->setMaster(balloon);
    TiXmlElement* node = part->toXml(&document);
    part->setMaster(nullptr);
    part->readAttributesOf(node);
    part->resolveReferences(CSElementIndex(page->children()));
    EXPECT_EQ(part->master(), balloon);
    EXPECT_EQ(balloon->indexOfChild(part), 0);
}

TEST(ElementReferences, SetMasterRefusesSelfCyclesAndWrongKinds)
{
    TestChain a{Rect{}}, b{Rect{}};
    TestPanel panel{Rect{}};
    a.setMaster(&a);
    EXPECT_EQ(a.master(), nullptr);
    a.setMaster(&b);
    b.setMaster(&a);
    EXPECT_EQ(b.master(), nullptr);
    a.setMaster(&panel);
    EXPECT_EQ(a.master(), &b);
    a.setClipSource(&b); // cannot clip
    EXPECT_EQ(a.clipSource(), nullptr);
    a.setMaster(nullptr);
}

TEST(ElementReferences, IdentifiersAreMadeOnceAndDiffer)
{
    TestKind a{Rect{}}, b{Rect{}};
    const QString id = a.identifier();
    EXPECT_TRUE(id.startsWith(QStringLiteral("oid: ")));
    EXPECT_EQ(a.identifier(), id);
    EXPECT_NE(b.identifier(), id);
}

// --- Copying and the archive form --------------------------------------------------------

TEST(ElementCopy, RelationsInsideTheCopiedSetPointAtTheCopies)
{
    Trees trees;
    TestKind* page = trees.keep(new TestKind(Rect(0, 0, 500, 500)));
    TestPanel* panel = new TestPanel(Rect(0, 0, 100, 100));
    TestKind* picture = new TestKind(Rect(5, 5, 50, 50));
    TestBalloon* balloon = new TestBalloon(Rect(0, 0, 100, 60));
    TestPart* part = new TestPart(Rect(10, 10, 50, 30));
    page->addChild(panel);
    page->addChild(picture);
    page->addChild(balloon);
    balloon->addChild(part);
    picture->setClipSource(panel);
    part->setMaster(balloon);
    picture->setStringAttribute(QStringLiteral("x"), QStringLiteral("Cell.Note"));

    CSElement* pageCopy = trees.keep(page->clone());
    ASSERT_EQ(pageCopy->childCount(), 3);
    CSElement* balloonCopy = pageCopy->childAt(2);
    EXPECT_EQ(balloonCopy->childAt(0)->master(), balloonCopy);
    EXPECT_EQ(pageCopy->childAt(1)->clipSource(), pageCopy->childAt(0));
    EXPECT_EQ(pageCopy->childAt(1)->identifier(), picture->identifier());
    EXPECT_EQ(pageCopy->childAt(1)->stringAttribute(QStringLiteral("Cell.Note"), nullptr), QStringLiteral("x"));

    // A picture copied without its panel is not clipped by anything.
    CSElement* alone = trees.keep(picture->clone());
    EXPECT_EQ(alone->clipSource(), nullptr);

    // A selection copied in one operation keeps its relations.
    CSElement* panelCopy;
    CSElement* pictureCopy;
    {
        CSCopyScope scope;
        panelCopy = trees.keep(panel->clone());
        pictureCopy = trees.keep(picture->clone());
    }
    EXPECT_EQ(pictureCopy->clipSource(), panelCopy);
}

class ArchivedPanel : public TestPanel
{
public:
    using TestPanel::TestPanel;
    ArchivedPanel() : TestPanel(Rect{}) {}
    const char* className() const override { return "ArchivedPanel"; }
};

class ArchivedKind : public TestKind
{
public:
    using TestKind::TestKind;
    ArchivedKind() : TestKind(Rect{}) {}
    const char* className() const override { return "ArchivedKind"; }
};

TEST(ElementArchive, ReferencesOutsideTheArchivedSetAreWrittenAsNone)
{
    ArchiveClassRegistry::instance().registerClass("ArchivedPanel", [] { return new ArchivedPanel; });
    ArchiveClassRegistry::instance().registerClass("ArchivedKind", [] { return new ArchivedKind; });
    Trees trees;
    ArchivedKind* page = trees.keep(new ArchivedKind(Rect(0, 0, 500, 500)));
    ArchivedPanel* panel = new ArchivedPanel(Rect(0, 0, 100, 100));
    ArchivedKind* picture = new ArchivedKind(Rect(5, 6, 50, 40));
    page->addChild(panel);
    page->addChild(picture);
    picture->setClipSource(panel);
    picture->setAngle(12.5f);
    picture->setLocked(true);
    picture->setColorAttribute(0xFF102030u, QStringLiteral("Cell.FrameColor"));

    ArchiveWriter alone;
    alone.writeObject(picture);
    ArchiveReader aloneReader(alone.data());
    CSElement* read = trees.keep(dynamic_cast<CSElement*>(aloneReader.readObject()));
    ASSERT_NE(read, nullptr);
    EXPECT_FALSE(aloneReader.failed());
    EXPECT_EQ(read->clipSource(), nullptr);
    EXPECT_EQ(read->childCount(), 0);
    EXPECT_EQ(read->frame(), Rect(5, 6, 50, 40));
    EXPECT_EQ(read->angle(), 12.5f);
    EXPECT_TRUE(read->isLocked());
    EXPECT_EQ(read->colorAttribute(QStringLiteral("Cell.FrameColor"), nullptr), 0xFF102030u);

    ArchiveWriter whole;
    whole.writeObject(page);
    ArchiveReader wholeReader(whole.data());
    CSElement* pageRead = trees.keep(dynamic_cast<CSElement*>(wholeReader.readObject()));
    ASSERT_NE(pageRead, nullptr);
    ASSERT_EQ(pageRead->childCount(), 2);
    EXPECT_EQ(pageRead->childAt(1)->clipSource(), pageRead->childAt(0));

    // Cut short anywhere: no crash, no element half made.
    for (int size = 0; size < whole.data().size(); size += 7) {
        ArchiveReader cut(whole.data().left(size));
        CRefCountObject* object = cut.readObject();
        if (auto* element = dynamic_cast<CSElement*>(object))
            CSElement::destroyTree(element);
        else
            delete object;
    }
    UndoableObject::clearDestructionRecord();
}

// --- Groups -----------------------------------------------------------------------------

TEST(ElementGroup, MovesItsMembersAndNeverOwnsThem)
{
    Trees trees;
    TestKind* page = trees.keep(new TestKind(Rect(0, 0, 500, 500)));
    TestKind* a = new TestKind(Rect(10, 10, 20, 20));
    TestPanel* panel = new TestPanel(Rect(50, 40, 30, 30));
    page->addChild(a);
    page->addChild(panel);
    CUndoManager undo;
    page->setUndoManager(&undo);
    {
        CSGroupElement group;
        group.addChild(a);
        group.addChild(panel);
        EXPECT_EQ(group.rotatedBounds(), Rect(10, 10, 70, 60));
        group.setFrame(Rect(20, 30, 1, 1));
        EXPECT_TRUE(group.hitTest(Point{25, 35}));
        EXPECT_FALSE(group.hitTest(Point{200, 200}));
        EXPECT_EQ(a->undoManager(), &undo);
    }
    EXPECT_EQ(a->frame(), Rect(20, 30, 20, 20));
    EXPECT_EQ(panel->frame(), Rect(60, 60, 30, 30));
    EXPECT_EQ(page->childCount(), 2);
}

} // namespace
