#include "QuickComic.h"

#include "CSCell.h"
#include "CSComic.h"
#include "CSImageElement.h"
#include "CSPage.h"
#include "NSDictionary.h"
#include "PAImage.h"
#include "PageTemplates.h"
#include "TemplateLibrary.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

int SeededQuickComicRandom::nextBelow(int bound)
{
    if (bound <= 1)
        return 0;
    // The largest multiple of bound the engine reaches; draws above it would
    // favour the low numbers.
    const std::uint64_t range = std::uint64_t(std::numeric_limits<std::uint32_t>::max()) + 1;
    const std::uint64_t limit = range - range % std::uint64_t(bound);
    std::uint64_t value = m_engine();
    while (value >= limit)
        value = m_engine();
    return int(value % std::uint64_t(bound));
}

int QuickComicPlan::pictureCapacity() const
{
    int total = 0;
    for (const QuickComicTemplate& page : pages)
        total += page.panels;
    return total;
}

QStringList QuickComic::picturesInFolder(const QString& folder)
{
    QStringList pictures;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& file : files) {
        if (PAImage::isSupportedPictureFile(file.fileName()))
            pictures << file.absoluteFilePath();
        if (pictures.size() >= kMaxPictures)
            break;
    }
    return pictures;
}

std::vector<QuickComicTemplate> QuickComic::readTemplates(const QStringList& paths)
{
    std::vector<QuickComicTemplate> templates;
    for (const QString& path : paths) {
        RefPtr<NSDictionary> dictionary(PageTemplates::readTemplate(path));
        if (dictionary)
            templates.push_back({QFileInfo(path).completeBaseName(), dictionary, PageTemplates::panelCount(*dictionary)});
    }
    return templates;
}

namespace {

const QuickComicTemplate* templateWithPanels(const std::vector<QuickComicTemplate>& templates, int panels)
{
    for (const QuickComicTemplate& candidate : templates) {
        if (candidate.panels == panels)
            return &candidate;
    }
    return nullptr;
}

} // namespace

QuickComicPlan QuickComic::plan(const QuickComicTemplate* cover, const std::vector<QuickComicTemplate>& templates,
                                int pictureCount, QuickComicRandom& random)
{
    QuickComicPlan result;
    const int wanted = std::clamp(pictureCount, 1, kMaxPictures);
    int planned = 0;
    if (cover) {
        result.pages.push_back(*cover);
        planned += cover->panels;
    }
    // Templates without panels would never plan a picture: the loop would not end.
    std::vector<QuickComicTemplate> usable;
    std::copy_if(templates.begin(), templates.end(), std::back_inserter(usable),
                 [](const QuickComicTemplate& t) { return t.panels > 0; });
    if (planned < wanted && usable.empty()) {
        result.pages.clear();
        result.problem = templates.empty() && !cover ? QStringLiteral("the template group holds no templates")
                                                     : QStringLiteral("no template of the group has a panel");
        return result;
    }
    while (planned < wanted) {
        const QuickComicTemplate* chosen = &usable[std::size_t(random.nextBelow(int(usable.size())))];
        const int remaining = wanted - planned;
        if (remaining < chosen->panels) {
            if (const QuickComicTemplate* exact = templateWithPanels(usable, remaining))
                chosen = exact;
        }
        result.pages.push_back(*chosen);
        planned += chosen->panels;
    }
    return result;
}

QuickComicPlan QuickComic::planGroup(const TemplateGroup& group, int pictureCount, QuickComicRandom& random)
{
    const std::vector<QuickComicTemplate> templates = readTemplates(TemplateLibrary::templatesOfGroup(group));
    std::vector<QuickComicTemplate> cover = readTemplates(QStringList{TemplateLibrary::coverOfGroup(group)});
    const QuickComicTemplate* chosenCover = !cover.empty() ? &cover.front() : templateWithPanels(templates, 1);
    return plan(chosenCover, templates, pictureCount, random);
}

namespace {

// The panel the k-th picture (from 1) of a page goes into: the one with
// order number k, else the k-th in list order; a panel that holds a picture
// already is passed over for the next empty one, so that two panels of the
// same number cannot take two pictures into one.
CSCell* panelForPicture(const CSPage& page, const std::vector<CSCell*>& panels, const std::vector<bool>& filled,
                        int k)
{
    auto indexOf = [&panels](const CSCell* panel) {
        return int(std::find(panels.begin(), panels.end(), panel) - panels.begin());
    };
    if (CSCell* tagged = page.panelWithTag(k); tagged && !filled[std::size_t(indexOf(tagged))])
        return tagged;
    if (k - 1 < int(panels.size()) && !filled[std::size_t(k - 1)])
        return panels[std::size_t(k - 1)];
    for (std::size_t index = 0; index < panels.size(); ++index) {
        if (!filled[index])
            return panels[index];
    }
    return nullptr;
}

void placePicture(CSComic& comic, CSCell& panel, const QString& path)
{
    RefPtr<PAImage> picture(new PAImage(path, true));
    if (!PAImage::ok(picture->reload()) || !picture->isLoaded())
        return;
    auto* element = new CSImageElement(panel.rotatedBounds());
    panel.addChild(element);
    element->setClipSource(&panel);
    // Takes the picture's shape over the panel's bounds and releases its
    // decoded pixels; it is decoded again when drawn.
    element->setPicture(picture.get());
    picture->unload();
    comic.addPicture(picture.get());
}

} // namespace

int QuickComic::fillPage(CSComic& comic, CSPage& page, const QStringList& pictures, int first)
{
    const std::vector<CSCell*> panels = CSCell::panelsIn(page.children());
    const int count = std::min(int(panels.size()), int(pictures.size()) - first);
    std::vector<bool> filled(panels.size(), false);
    for (int k = 1; k <= count; ++k) {
        CSCell* panel = panelForPicture(page, panels, filled, k);
        if (!panel)
            break;
        filled[std::size_t(std::find(panels.begin(), panels.end(), panel) - panels.begin())] = true;
        placePicture(comic, *panel, pictures[first + k - 1]);
    }
    return std::max(count, 0);
}

bool QuickComic::fillComic(CSComic& comic, const QuickComicPlan& plan, const QStringList& pictures,
                           QuickComicProgress* progress)
{
    if (progress)
        progress->setRange(int(plan.pages.size()));
    int next = 0;
    for (const QuickComicTemplate& planned : plan.pages) {
        if (progress) {
            progress->advance();
            if (progress->isCancelled())
                return false;
        }
        CSPage* page = PageTemplates::pageFromTemplate(comic.contentSize(), *planned.dictionary);
        next += fillPage(comic, *page, pictures, next);
        comic.addPage(page);
    }
    return true;
}
