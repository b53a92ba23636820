// The picture element: the frame rules of a user's resize, its undo actions
// on XML snapshots, the XML and archive forms, and the caches that keep
// filtering off the repaint path.

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CAGGraphics.h"
#include "CSImageElement.h"
#include "CSStylesheet.h"
#include "CUndoManager.h"
#include "ElementTestKinds.h"
#include "GraphicsTestSupport.h"
#include "ModelArchiveClasses.h"
#include "NotificationNames.h"
#include "PictureTestSupport.h"
#include "Preferences.h"
#include "Resources.h"
#include "TestEnvironment.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

// Every colour channel of inverted lies on the other side of mid grey than
// that of original (the filters invert in linear light, so 255 - c is not
// exact).
::testing::AssertionResult isInverseOf(quint32 inverted, quint32 original)
{
    for (int shift : {0, 8, 16}) {
        const int a = int((inverted >> shift) & 0xFF), b = int((original >> shift) & 0xFF);
        if ((a - 128) * (b - 128) >= 0)
            return ::testing::AssertionFailure() << std::hex << inverted << " is not the inverse of " << original;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult nearRect(const Rect& actual, const Rect& expected, float tolerance = 0.01f)
{
    const bool near = std::fabs(actual.x() - expected.x()) <= tolerance
        && std::fabs(actual.y() - expected.y()) <= tolerance
        && std::fabs(actual.width() - expected.width()) <= tolerance
        && std::fabs(actual.height() - expected.height()) <= tolerance;
    if (near)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual.x() << ", " << actual.y() << ", " << actual.width()
                                         << ", " << actual.height() << "), expected (" << expected.x() << ", "
                                         << expected.y() << ", " << expected.width() << ", " << expected.height()
                                         << ")";
}

// Draws the element on a white canvas at zoom 1.
std::unique_ptr<CAGGraphics> drawOn(CSImageElement& element, const CSStylesheet* sheet, int width, int height,
                                    bool output = false)
{
    auto context = makeContext(width, height);
    PushCurrentContext(context.get());
    element.draw(sheet, output, 1.0f);
    PopCurrentContext();
    return context;
}

// --- Showing a picture ---------------------------------------------------------------

struct SetPictureCase
{
    const char* name;
    int pictureWidth, pictureHeight;
    Rect frame;
    Rect expected;
    float ratio;
};

class PictureSetting : public ::testing::TestWithParam<SetPictureCase>
{
};

TEST_P(PictureSetting, TheFrameTakesThePicturesShape)
{
    const SetPictureCase& c = GetParam();
    CSImageElement element(c.frame);
    RefPtr<PAImage> picture = memoryPicture(c.pictureWidth, c.pictureHeight);
    element.setPicture(picture.get());
    EXPECT_TRUE(nearRect(element.frame(), c.expected));
    EXPECT_FLOAT_EQ(element.aspectRatio(), c.ratio);
    EXPECT_EQ(element.imageName(), picture->cacheName());
    EXPECT_EQ(element.pictureRect(), Rect(0, 0, float(c.pictureWidth), float(c.pictureHeight)));
    EXPECT_TRUE(element.needsResample());
    EXPECT_TRUE(element.needsRefilter());
    EXPECT_TRUE(element.usesPicture(picture->cacheName()));
    EXPECT_EQ(element.picture(), picture.get());
}

const SetPictureCase kPictureCases[] = {
    {"Wide", 400, 300, Rect(0, 0, 100, 100), Rect(-16.6667f, 0, 133.333f, 100), 4.0f / 3.0f},
    {"Tall", 300, 400, Rect(0, 0, 100, 100), Rect(0, -16.6667f, 100, 133.333f), 0.75f},
    {"WideIntoWiderFrame", 200, 100, Rect(10, 10, 300, 100), Rect(10, -15, 300, 150), 2.0f},
    {"SameShape", 200, 100, Rect(10, 10, 100, 50), Rect(10, 10, 100, 50), 2.0f},
};

INSTANTIATE_TEST_SUITE_P(Shapes, PictureSetting, ::testing::ValuesIn(kPictureCases),
                         [](const ::testing::TestParamInfo<SetPictureCase>& info) { return std::string(info.param.name); });

// --- A user's frame ------------------------------------------------------------------

struct FrameCase
{
    const char* name;
    bool maintain;
    float ratio;
    Rect current;
    Rect requested;
    Rect expected;
};

class PictureFrameRules : public ::testing::TestWithParam<FrameCase>
{
};

TEST_P(PictureFrameRules, SetFrameAppliesMinimumRatioAndCentring)
{
    const FrameCase& c = GetParam();
    CSImageElement element(c.current);
    element.setMaintainAspectRatio(c.maintain);
    element.setAspectRatio(c.ratio);
    element.setFrame(c.requested);
    EXPECT_TRUE(nearRect(element.frame(), c.expected));
    EXPECT_GE(element.frame().width(), CSImageElement::kMinSide);
    EXPECT_GE(element.frame().height(), CSImageElement::kMinSide);
}

const FrameCase kFrameCases[] = {
    // The height changed, so the width follows (r = 2 alone would let the
    // height follow); centred on the request, one unit left and down.
    {"LockedWiderAndTaller", true, 4.0f / 3.0f, Rect(0, 0, 100, 75), Rect(0, 0, 200, 100),
     Rect(32.3333f, 1, 133.333f, 100)},
    {"LockedOnlyWider", true, 4.0f / 3.0f, Rect(0, 0, 100, 75), Rect(0, 0, 150, 75), Rect(-1, -17.75f, 150, 112.5f)},
    {"LockedNarrowRequest", true, 4.0f / 3.0f, Rect(0, 0, 100, 75), Rect(0, 0, 80, 90), Rect(-21, 1, 120, 90)},
    // A move keeps the size: it lands exactly where asked.
    {"LockedMove", true, 4.0f / 3.0f, Rect(0, 0, 100, 75), Rect(10, 20, 100, 75), Rect(10, 20, 100, 75)},
    {"TooSmallUnlocked", false, 0, Rect(0, 0, 100, 100), Rect(0, 0, 10, 10), Rect(-5, -5, 20, 20)},
    // The ratio would give 10 x 20: both sides grow to keep the minimum.
    {"TooSmallLockedTall", true, 0.5f, Rect(0, 0, 40, 80), Rect(0, 0, 20, 20), Rect(-1, -9, 20, 40)},
    {"UnknownRatioIsNotApplied", true, 0, Rect(0, 0, 100, 75), Rect(0, 0, 200, 100), Rect(0, 0, 200, 100)},
};

INSTANTIATE_TEST_SUITE_P(Requests, PictureFrameRules, ::testing::ValuesIn(kFrameCases),
                         [](const ::testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

TEST(PictureFrame, ALockedElementRefusesFramesAndResizes)
{
    CSImageElement element(Rect(0, 0, 100, 75));
    element.setLocked(true);
    element.setFrame(Rect(5, 5, 50, 50));
    element.resizeByHandle(Size{30, 30}, 7);
    EXPECT_EQ(element.frame(), Rect(0, 0, 100, 75));
}

TEST(PictureFrame, TheAspectRatioIsLearntFromTheFrameOnce)
{
    CSImageElement element(Rect(0, 0, 90, 30));
    EXPECT_FLOAT_EQ(element.aspectRatio(), 3.0f);
    element.setFrame(Rect(0, 0, 60, 60));
    EXPECT_FLOAT_EQ(element.aspectRatio(), 3.0f);
    CSImageElement flat(Rect(0, 0, 90, 0));
    EXPECT_FLOAT_EQ(flat.aspectRatio(), 1.0f);
    // Hostile ratios are not kept: the ratio is unknown again, and the
    // frame's (now 180 x 60) is learnt.
    element.setAspectRatio(std::nanf(""));
    EXPECT_FLOAT_EQ(element.aspectRatio(), 3.0f);
    element.setAspectRatio(-2);
    EXPECT_FLOAT_EQ(element.aspectRatio(), 3.0f);
}

struct ResizeCase
{
    const char* name;
    Size delta;
    int handle;
    Rect expected;
};

class PictureResize : public ::testing::TestWithParam<ResizeCase>
{
};

// A 100 x 75 picture keeping 4:3.
TEST_P(PictureResize, TheDraggedSideLeadsAndTheAnchorStays)
{
    const ResizeCase& c = GetParam();
    CSImageElement element(Rect(0, 0, 100, 75));
    element.setAspectRatio(4.0f / 3.0f);
    element.resizeByHandle(c.delta, c.handle);
    EXPECT_TRUE(nearRect(element.frame(), c.expected));
}

const ResizeCase kResizeCases[] = {
    {"CornerMostlySideways", Size{20, 5}, 7, Rect(0, 0, 120, 90)},
    {"CornerMostlyDown", Size{5, 15}, 7, Rect(0, 0, 120, 90)},
    {"BottomEdge", Size{0, 15}, 6, Rect(-10, 0, 120, 90)},
    {"LeftEdge", Size{-20, 0}, 3, Rect(-20, -7.5f, 120, 90)},
    {"TopLeftPastTheOppositeCorner", Size{200, 200}, 0, Rect(73.3333f, 55, 26.6667f, 20)},
};

INSTANTIATE_TEST_SUITE_P(Handles, PictureResize, ::testing::ValuesIn(kResizeCases),
                         [](const ::testing::TestParamInfo<ResizeCase>& info) { return std::string(info.param.name); });

TEST(PictureFrame, ARotatedResizeKeepsTheOppositeHandleOnThePage)
{
    CSImageElement element(Rect(50, 50, 100, 75));
    element.setAspectRatio(4.0f / 3.0f);
    element.setAngle(30);
    const Point anchor = element.handlePosition(0);
    element.resizeByHandle(Size{40, 10}, 7);
    const Point after = element.handlePosition(0);
    EXPECT_NEAR(after.x, anchor.x, 1e-3f);
    EXPECT_NEAR(after.y, anchor.y, 1e-3f);
    EXPECT_NEAR(element.frame().width() / element.frame().height(), 4.0f / 3.0f, 1e-4f);
}

TEST(PictureFrame, WithoutTheLockTheBaseResizeAppliesWithTheMinimum)
{
    CSImageElement element(Rect(0, 0, 100, 75));
    element.setMaintainAspectRatio(false);
    element.resizeByHandle(Size{-95, 10}, 7);
    EXPECT_TRUE(nearRect(element.frame(), Rect(0, 0, 20, 85)));
}

// --- Undo ------------------------------------------------------------------------------

struct Scene
{
    CUndoManager undo;
    TestKind* page = new TestKind(Rect(0, 0, 600, 400));
    TestPanel* panel = new TestPanel(Rect(10, 10, 300, 200));
    CSImageElement* image = new CSImageElement(Rect(20, 20, 100, 75));
    RefPtr<PAImage> picture = memoryPicture(40, 30);

    Scene()
    {
        page->addChild(panel);
        page->addChild(image);
        image->setClipSource(panel);
        image->setPicture(picture.get());
        page->setUndoManager(&undo);
    }
    ~Scene() { CSElement::destroyTree(page); }
    QByteArray snapshot() const { return xmlOf(*page); }
};

struct EditCase
{
    const char* name;
    std::function<void(Scene&)> edit;
};

class PictureUndo : public ::testing::TestWithParam<EditCase>
{
};

TEST_P(PictureUndo, UndoAndRedoGiveBackTheSnapshots)
{
    Scene scene;
    const QByteArray before = scene.snapshot();
    scene.undo.beginGroup();
    GetParam().edit(scene);
    scene.undo.endGroup();
    const QByteArray after = scene.snapshot();
    ASSERT_NE(after, before) << "the edit changed nothing";

    scene.undo.undo();
    EXPECT_EQ(scene.snapshot(), before);
    EXPECT_FALSE(scene.undo.canUndo());
    scene.undo.redo();
    EXPECT_EQ(scene.snapshot(), after);
    scene.undo.undo();
    EXPECT_EQ(scene.snapshot(), before);
}

const EditCase kEdits[] = {
    {"SetMaintainAspectRatio", [](Scene& s) { s.image->setMaintainAspectRatio(false); }},
    {"SetAspectRatio", [](Scene& s) { s.image->setAspectRatio(2.5f); }},
    {"SetFlipVertical", [](Scene& s) { s.image->setFlipVertical(true); }},
    {"SetFlipHorizontal", [](Scene& s) { s.image->setFlipHorizontal(true); }},
    {"SetFrameWithRatioAndNudge", [](Scene& s) { s.image->setFrame(Rect(0, 0, 200, 100)); }},
    {"SetFrameBelowMinimum", [](Scene& s) { s.image->setFrame(Rect(30, 30, 5, 5)); }},
    {"ResizeKeepingRatio", [](Scene& s) { s.image->resizeByHandle(Size{33, 7}, 7); }},
    {"ResizePastMinimum", [](Scene& s) { s.image->resizeByHandle(Size{-300, -300}, 7); }},
    {"ResizeRotated",
     [](Scene& s) {
         s.image->setAngle(25);
         s.image->resizeByHandle(Size{-12, 30}, 2);
     }},
    {"ResizeUnlocked",
     [](Scene& s) {
         s.image->setMaintainAspectRatio(false);
         s.image->resizeByHandle(Size{-90, 4}, 4);
     }},
    {"SetStyle", [](Scene& s) { s.image->setStyleName(QStringLiteral("Sepia")); }},
    {"SetInvert", [](Scene& s) { s.image->setBoolAttribute(true, QStringLiteral("Invert")); }},
};

INSTANTIATE_TEST_SUITE_P(Actions, PictureUndo, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

// The frames undo puts back are the saved ones, even those no user could
// ask for now: below the minimum, off the kept ratio.
TEST(PictureUndoFrames, UndoRestoresTheSavedFrameExactly)
{
    CUndoManager undo;
    auto* image = new CSImageElement(Rect(3.25f, 4.5f, 12, 90));
    image->setAspectRatio(2);
    image->setUndoManager(&undo);
    image->setFrame(Rect(0, 0, 200, 100));
    const Rect edited = image->frame();
    image->resizeByHandle(Size{17, 3}, 7);
    const Rect resized = image->frame();

    undo.undo();
    EXPECT_EQ(image->frame(), edited);
    undo.undo();
    EXPECT_EQ(image->frame(), Rect(3.25f, 4.5f, 12, 90));
    undo.redo();
    EXPECT_EQ(image->frame(), edited);
    undo.redo();
    EXPECT_EQ(image->frame(), resized);
    CSElement::destroyTree(image);
}

TEST(PictureUndoFrames, FlipsRecordOnlyChanges)
{
    CUndoManager undo;
    auto* image = new CSImageElement(Rect(0, 0, 50, 50));
    image->setUndoManager(&undo);
    image->setFlipHorizontal(true);
    image->setFlipHorizontal(false);
    EXPECT_EQ(undo.undoCount(), 2);
    image->setFlipHorizontal(false);
    image->setFlipVertical(false);
    image->setMaintainAspectRatio(true);
    EXPECT_EQ(undo.undoCount(), 2);
    undo.undo();
    EXPECT_TRUE(image->flipsHorizontally());
    CSElement::destroyTree(image);
}

// --- XML and archive ---------------------------------------------------------------------

TEST(PictureXml, WritesItsSettingsAndReadsThemBack)
{
    CSImageElement image(Rect(10.5f, 20, 133.25f, 100));
    image.setFlipVertical(true);
    image.setMaintainAspectRatio(false);
    image.setAspectRatio(1.5f);
    RefPtr<PAImage> picture = memoryPicture(30, 20);
    picture->setCacheName(QStringLiteral("Küste 1.jpg"));
    image.setPicture(picture.get());
    image.setFrame(Rect(10.5f, 20, 133.25f, 100));
    image.setAngle(12);
    image.setStyleName(QStringLiteral("Sepia"));
    const QByteArray written = xmlOf(image);
    const QString text = QString::fromUtf8(written);
    for (const char* setting : {"flipVertical", "flipHorizontal", "maintainAspectRatio", "aspectRatio", "imageName"})
        EXPECT_TRUE(text.contains(QStringLiteral("name=\"%1\"").arg(QLatin1String(setting)))) << setting;
    EXPECT_TRUE(text.contains(QStringLiteral("type=\"image\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("Küste 1.jpg")));

    TiXmlDocument document;
    document.Parse(written.constData());
    std::unique_ptr<CSElement> read(CSElement::elementFromXml(document.FirstChildElement("element")));
    ASSERT_NE(read, nullptr);
    auto* readImage = dynamic_cast<CSImageElement*>(read.get());
    ASSERT_NE(readImage, nullptr);
    EXPECT_EQ(xmlOf(*read), written);
    EXPECT_EQ(readImage->imageName(), QStringLiteral("Küste 1.jpg"));
    EXPECT_TRUE(readImage->flipsVertically());
    EXPECT_FALSE(readImage->maintainsAspectRatio());
    // The picture is not in the element: the document attaches it.
    EXPECT_EQ(readImage->picture(), nullptr);
}

TEST(PictureXml, HostileSettingsAreSanitisedAndUnknownOnesIgnored)
{
    const char* xml = R"(<element type="image" x="nan" y="1e30" w="-5" h="40">
        <attributes>
          <setting name="aspectRatio">inf</setting>
          <setting name="flipHorizontal">7</setting>
          <setting name="imageName">a.png</setting>
          <setting name="ImageName">b.png</setting>
          <setting name="colour">12</setting>
          <setting>1</setting>
        </attributes></element>)";
    TiXmlDocument document;
    document.Parse(xml);
    std::unique_ptr<CSElement> read(CSElement::elementFromXml(document.FirstChildElement("element")));
    auto* image = dynamic_cast<CSImageElement*>(read.get());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->imageName(), QStringLiteral("a.png"));
    EXPECT_TRUE(image->flipsHorizontally());
    const Rect f = image->frame();
    EXPECT_TRUE(std::isfinite(f.x()) && std::isfinite(f.y()));
    EXPECT_LE(f.y(), CSElement::kMaxCoordinate);
    EXPECT_TRUE(std::isfinite(image->aspectRatio()));
    EXPECT_GT(image->aspectRatio(), 0.0f);
}

TEST(PictureArchive, RoundTripsAndSurvivesCutData)
{
    registerModelArchiveClasses();
    CSImageElement image(Rect(5, 6, 80, 60));
    RefPtr<PAImage> picture = memoryPicture(40, 30);
    image.setPicture(picture.get());
    image.setFlipHorizontal(true);
    image.setMaintainAspectRatio(false);

    ArchiveWriter writer;
    writer.writeObject(&image);
    ArchiveReader reader(writer.data());
    std::unique_ptr<CSElement> read(dynamic_cast<CSElement*>(reader.readObject()));
    auto* copy = dynamic_cast<CSImageElement*>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(copy->imageName(), image.imageName());
    EXPECT_EQ(copy->pictureRect(), Rect(0, 0, 40, 30));
    EXPECT_FLOAT_EQ(copy->aspectRatio(), 4.0f / 3.0f);
    EXPECT_TRUE(copy->flipsHorizontally());
    EXPECT_FALSE(copy->maintainsAspectRatio());
    EXPECT_EQ(copy->frame(), image.frame());

    for (int size = 0; size < writer.data().size(); size += 5) {
        ArchiveReader cut(writer.data().left(size));
        CRefCountObject* object = cut.readObject();
        if (auto* element = dynamic_cast<CSElement*>(object))
            CSElement::destroyTree(element);
        else
            delete object;
    }
    UndoableObject::clearDestructionRecord();
}

TEST(PictureCopy, SharesThePictureAndStartsWithoutCaches)
{
    CSImageElement image(Rect(0, 0, 40, 30));
    RefPtr<PAImage> picture = memoryPicture(40, 30);
    image.setPicture(picture.get());
    image.setFlipVertical(true);
    drawOn(image, nullptr, 60, 60);
    ASSERT_NE(image.filteredPicture(), nullptr);
    std::unique_ptr<CSElement> copied(image.clone());
    auto* copy = dynamic_cast<CSImageElement*>(copied.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->picture(), picture.get());
    EXPECT_EQ(copy->imageName(), image.imageName());
    EXPECT_TRUE(copy->flipsVertically());
    EXPECT_EQ(copy->filteredPicture(), nullptr);
    EXPECT_EQ(copy->workingPicture(), nullptr);
}

// --- Caches ------------------------------------------------------------------------------

struct CacheFixture : ::testing::Test
{
    RefPtr<CSStylesheet> sheet{CSStylesheet::newStylesheet()};
    RefPtr<PAImage> picture = memoryPicture(80, 60);
    CSImageElement image{Rect(10, 10, 80, 60)};

    CacheFixture() { image.setPicture(picture.get()); }
    void draw() { drawOn(image, sheet.get(), 120, 100); }
    ~CacheFixture() override { CSImageElement::setFastDrawing(false); }
};

TEST_F(CacheFixture, RepaintsReuseTheFilteredPicture)
{
    draw();
    ASSERT_EQ(image.filterRunCount(), 1);
    for (int i = 0; i < 5; ++i)
        draw();
    EXPECT_EQ(image.filterRunCount(), 1);
    EXPECT_EQ(image.workingRect(), Rect(0, 0, 80, 60));
    EXPECT_FALSE(image.needsRefilter());
    EXPECT_FALSE(image.needsResample());
}

TEST_F(CacheFixture, ASizeChangeRebuildsOnceAndAMoveNotAtAll)
{
    draw();
    image.setFrame(Rect(20, 20, 80, 60));
    draw();
    EXPECT_EQ(image.filterRunCount(), 1);
    image.setMaintainAspectRatio(false);
    image.setFrame(Rect(20, 20, 50, 60));
    EXPECT_TRUE(image.needsResample());
    draw();
    draw();
    EXPECT_EQ(image.filterRunCount(), 2);
    EXPECT_EQ(image.workingRect(), Rect(0, 0, 50, 60));
}

// A refilter asked for by a style change survives a frame change that keeps
// the size.
TEST_F(CacheFixture, AFrameChangeNeverClearsAPendingRefilter)
{
    draw();
    image.markForRefilter();
    image.setFrame(Rect(30, 30, 80, 60));
    EXPECT_TRUE(image.needsRefilter());
    draw();
    EXPECT_EQ(image.filterRunCount(), 2);
}

TEST_F(CacheFixture, AnyChangeOfTheFilterStyleRefiltersOnce)
{
    draw();
    const quint32 before = pixelAt(*drawOn(image, sheet.get(), 120, 100), 40, 15);
    image.setBoolAttribute(true, QStringLiteral("Invert"));
    auto context = drawOn(image, sheet.get(), 120, 100);
    EXPECT_EQ(image.filterRunCount(), 2);
    EXPECT_TRUE(isInverseOf(pixelAt(*context, 40, 15), before));
    // A change of the style itself (no local value) is seen too.
    image.removeAttribute(QStringLiteral("Invert"));
    sheet->setBoolForKey(true, QStringLiteral("Image.Colorize"));
    draw();
    draw();
    EXPECT_EQ(image.filterRunCount(), 3);
}

TEST_F(CacheFixture, TheFilterNotificationOfItsStyleMarksARefilter)
{
    CUndoManager undo;
    image.setUndoManager(&undo);
    draw();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    QString other = QStringLiteral("Sepia");
    center.postNotification(NotificationNames::StylesheetFilterChangedNotification, &undo, &other);
    EXPECT_FALSE(image.needsRefilter());
    QString defaultStyle = localizedString(QStringLiteral("Default"));
    CUndoManager otherDocument;
    center.postNotification(NotificationNames::StylesheetFilterChangedNotification, &otherDocument, &defaultStyle);
    EXPECT_FALSE(image.needsRefilter());
    center.postNotification(NotificationNames::StylesheetFilterChangedNotification, &undo, &defaultStyle);
    EXPECT_TRUE(image.needsRefilter());

    draw();
    image.setStyleName(QStringLiteral("Sepia"));
    draw();
    center.postNotification(NotificationNames::StylesheetFilterChangedNotification, &undo, &defaultStyle);
    EXPECT_FALSE(image.needsRefilter());
    center.postNotification(NotificationNames::StylesheetFilterChangedNotification, &undo, &other);
    EXPECT_TRUE(image.needsRefilter());
    center.postNotification(NotificationNames::StylesheetFilterChangedNotification, &undo, nullptr);
    image.setUndoManager(nullptr);
}

// During a live resize the stale filtered picture is drawn scaled to the
// new frame; the rebuild waits for the end of the gesture.
TEST_F(CacheFixture, FastDrawingDrawsTheStalePictureScaled)
{
    image.setBoolAttribute(true, QStringLiteral("Invert"));
    draw();
    CSImageElement::setFastDrawing(true);
    image.setMaintainAspectRatio(false);
    image.setFrame(Rect(10, 10, 100, 80));
    image.setBoolAttribute(false, QStringLiteral("Invert"));
    auto context = drawOn(image, sheet.get(), 120, 100);
    EXPECT_EQ(image.filterRunCount(), 1);
    EXPECT_EQ(image.workingRect(), Rect(0, 0, 80, 60));
    // The stale (inverted) picture covers the new frame: its bottom-right
    // quadrant (blue, inverted) reaches the new corner.
    const quint32 corner = pixelAt(*context, 105, 85);
    const quint32 stale = image.filteredPicture()->image().pixel(76, 56);
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(int((corner >> shift) & 0xFF), int((stale >> shift) & 0xFF), 3);

    CSImageElement::setFastDrawing(false);
    context = drawOn(image, sheet.get(), 120, 100);
    EXPECT_EQ(image.filterRunCount(), 2);
    EXPECT_EQ(image.workingRect(), Rect(0, 0, 100, 80));
    const quint32 fresh = pixelAt(*context, 105, 85);
    EXPECT_GT(qBlue(fresh), 150);
}

TEST_F(CacheFixture, UpdateCachesRebuildsOnlyWhatExists)
{
    image.updateCaches(sheet.get());
    EXPECT_EQ(image.workingPicture(), nullptr);
    draw();
    image.setMaintainAspectRatio(false);
    image.setFrame(Rect(10, 10, 40, 60));
    image.updateCaches(sheet.get());
    EXPECT_EQ(image.workingRect(), Rect(0, 0, 40, 60));
    EXPECT_EQ(image.filterRunCount(), 2);
    EXPECT_FALSE(image.needsResample());
    EXPECT_FALSE(image.needsRefilter());
}

// --- Filtering -----------------------------------------------------------------------------

TEST_F(CacheFixture, NoneWithInvertIsFiltered)
{
    image.setStringAttribute(QStringLiteral("None"), QStringLiteral("Filter"));
    EXPECT_FALSE(image.needsFiltering(sheet.get()));
    RefPtr<PAImage> copy = image.filteredPictureOf(*picture, sheet.get());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->image().pixel(30, 5), picture->image().pixel(30, 5));
    image.setBoolAttribute(true, QStringLiteral("Invert"));
    EXPECT_TRUE(image.needsFiltering(sheet.get()));
    RefPtr<PAImage> inverted = image.filteredPictureOf(*picture, sheet.get());
    ASSERT_TRUE(inverted);
    EXPECT_TRUE(isInverseOf(inverted->image().pixel(30, 5), picture->image().pixel(30, 5)));
    // The stylesheet's default ("no filter" in the user's language) and a
    // preset name.
    image.removeAttribute(QStringLiteral("Invert"));
    image.removeAttribute(QStringLiteral("Filter"));
    EXPECT_FALSE(image.needsFiltering(sheet.get()));
    image.setStringAttribute(QStringLiteral("Comicify!"), QStringLiteral("Filter"));
    EXPECT_TRUE(image.needsFiltering(sheet.get()));
}

struct OutputSizeCase
{
    const char* name;
    int pictureSide;
    int dpi;
    QSize expected;
};

class PictureOutputSize : public ::testing::TestWithParam<OutputSizeCase>
{
};

// A 100 x 100 frame.
TEST_P(PictureOutputSize, OutputFiltersNoMorePixelsThanArePrinted)
{
    const OutputSizeCase& c = GetParam();
    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    sheet->setOutputDPI(c.dpi);
    CSImageElement image(Rect(0, 0, 100, 100));
    RefPtr<PAImage> picture = memoryPicture(c.pictureSide, c.pictureSide);
    image.setPicture(picture.get());
    EXPECT_EQ(image.outputPictureSize(sheet.get()), c.expected);
}

const OutputSizeCase kOutputSizes[] = {
    {"LargePhotoAt300", 4000, 300, QSize(416, 416)},
    {"SmallPictureKeepsItsSize", 200, 300, QSize(200, 200)},
    {"NoResolutionIsTheScreens", 4000, 0, QSize(100, 100)},
    {"At144", 4000, 144, QSize(200, 200)},
};

INSTANTIATE_TEST_SUITE_P(Resolutions, PictureOutputSize, ::testing::ValuesIn(kOutputSizes),
                         [](const ::testing::TestParamInfo<OutputSizeCase>& info) { return std::string(info.param.name); });

// --- Pictures attached later, and pictures that cannot be read ----------------------------

// A reopened document: the element is read without its picture, which is
// attached afterwards; output must show it.
TEST(PictureAttaching, AnAttachedPictureIsDrawnForOutput)
{
    CSImageElement written(Rect(0, 0, 60, 45));
    RefPtr<PAImage> picture = memoryPicture(60, 45);
    written.setPicture(picture.get());
    TiXmlDocument document;
    document.Parse(xmlOf(written).constData());
    std::unique_ptr<CSElement> read(CSElement::elementFromXml(document.FirstChildElement("element")));
    auto* image = dynamic_cast<CSImageElement*>(read.get());
    ASSERT_NE(image, nullptr);

    NSDictionary table;
    table.setObjectValueForKey(picture.get(), picture->cacheName());
    NSDictionary unrelated;
    RefPtr<PAImage> other = memoryPicture(5, 5);
    unrelated.setObjectValueForKey(other.get(), QStringLiteral("other.png"));
    image->attachPictures(&unrelated);
    EXPECT_EQ(image->picture(), nullptr);
    image->attachPictures(&table);
    EXPECT_EQ(image->picture(), picture.get());
    EXPECT_EQ(image->pictureRect(), Rect(0, 0, 60, 45));

    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    sheet->setOutputDPI(144);
    auto context = makeContext(120, 90);
    PushCurrentContext(context.get());
    context->ScaleTransform(2, 2);
    image->draw(sheet.get(), true, 2);
    PopCurrentContext();
    const quint32 red = pixelAt(*context, 50, 10);
    EXPECT_GT(qRed(red), 180);
    EXPECT_LT(qGreen(red), 80);
}

struct FileFixture : ::testing::Test
{
    QString folder = TestEnvironment::makeTempFolder(QStringLiteral("pictures"));
    QString path = folder + QStringLiteral("/photo.png");
    FileFixture() { quadrantPicture(40, 30).save(path); }
};

// Two files of the same name become two pictures of different names in a
// package; drawing reloads and unloads them and must keep those names.
TEST_F(FileFixture, ReloadingKeepsThePicturesName)
{
    RefPtr<PAImage> picture(new PAImage(path, true));
    const QString packageName = picture->cacheName();
    ASSERT_NE(packageName, QStringLiteral("photo.png"));
    CSImageElement image(Rect(0, 0, 40, 30));
    image.setPicture(picture.get());
    EXPECT_FALSE(picture->isLoaded()); // unloaded again after use
    drawOn(image, nullptr, 50, 50);
    EXPECT_EQ(picture->cacheName(), packageName);
    EXPECT_EQ(image.imageName(), packageName);
    ASSERT_TRUE(PAImage::ok(picture->reload()));
    EXPECT_EQ(picture->cacheName(), packageName);
}

TEST_F(FileFixture, AnUnreadablePictureDrawsThePlaceholderAndKeepsItsName)
{
    RefPtr<PAImage> picture(new PAImage(path, false));
    CSImageElement image(Rect(0, 0, 60, 60));
    image.setPicture(picture.get());
    drawOn(image, nullptr, 80, 80);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly)); // an empty file: not a picture
    image.setMaintainAspectRatio(false);
    image.setFrame(Rect(0, 0, 64, 64));
    auto context = drawOn(image, nullptr, 80, 80);
    EXPECT_EQ(image.displayPicture(),
              PAImage::resourcePicture(QStringLiteral("exclamation_mark_unsupported_format.png")));
    EXPECT_EQ(image.imageName(), QStringLiteral("photo.png"));
    EXPECT_EQ(image.picture(), picture.get());
    // The warning triangle's orange in the middle.
    const quint32 middle = pixelAt(*context, 24, 45);
    EXPECT_GT(qRed(middle), 200);
    EXPECT_GT(qGreen(middle), 120);
    EXPECT_LT(qBlue(middle), 80);

    // Once the file can be read again, the real picture returns.
    quadrantPicture(40, 30).save(path);
    image.setFrame(Rect(0, 0, 60, 60));
    drawOn(image, nullptr, 80, 80);
    EXPECT_EQ(image.displayPicture(), picture.get());
}

TEST(PictureWithout, AnElementWithoutPictureDrawsOnlyItsFrame)
{
    CSImageElement image(Rect(10, 10, 40, 40));
    image.setBoolAttribute(true, QStringLiteral("DrawFrame"));
    auto context = drawOn(image, nullptr, 60, 60);
    EXPECT_EQ(pixelAt(*context, 30, 30), 0xFFFFFFFFu);
    EXPECT_LT(qGreen(pixelAt(*context, 9, 30)), 40); // the black frame
    EXPECT_EQ(image.filterRunCount(), 0);
}

} // namespace
