// The quick comic: planning with a scripted random source, the exact-count
// replacement, refusals, and building pages from picture files.

#include "CSCell.h"
#include "CSComic.h"
#include "CSImageElement.h"
#include "CSPage.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "PAImage.h"
#include "QuickComic.h"
#include "TemplateLibrary.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <deque>

namespace {

// Hands out the numbers it was given, then zeros.
class ScriptedRandom : public QuickComicRandom
{
public:
    explicit ScriptedRandom(std::deque<int> numbers) : m_numbers(std::move(numbers)) {}
    int nextBelow(int bound) override
    {
        bounds.push_back(bound);
        if (m_numbers.empty())
            return 0;
        const int next = m_numbers.front();
        m_numbers.pop_front();
        return next % bound;
    }
    std::vector<int> bounds;

private:
    std::deque<int> m_numbers;
};

// A template of panels side by side, tagged as given (1, 2, ... by default).
RefPtr<NSDictionary> templateOf(int panels, std::vector<int> tags = {})
{
    RefPtr<NSDictionary> dictionary(new NSDictionary);
    auto* cells = new NSArray;
    for (int i = 0; i < panels; ++i) {
        auto* cell = new NSDictionary;
        const float width = 1000.0f / float(panels);
        cell->setStringForKey(QStringLiteral("{{%1, 0}, {%2, 1000}}").arg(double(i * width)).arg(double(width)),
                              QStringLiteral("Frame"));
        cell->setIntForKey(tags.empty() ? i + 1 : tags[std::size_t(i)], QStringLiteral("Tag"));
        cells->addObject(NSObject(cell));
    }
    dictionary->setArrayForKey(cells, QStringLiteral("Cells"));
    return dictionary;
}

QuickComicTemplate choice(const char* name, int panels)
{
    return QuickComicTemplate{QString::fromLatin1(name), templateOf(panels), panels};
}

std::vector<int> panelsOf(const QuickComicPlan& plan)
{
    std::vector<int> counts;
    for (const QuickComicTemplate& page : plan.pages)
        counts.push_back(page.panels);
    return counts;
}

TEST(QuickComicPlanning, SevenPicturesCoverThenFoursThenTheTwoPanelReplacement)
{
    const QuickComicTemplate cover = choice("Cover", 1);
    const std::vector<QuickComicTemplate> group = {choice("Four A", 4), choice("Four B", 4), choice("Two", 2)};
    // The second draw picks a four-panel template for the last two pictures.
    ScriptedRandom random({1, 0});
    const QuickComicPlan plan = QuickComic::plan(&cover, group, 7, random);
    ASSERT_TRUE(plan.isValid());
    EXPECT_EQ(panelsOf(plan), (std::vector<int>{1, 4, 2}));
    EXPECT_EQ(plan.pages[1].name, QStringLiteral("Four B"));
    EXPECT_EQ(plan.pages[2].name, QStringLiteral("Two"));
    EXPECT_EQ(random.bounds, (std::vector<int>{3, 3}));

    // Without a two-panel template the four stays.
    const std::vector<QuickComicTemplate> fours = {choice("Four A", 4), choice("Four B", 4)};
    ScriptedRandom again({0, 1});
    EXPECT_EQ(panelsOf(QuickComic::plan(&cover, fours, 7, again)), (std::vector<int>{1, 4, 4}));
}

TEST(QuickComicPlanning, AnEmptyFolderStillMakesTheCover)
{
    const QuickComicTemplate cover = choice("Cover", 1);
    ScriptedRandom random({});
    const QuickComicPlan plan = QuickComic::plan(&cover, {choice("Four", 4)}, 0, random);
    ASSERT_TRUE(plan.isValid());
    EXPECT_EQ(panelsOf(plan), (std::vector<int>{1}));
    EXPECT_TRUE(random.bounds.empty());
}

TEST(QuickComicPlanning, TemplatesWithoutPanelsAreNeverChosen)
{
    ScriptedRandom random({0, 0, 0});
    const QuickComicPlan plan = QuickComic::plan(nullptr, {choice("Empty", 0), choice("Three", 3)}, 5, random);
    ASSERT_TRUE(plan.isValid());
    EXPECT_EQ(panelsOf(plan), (std::vector<int>{3, 3}));
    for (int bound : random.bounds)
        EXPECT_EQ(bound, 1);
}

TEST(QuickComicPlanning, AGroupWithNothingToFillIsReported)
{
    ScriptedRandom random({});
    const QuickComicPlan empty = QuickComic::plan(nullptr, {}, 3, random);
    EXPECT_FALSE(empty.isValid());
    EXPECT_TRUE(empty.pages.empty());
    const QuickComicPlan blank = QuickComic::plan(nullptr, {choice("Empty", 0), choice("Blank", 0)}, 3, random);
    EXPECT_FALSE(blank.isValid());
    // A cover without panels and nothing else: still nothing to put pictures in.
    const QuickComicTemplate bareCover = choice("Cover", 0);
    EXPECT_FALSE(QuickComic::plan(&bareCover, {}, 1, random).isValid());
}

TEST(QuickComicPlanning, TheSeededSourceRepeatsAndStaysInRange)
{
    SeededQuickComicRandom a(42), b(42);
    for (int i = 0; i < 1000; ++i) {
        const int bound = 1 + i % 7;
        const int value = a.nextBelow(bound);
        EXPECT_EQ(value, b.nextBelow(bound));
        EXPECT_GE(value, 0);
        EXPECT_LT(value, bound);
    }
    // The Mersenne Twister's output is fixed by the standard: the first
    // number of seed 5489 is 3499211612, so the first draw below 10 is 2.
    SeededQuickComicRandom standard(5489);
    EXPECT_EQ(standard.nextBelow(10), 2);
}

// --- Building ------------------------------------------------------------------

class QuickComicBuilding : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = TestEnvironment::makeTempFolder(QStringLiteral("pictures"));
        for (int i = 0; i < 5; ++i) {
            QImage image(40 + 10 * i, 30, QImage::Format_RGB32);
            image.fill(QColor(40 * i, 100, 200));
            ASSERT_TRUE(image.save(folder + QStringLiteral("/p%1.png").arg(i)));
        }
        QFile broken(folder + QStringLiteral("/p2.png"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write("not a picture");
        QFile notes(folder + QStringLiteral("/notes.txt"));
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
        comic = new CSComic(Size{600, 400});
    }
    void TearDown() override { CSComic::destroy(comic); }

    QString folder;
    CSComic* comic = nullptr;
};

class CountingProgress : public QuickComicProgress
{
public:
    explicit CountingProgress(int cancelAfter = -1) : m_cancelAfter(cancelAfter) {}
    void setRange(int steps) override { range = steps; }
    void advance() override { ++advanced; }
    bool isCancelled() const override { return m_cancelAfter >= 0 && advanced > m_cancelAfter; }
    int range = -1;
    int advanced = 0;

private:
    int m_cancelAfter;
};

std::vector<CSImageElement*> picturesIn(const CSCell* panel)
{
    std::vector<CSImageElement*> found;
    for (CSElement* child : panel->children()) {
        if (auto* image = dynamic_cast<CSImageElement*>(child))
            found.push_back(image);
    }
    return found;
}

TEST_F(QuickComicBuilding, PicturesGoIntoPanelsByOrderNumberClippedAndIntoTheTable)
{
    const QStringList pictures = QuickComic::picturesInFolder(folder);
    ASSERT_EQ(pictures.size(), 5) << "the text file is not a picture";
    QuickComicPlan plan;
    // Order numbers right to left on the first page.
    plan.pages = {{QStringLiteral("Three"), templateOf(3, {3, 2, 1}), 3}, {QStringLiteral("Three"), templateOf(3), 3}};
    CountingProgress progress;
    ASSERT_TRUE(QuickComic::fillComic(*comic, plan, pictures, &progress));
    EXPECT_EQ(progress.range, 2);
    EXPECT_EQ(progress.advanced, 2);
    ASSERT_EQ(comic->pageCount(), 2);

    const std::vector<CSCell*> first = CSCell::panelsIn(comic->pageAt(0)->children());
    // p0 into the panel numbered 1 (the right one), p1 into 2, p2 is broken:
    // panel 3 (the left one) stays empty.
    ASSERT_EQ(picturesIn(first[2]).size(), 1u);
    EXPECT_EQ(picturesIn(first[2])[0]->picture()->sourcePath(), pictures[0]);
    ASSERT_EQ(picturesIn(first[1]).size(), 1u);
    EXPECT_EQ(picturesIn(first[1])[0]->picture()->sourcePath(), pictures[1]);
    EXPECT_TRUE(picturesIn(first[0]).empty());

    const std::vector<CSCell*> second = CSCell::panelsIn(comic->pageAt(1)->children());
    EXPECT_EQ(picturesIn(second[0])[0]->picture()->sourcePath(), pictures[3]);
    EXPECT_EQ(picturesIn(second[1])[0]->picture()->sourcePath(), pictures[4]);
    EXPECT_TRUE(picturesIn(second[2]).empty());

    EXPECT_EQ(comic->pictures().size(), 4u);
    for (const auto& [name, picture] : comic->pictures()) {
        EXPECT_EQ(name, picture->cacheName());
        EXPECT_FALSE(picture->isLoaded()) << "decoded pixels are released once placed";
    }
    for (CSCell* panel : second) {
        for (CSImageElement* image : picturesIn(panel)) {
            EXPECT_EQ(image->clipSource(), panel);
            // The picture covers its panel at its own shape.
            EXPECT_LE(image->frame().minX(), panel->frame().minX() + 1e-3f);
            EXPECT_GE(image->frame().maxX(), panel->frame().maxX() - 1e-3f);
            EXPECT_LE(image->frame().minY(), panel->frame().minY() + 1e-3f);
            EXPECT_GE(image->frame().maxY(), panel->frame().maxY() - 1e-3f);
        }
    }
}

TEST_F(QuickComicBuilding, TwoPanelsOfOneNumberNeverShareAPicture)
{
    QuickComicPlan plan;
    plan.pages = {{QStringLiteral("Same"), templateOf(2, {1, 1}), 2}};
    const QStringList pictures = QuickComic::picturesInFolder(folder);
    ASSERT_TRUE(QuickComic::fillComic(*comic, plan, pictures));
    for (CSCell* panel : CSCell::panelsIn(comic->pageAt(0)->children()))
        EXPECT_EQ(picturesIn(panel).size(), 1u);
}

TEST_F(QuickComicBuilding, ACancelStopsBeforeTheNextPage)
{
    QuickComicPlan plan;
    plan.pages = {{QStringLiteral("One"), templateOf(1), 1}, {QStringLiteral("One"), templateOf(1), 1},
                  {QStringLiteral("One"), templateOf(1), 1}};
    CountingProgress progress(1);
    EXPECT_FALSE(QuickComic::fillComic(*comic, plan, QuickComic::picturesInFolder(folder), &progress));
    EXPECT_EQ(comic->pageCount(), 1);
}

TEST_F(QuickComicBuilding, AShippedGroupPlansAndBuildsTheWholeFolder)
{
    const TemplateLibrary library(TemplateLibrary::builtInTemplateFolder(), QString());
    const QList<TemplateGroup> groups = library.templateGroups();
    ASSERT_FALSE(groups.isEmpty());
    const QStringList pictures = QuickComic::picturesInFolder(folder);
    for (const TemplateGroup& group : groups) {
        SeededQuickComicRandom random(7);
        const QuickComicPlan plan = QuickComic::planGroup(group, int(pictures.size()), random);
        ASSERT_TRUE(plan.isValid()) << group.name.toStdString();
        EXPECT_EQ(plan.pages.front().name, QStringLiteral("Cover"));
        EXPECT_GE(plan.pictureCapacity(), pictures.size());
    }
    SeededQuickComicRandom random(7);
    const QuickComicPlan plan = QuickComic::planGroup(groups.front(), int(pictures.size()), random);
    ASSERT_TRUE(QuickComic::fillComic(*comic, plan, pictures));
    EXPECT_EQ(comic->pageCount(), int(plan.pages.size()));
    EXPECT_EQ(comic->pictures().size(), 4u);
}

TEST(QuickComicFolders, AnEmptyOrMissingFolderHasNoPictures)
{
    EXPECT_TRUE(QuickComic::picturesInFolder(TestEnvironment::makeTempFolder(QStringLiteral("none"))).isEmpty());
    EXPECT_TRUE(QuickComic::picturesInFolder(QStringLiteral("/nonexistent/folder")).isEmpty());
}

} // namespace
