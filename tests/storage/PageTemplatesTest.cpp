// Page templates: scaling between page sizes, template files and their
// atomic save, the groups of the built-in and the user's folders, and every
// shipped template.

#include "CSCell.h"
#include "CSPage.h"
#include "CUndoManager.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PageTemplates.h"
#include "Resources.h"
#include "TemplateLibrary.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {

struct PageDeleter
{
    void operator()(CSPage* page) const { CSElement::destroyTree(page); }
};
using PagePtr = std::unique_ptr<CSPage, PageDeleter>;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A page of 600 x 800 with a regular, a turned and an irregular panel.
PagePtr samplePage()
{
    PagePtr page(new CSPage(Size{600, 800}));
    page->addChild(new CSCell(Rect(20, 40, 260, 300)));
    auto* turned = new CSCell(Rect(320, 40, 260, 300));
    turned->setAngle(10);
    page->addChild(turned);
    auto* irregular = new CSCell(Rect(20, 400, 560, 380));
    irregular->setIrregular(true);
    page->addChild(irregular);
    page->setStyleName(QStringLiteral("Night"));
    return page;
}

TEST(PageTemplateScaling, ATemplateFrom600x800On300x400HalvesEveryCoordinate)
{
    PagePtr page = samplePage();
    RefPtr<NSDictionary> pageTemplate(PageTemplates::templateFromPage(*page));
    PagePtr half(PageTemplates::pageFromTemplate(Size{300, 400}, *pageTemplate));

    const std::vector<CSCell*> before = CSCell::panelsIn(page->children());
    const std::vector<CSCell*> after = CSCell::panelsIn(half->children());
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        const Rect a = before[i]->frame(), b = after[i]->frame();
        EXPECT_NEAR(b.x(), a.x() / 2, 1e-3f) << i;
        EXPECT_NEAR(b.y(), a.y() / 2, 1e-3f) << i;
        EXPECT_NEAR(b.width(), a.width() / 2, 1e-3f) << i;
        EXPECT_NEAR(b.height(), a.height() / 2, 1e-3f) << i;
        EXPECT_EQ(after[i]->isIrregular(), before[i]->isIrregular());
        EXPECT_FLOAT_EQ(after[i]->angle(), before[i]->angle());
    }
    const auto& points = after[2]->storedPoints();
    const auto& original = before[2]->storedPoints();
    for (std::size_t p = 0; p < points.size(); ++p) {
        EXPECT_NEAR(points[p].x, original[p].x / 2, 1e-3f);
        EXPECT_NEAR(points[p].y, original[p].y / 2, 1e-3f);
    }
    EXPECT_EQ(half->styleName(), QStringLiteral("Night"));
}

TEST(PageTemplateScaling, ApplyingAddsAfterThePagesPanelsAndUndoes)
{
    PagePtr source = samplePage();
    RefPtr<NSDictionary> pageTemplate(PageTemplates::templateFromPage(*source));
    CUndoManager undo;
    PagePtr page(new CSPage(Size{300, 400}));
    page->addChild(new CSCell(Rect(1, 1, 10, 10)));
    page->setUndoManager(&undo);

    PageTemplates::applyTemplate(*page, *pageTemplate);
    ASSERT_EQ(page->panels().size(), 4u);
    EXPECT_EQ(page->panels()[0]->frame(), Rect(1, 1, 10, 10));
    EXPECT_NEAR(page->panels()[1]->frame().x(), 10.0f, 1e-3f);
    EXPECT_EQ(page->styleName(), QStringLiteral("Night"));

    while (undo.canUndo())
        undo.undo();
    EXPECT_EQ(page->panels().size(), 1u);
    EXPECT_TRUE(page->styleName().isEmpty());
}

TEST(PageTemplateScaling, PanelCountOnlyCountsDictionaries)
{
    NSDictionary pageTemplate;
    EXPECT_EQ(PageTemplates::panelCount(pageTemplate), 0);
    auto* cells = new NSArray;
    cells->addString(QStringLiteral("not a panel"));
    cells->addObject(NSObject(new NSDictionary));
    pageTemplate.setArrayForKey(cells, QStringLiteral("Cells"));
    EXPECT_EQ(PageTemplates::panelCount(pageTemplate), 1);
    // No "Cells" at all: a page without panels.
    PagePtr page(PageTemplates::pageFromTemplate(Size{100, 100}, NSDictionary()));
    EXPECT_EQ(page->childCount(), 0);
}

class CreatedTally : public NotificationObserver
{
public:
    CreatedTally()
    {
        NotificationCenter::defaultCenter().addObserver(this, &CreatedTally::heard,
                                                        NotificationNames::CSTemplateCreatedNotification);
    }
    void heard(const Notification&) { ++count; }
    int count = 0;
};

TEST(PageTemplateFiles, ASavedTemplateReadsBackAndAnnouncesItself)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("templates"));
    const QString path = folder + QStringLiteral("/Layout.comictpl");
    PagePtr page = samplePage();
    CreatedTally tally;

    ASSERT_TRUE(PageTemplates::savePageAsTemplate(*page, path));
    EXPECT_EQ(tally.count, 1);
    RefPtr<NSDictionary> read(PageTemplates::readTemplate(path));
    ASSERT_TRUE(read);
    RefPtr<NSDictionary> expected(PageTemplates::templateFromPage(*page));
    EXPECT_TRUE(read->isEqual(*expected));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 1) << "no temporary file is left behind";

    // A folder that does not exist: reported, nothing announced.
    EXPECT_FALSE(PageTemplates::savePageAsTemplate(*page, folder + QStringLiteral("/missing/Layout.comictpl")));
    EXPECT_EQ(tally.count, 1);
}

// Files may grow to no more than a few bytes while alive: every write past
// them fails as on a full disk (this works for root too, unlike permissions).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

TEST(PageTemplateFiles, AFailedSaveKeepsTheFileThatWasThere)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("failedsave"));
    const QString path = folder + QStringLiteral("/Layout.comictpl");
    writeFile(path, "the earlier template");
    PagePtr page = samplePage();
    CreatedTally tally;
    {
        const FileSizeLimit full(8);
        EXPECT_FALSE(PageTemplates::savePageAsTemplate(*page, path));
    }
    EXPECT_EQ(readFile(path), QByteArray("the earlier template"));
    EXPECT_EQ(tally.count, 0);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("Layout.comictpl")});
}

TEST(PageTemplateFiles, UnreadableFilesGiveNoTemplate)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("badtemplates"));
    writeFile(folder + QStringLiteral("/junk.comictpl"), "<plist><dict><key>Cells</key>");
    writeFile(folder + QStringLiteral("/deep.comictpl"), QByteArray("<plist>") + QByteArray(100000, '<'));
    EXPECT_FALSE(RefPtr<NSDictionary>(PageTemplates::readTemplate(folder + QStringLiteral("/junk.comictpl"))));
    EXPECT_FALSE(RefPtr<NSDictionary>(PageTemplates::readTemplate(folder + QStringLiteral("/deep.comictpl"))));
    EXPECT_FALSE(RefPtr<NSDictionary>(PageTemplates::readTemplate(folder + QStringLiteral("/none.comictpl"))));
}

// --- Groups ------------------------------------------------------------------

struct Folders
{
    QString builtIn = TestEnvironment::makeTempFolder(QStringLiteral("builtin"));
    QString user = TestEnvironment::makeTempFolder(QStringLiteral("user"));

    void add(const QString& folder, const QString& relative)
    {
        const QString path = folder + u'/' + relative;
        QDir().mkpath(path.section(u'/', 0, -2));
        writeFile(path, "<plist version=\"1.0\"><dict/></plist>");
    }
};

TEST(TemplateGroups, BuiltInFirstThenTheUsersEachSortedByName)
{
    initializeResources();
    Folders folders;
    folders.add(folders.builtIn, QStringLiteral("Zeta/b.comictpl"));
    folders.add(folders.builtIn, QStringLiteral("Alpha/a.comictpl"));
    folders.add(folders.builtIn, QStringLiteral("loose.comictpl"));
    QDir().mkpath(folders.builtIn + QStringLiteral("/Empty"));
    folders.add(folders.user, QStringLiteral("Mine/x.comictpl"));
    folders.add(folders.user, QStringLiteral("Mine/c.comictpl"));
    folders.add(folders.user, QStringLiteral("Mine/notes.txt"));

    const QList<TemplateGroup> groups = TemplateLibrary(folders.builtIn, folders.user).templateGroups();
    QStringList labels;
    QList<bool> builtIn;
    for (const TemplateGroup& group : groups) {
        labels << group.label();
        builtIn << group.builtIn;
    }
    EXPECT_EQ(labels, (QStringList{"Built-in: Misc", "Built-in: Alpha", "Built-in: Zeta", "Misc", "Mine"}));
    EXPECT_EQ(builtIn, (QList<bool>{true, true, true, false, false}));

    QStringList names;
    for (const QString& path : TemplateLibrary::templatesOfGroup(groups[4]))
        names << path.section(u'/', -1);
    EXPECT_EQ(names, (QStringList{"c.comictpl", "x.comictpl"}));
}

TEST(TemplateGroups, AUserFolderNamedLikeABuiltInLabelStaysTheUsers)
{
    Folders folders;
    const QString lookalike = QStringLiteral("Built-in: Action");
    folders.add(folders.user, lookalike + QStringLiteral("/a.comictpl"));
    const QList<TemplateGroup> groups = TemplateLibrary(folders.builtIn, folders.user).templateGroups();
    const TemplateGroup* group = TemplateLibrary::groupLabelled(groups, lookalike);
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->builtIn);
    EXPECT_EQ(group->label(), lookalike);
    EXPECT_EQ(TemplateLibrary::groupLabelled(groups, QStringLiteral("Nothing")), nullptr);
}

// --- What ships ----------------------------------------------------------------

TEST(ShippedTemplates, EveryTemplateLoadsAndEveryGroupHasAOnePanelCover)
{
    const TemplateLibrary library(TemplateLibrary::builtInTemplateFolder(), QString());
    const QList<TemplateGroup> groups = library.templateGroups();
    ASSERT_GE(groups.size(), 5);
    int templates = 0;
    for (const TemplateGroup& group : groups) {
        SCOPED_TRACE(group.name.toStdString());
        EXPECT_TRUE(group.builtIn);
        const QString cover = TemplateLibrary::coverOfGroup(group);
        ASSERT_FALSE(cover.isEmpty());
        RefPtr<NSDictionary> coverTemplate(PageTemplates::readTemplate(cover));
        ASSERT_TRUE(coverTemplate);
        EXPECT_EQ(PageTemplates::panelCount(*coverTemplate), 1);
        for (const QString& path : TemplateLibrary::templatesOfGroup(group)) {
            SCOPED_TRACE(path.toStdString());
            RefPtr<NSDictionary> pageTemplate(PageTemplates::readTemplate(path));
            ASSERT_TRUE(pageTemplate);
            const int panels = PageTemplates::panelCount(*pageTemplate);
            EXPECT_GE(panels, 1);
            PagePtr page(PageTemplates::pageFromTemplate(Size{500, 700}, *pageTemplate));
            ASSERT_EQ(int(page->panels().size()), panels);
            for (CSCell* panel : CSCell::panelsIn(page->children())) {
                const Rect bounds = panel->rotatedBounds();
                EXPECT_GT(bounds.width(), 20.0f);
                EXPECT_GT(bounds.height(), 20.0f);
                EXPECT_GE(bounds.minX(), -1.0f);
                EXPECT_GE(bounds.minY(), -1.0f);
                EXPECT_LE(bounds.maxX(), 501.0f);
                EXPECT_LE(bounds.maxY(), 701.0f);
            }
            // Every panel has its own reading order 1 ... n.
            for (int tag = 1; tag <= panels; ++tag)
                EXPECT_NE(page->panelWithTag(tag), nullptr) << tag;
            ++templates;
        }
    }
    EXPECT_GE(templates, 40);
}

} // namespace
