#pragma once

#include "CRefCountObject.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <random>
#include <vector>

class CSComic;
class CSPage;
class NSDictionary;
struct TemplateGroup;

// Where the quick comic draws its template choices from.
class QuickComicRandom
{
public:
    virtual ~QuickComicRandom() = default;
    // A uniformly chosen number in 0 … bound - 1 (bound at least 1).
    virtual int nextBelow(int bound) = 0;
};

// A generator that gives the same sequence for the same seed on every
// machine: the 32-bit Mersenne Twister, whose output the C++ standard fixes,
// reduced to a range by rejection rather than through a distribution (those
// differ between standard libraries).
class SeededQuickComicRandom : public QuickComicRandom
{
public:
    explicit SeededQuickComicRandom(std::uint32_t seed) : m_engine(seed) {}
    int nextBelow(int bound) override;

private:
    std::mt19937 m_engine;
};

// What builds the comic reports to, and how it learns of a cancel.
class QuickComicProgress
{
public:
    virtual ~QuickComicProgress() = default;
    virtual void setRange(int steps) = 0;
    // Called before each page is built.
    virtual void advance() = 0;
    virtual bool isCancelled() const = 0;
};

// One template the plan may use.
struct QuickComicTemplate
{
    QString name;
    RefPtr<NSDictionary> dictionary;
    int panels = 0;
};

// The pages a quick comic is made of, one template each, or why there are none.
struct QuickComicPlan
{
    std::vector<QuickComicTemplate> pages;
    QString problem;

    bool isValid() const { return problem.isEmpty(); }
    int pictureCapacity() const;
};

// A whole comic from a folder of pictures: a cover, then templates of one
// group chosen at random until every picture has a panel, the pictures put
// into the panels in order.
class QuickComic
{
public:
    // More pictures than this are not taken from one folder.
    static constexpr int kMaxPictures = 10000;

    // The picture files directly in the folder (by extension), sorted by name.
    static QStringList picturesInFolder(const QString& folder);

    // The group's templates that can be read, in name order.
    static std::vector<QuickComicTemplate> readTemplates(const QStringList& paths);

    // Plans pages for pictureCount pictures (at least one page's worth):
    // the cover first (it may be null), then random templates among those
    // with at least one panel until the pictures are planned; when fewer
    // pictures remain than the chosen template has panels, a template with
    // exactly that many panels is used instead when there is one. Refused,
    // with a problem, when more pictures remain and no template has a panel.
    static QuickComicPlan plan(const QuickComicTemplate* cover, const std::vector<QuickComicTemplate>& templates,
                               int pictureCount, QuickComicRandom& random);
    // The same for a group's files: its "Cover" template, else its first
    // template with exactly one panel, as the cover.
    static QuickComicPlan planGroup(const TemplateGroup& group, int pictureCount, QuickComicRandom& random);

    // Builds the planned pages at the comic's content size and appends them.
    // The k-th picture of a page goes into the panel whose order number is
    // k, else into the k-th panel; a picture that cannot be decoded leaves
    // its panel empty. Each picture joins the comic's picture table with its
    // file to be copied as it is, and its decoded pixels are released once it
    // is placed. Returns false when the progress reports a cancel (the pages
    // built so far stay in the comic).
    static bool fillComic(CSComic& comic, const QuickComicPlan& plan, const QStringList& pictures,
                          QuickComicProgress* progress = nullptr);

    // The pictures that were placed into the page, starting at the given one;
    // returns how many of the list it used.
    static int fillPage(CSComic& comic, CSPage& page, const QStringList& pictures, int first);
};
