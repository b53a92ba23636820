#include "SampleComic.h"

#include "CSBalloonShapes.h"
#include "CSBubble.h"
#include "CSCaptionElement.h"
#include "CSCell.h"
#include "CSComic.h"
#include "CSImageElement.h"
#include "CSPage.h"
#include "CSSFXElement.h"
#include "CSSpeechElement.h"
#include "CSStylesheet.h"
#include "CSTail.h"
#include "PAFont.h"
#include "PAImage.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace SampleComic {

namespace {

constexpr int kPictureWidth = 480;
constexpr int kPictureHeight = 360;

QImage skyline()
{
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kPictureHeight);
    sky.setColorAt(0, QColor(40, 30, 110));
    sky.setColorAt(0.6, QColor(230, 90, 80));
    sky.setColorAt(1, QColor(255, 200, 90));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(255, 230, 150));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(330, 230), 60, 60);
    // Buildings of fixed widths and heights, windows on a grid.
    const int heights[] = {170, 240, 130, 280, 200, 150, 260, 180};
    int x = 0;
    for (int i = 0; i < 8; ++i) {
        const int width = 45 + (i * 17) % 30;
        const QRect building(x, kPictureHeight - heights[i], width, heights[i]);
        painter.setBrush(QColor(25, 20, 40));
        painter.drawRect(building);
        painter.setBrush(QColor(255, 220, 120));
        for (int wy = building.top() + 12; wy < kPictureHeight - 20; wy += 22)
            for (int wx = building.left() + 8; wx < building.right() - 10; wx += 16)
                if ((wx * 7 + wy * 3 + i) % 5 != 0)
                    painter.drawRect(wx, wy, 7, 10);
        x += width + 6;
    }
    return image;
}

QImage robot()
{
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(240, 180, 300);
    glow.setColorAt(0, QColor(120, 200, 230));
    glow.setColorAt(1, QColor(20, 60, 110));
    painter.fillRect(image.rect(), glow);
    painter.setPen(QPen(QColor(30, 30, 40), 6));
    painter.setBrush(QColor(190, 190, 200));
    painter.drawRoundedRect(QRectF(150, 70, 180, 170), 24, 24);
    painter.drawRect(QRectF(200, 240, 80, 40));
    painter.drawRoundedRect(QRectF(110, 280, 260, 120), 30, 30);
    painter.drawLine(QPointF(240, 70), QPointF(240, 30));
    painter.setBrush(QColor(240, 60, 50));
    painter.drawEllipse(QPointF(240, 26), 12, 12);
    painter.setBrush(QColor(255, 240, 90));
    painter.drawEllipse(QPointF(200, 140), 22, 22);
    painter.drawEllipse(QPointF(280, 140), 22, 22);
    painter.setBrush(QColor(40, 40, 50));
    painter.drawRect(QRectF(195, 195, 90, 18));
    return image;
}

QImage waves()
{
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(image.rect(), QColor(250, 235, 200));
    const QColor colours[] = {QColor(20, 90, 160), QColor(40, 130, 190), QColor(80, 170, 210), QColor(150, 210, 230)};
    for (int band = 0; band < 4; ++band) {
        QPainterPath path;
        const double base = 150 + band * 55;
        path.moveTo(0, kPictureHeight);
        for (int x = 0; x <= kPictureWidth; x += 4)
            path.lineTo(x, base + 18 * std::sin(x / 38.0 + band * 1.3));
        path.lineTo(kPictureWidth, kPictureHeight);
        path.closeSubpath();
        painter.fillPath(path, colours[3 - band]);
    }
    painter.setPen(QPen(QColor(60, 40, 30), 5));
    painter.setBrush(QColor(200, 80, 50));
    painter.drawPolygon(QPolygonF({QPointF(170, 180), QPointF(300, 180), QPointF(280, 210), QPointF(190, 210)}));
    painter.drawLine(QPointF(235, 180), QPointF(235, 90));
    painter.setBrush(QColor(255, 255, 255));
    painter.drawPolygon(QPolygonF({QPointF(240, 95), QPointF(240, 170), QPointF(295, 170)}));
    return image;
}

QImage forest()
{
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kPictureHeight);
    sky.setColorAt(0, QColor(170, 220, 250));
    sky.setColorAt(1, QColor(230, 245, 220));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    for (int row = 0; row < 3; ++row) {
        const QColor green(30 + row * 30, 110 + row * 30, 50 + row * 10);
        for (int i = 0; i < 9; ++i) {
            const double cx = i * 58 + (row % 2) * 29;
            const double bottom = 230 + row * 50;
            const double height = 110 + ((i * 37 + row * 11) % 50);
            painter.setBrush(QColor(90, 60, 30));
            painter.drawRect(QRectF(cx - 5, bottom - 10, 10, 24));
            painter.setBrush(green);
            painter.drawPolygon(QPolygonF({QPointF(cx, bottom - height), QPointF(cx - 30, bottom), QPointF(cx + 30, bottom)}));
        }
    }
    return image;
}

struct Generated
{
    const char* name;
    QImage (*draw)();
};

const Generated kGenerated[] = {
    {"skyline.png", skyline},
    {"robot.png", robot},
    {"waves.png", waves},
    {"forest.png", forest},
};

const PAFont* font(int size, bool bold = false, bool italic = false)
{
    return PAFont::fontWithFamily(QStringLiteral("Comic Neue"), size, italic, bold);
}

CAttributedString words(const QString& text, int size = 12, bool bold = false)
{
    return CAttributedString(text, font(size, bold), kOpaqueBlack);
}

// The picture of the folder, taken into the comic's table once.
PAImage* picture(CSComic& comic, const QString& folder, const QString& name)
{
    if (PAImage* known = comic.pictureNamed(name))
        return known;
    RefPtr<PAImage> image(new PAImage);
    if (!PAImage::ok(image->loadFromFile(folder + QLatin1Char('/') + name)))
        return nullptr;
    image->setCacheName(name);
    comic.addPicture(image.get());
    return image.get();
}

CSCell* panel(CSPage& page, const Rect& frame, int frameStyle)
{
    auto* cell = new CSCell(frame);
    cell->setIntAttribute(frameStyle, QStringLiteral("FrameStyle"));
    page.addChild(cell);
    return cell;
}

// A picture filling its panel, clipped by it, run through a preset.
void fill(CSCell& cell, PAImage* image, const QString& preset)
{
    // The picture covers the whole panel, keeping its proportions; the
    // panel's shape cuts off what lies outside.
    const Rect f = cell.frame();
    Size cover = f.size;
    if (image && image->width() > 0 && image->height() > 0) {
        const float ratio = float(image->width()) / float(image->height());
        cover = f.width() / f.height() > ratio ? Size{f.width(), f.width() / ratio} : Size{f.height() * ratio, f.height()};
    }
    auto* element = new CSImageElement(Rect(f.midX() - cover.width / 2, f.midY() - cover.height / 2, cover.width, cover.height));
    element->setPicture(image);
    if (!preset.isEmpty())
        element->setStringAttribute(preset, QStringLiteral("Filter"));
    cell.addChild(element);
    element->setClipSource(&cell);
}

struct BubbleSpec
{
    Rect frame;
    QString text;
};

CSSpeechElement* balloon(CSPage& page, int kind, std::initializer_list<BubbleSpec> bubbles,
                         std::initializer_list<Point> tips)
{
    auto* speech = new CSSpeechElement(Rect(0, 0, 10, 10));
    page.addChild(speech);
    for (const BubbleSpec& part : bubbles) {
        auto* bubble = new CSBubble(part.frame, speech);
        page.addChild(bubble);
        speech->addChild(bubble);
        bubble->setText(words(part.text));
    }
    for (Point tip : tips) {
        auto* tail = new CSTail(tip);
        page.addChild(tail);
        speech->addChild(tail);
    }
    speech->setSpeechType(kind);
    return speech;
}

void caption(CSPage& page, const Rect& frame, const QString& text, int frameStyle = 0)
{
    auto* box = new CSCaptionElement(frame);
    box->setIntAttribute(frameStyle, QStringLiteral("FrameStyle"));
    box->setText(words(text, 11));
    page.addChild(box);
}

CSSFXElement* lettering(CSPage& page, const QString& text, int size, const Rect& frame)
{
    // The word is built at its natural size; centre it in the frame.
    auto* sfx = new CSSFXElement(text, font(size, true));
    const Rect built = sfx->frame();
    sfx->moveBy(Size{frame.midX() - built.midX(), frame.midY() - built.midY()});
    page.addChild(sfx);
    return sfx;
}

QString photoOr(const QString& imagesFolder, const QString& photo, const QString& generated)
{
    return QFile::exists(imagesFolder + QLatin1Char('/') + photo) ? photo : generated;
}

void buildCover(CSComic& comic, CSPage& page, const QString& images)
{
    const Size size = page.pageSize();
    CSCell* splash = panel(page, Rect(15, 15, size.width - 30, size.height - 30), 2);
    fill(*splash, picture(comic, images, photoOr(images, QStringLiteral("astronaut.png"), QStringLiteral("skyline.png"))),
         QStringLiteral("Comicify!"));
    CSSFXElement* title = lettering(page, QStringLiteral("PANELORA!"), 64, Rect(40, 40, size.width - 80, 90));
    title->setFloatAttribute(6, QStringLiteral("FrameWidth"));
    caption(page, Rect(40, size.height - 100, 250, 50),
            QStringLiteral("Issue #1: The night the city learned to draw."), 2);
}

void buildSecondPage(CSComic& comic, CSPage& page, const QString& images)
{
    const Size size = page.pageSize();
    const float half = (size.width - 45) / 2;
    const float third = (size.height - 60) / 3;
    CSCell* a = panel(page, Rect(15, 15, half, third), 0);
    CSCell* b = panel(page, Rect(30 + half, 15, half, third), 1);
    CSCell* c = panel(page, Rect(15, 30 + third, size.width - 30, third), 6);
    CSCell* d = panel(page, Rect(15, 45 + 2 * third, half, third), 3);
    CSCell* e = panel(page, Rect(30 + half, 45 + 2 * third, half, third), 5);
    fill(*a, picture(comic, images, QStringLiteral("skyline.png")), QStringLiteral("Drawn Bright"));
    fill(*b, picture(comic, images, photoOr(images, QStringLiteral("chelsea.png"), QStringLiteral("forest.png"))),
         QStringLiteral("Painted"));
    fill(*c, picture(comic, images, QStringLiteral("waves.png")), QStringLiteral("Pop Art '05"));
    fill(*d, picture(comic, images, QStringLiteral("robot.png")), QStringLiteral("Digi-Vision"));
    fill(*e, picture(comic, images, photoOr(images, QStringLiteral("coffee.png"), QStringLiteral("forest.png"))),
         QStringLiteral("Hatched Greyscale"));

    const Rect ra = a->frame(), rb = b->frame(), rc = c->frame(), rd = d->frame(), re = e->frame();
    caption(page, Rect(ra.x() + 8, ra.y() + 8, 150, 40), QStringLiteral("Downtown, 3 a.m."));
    balloon(page, CSBalloonShapes::Speech, {{Rect(ra.x() + 20, ra.maxY() - 80, 130, 50), QStringLiteral("Did you hear that?")}},
            {Point{ra.x() + 120, ra.maxY() - 8}});
    balloon(page, CSBalloonShapes::Thought, {{Rect(rb.x() + 15, rb.y() + 15, 140, 55), QStringLiteral("Just the wind... I hope.")}},
            {Point{rb.x() + 175, rb.y() + 120}});
    balloon(page, CSBalloonShapes::Whisper, {{Rect(rc.x() + 20, rc.y() + 15, 140, 50), QStringLiteral("psst... over here")}},
            {Point{rc.x() + 190, rc.y() + 95}});
    balloon(page, CSBalloonShapes::Exclamation,
            {{Rect(rc.maxX() - 190, rc.y() + 15, 160, 60), QStringLiteral("LOOK OUT!")},
             {Rect(rc.maxX() - 160, rc.y() + 85, 130, 45), QStringLiteral("It's huge!")}},
            {Point{rc.maxX() - 250, rc.y() + 110}});
    balloon(page, CSBalloonShapes::Robot, {{Rect(rd.x() + 15, rd.y() + 12, 140, 50), QStringLiteral("SCANNING... HUMANS.")}},
            {Point{rd.x() + 110, rd.y() + 110}});
    balloon(page, CSBalloonShapes::Tv, {{Rect(re.x() + 15, re.y() + 12, 140, 50), QStringLiteral("...and now the news.")}},
            {Point{re.x() + 150, re.y() + 110}});
    lettering(page, QStringLiteral("KRAK!"), 40, Rect(rc.midX() - 70, rc.maxY() - 70, 140, 55));
}

void buildThirdPage(CSComic& comic, CSPage& page, const QString& images)
{
    const Size size = page.pageSize();
    CSCell* top = panel(page, Rect(15, 15, size.width - 30, size.height * 0.45f), 4);
    CSCell* slash = panel(page, Rect(15, size.height * 0.45f + 30, size.width - 30, size.height * 0.55f - 45), 0);
    slash->setIrregular(true);
    slash->setPointCount(5);
    const Rect s = slash->frame();
    slash->movePoint(Point{s.x(), s.y() + 30}, 0);
    slash->movePoint(Point{s.maxX(), s.y()}, 1);
    slash->movePoint(Point{s.maxX(), s.maxY() - 40}, 2);
    slash->movePoint(Point{s.midX() + 40, s.maxY()}, 3);
    slash->movePoint(Point{s.x(), s.maxY()}, 4);
    fill(*top, picture(comic, images, QStringLiteral("forest.png")), QStringLiteral("Drawn"));
    fill(*slash, picture(comic, images, QStringLiteral("robot.png")), QStringLiteral("Comicify Bright"));

    const Rect rt = top->frame(), rs = slash->frame();
    balloon(page, CSBalloonShapes::Exclamation2, {{Rect(rt.x() + 20, rt.y() + 20, 150, 55), QStringLiteral("Run for the trees!")}},
            {Point{rt.x() + 140, rt.y() + 130}});
    balloon(page, CSBalloonShapes::Rough, {{Rect(rt.midX() - 30, rt.y() + 25, 140, 55), QStringLiteral("Grrr... where are they?")}},
            {Point{rt.midX() + 70, rt.y() + 135}});
    balloon(page, CSBalloonShapes::Rough2, {{Rect(rt.maxX() - 150, rt.maxY() - 90, 130, 55), QStringLiteral("Shhh, stay still.")}},
            {Point{rt.maxX() - 110, rt.maxY() - 130}});
    balloon(page, CSBalloonShapes::Square, {{Rect(rs.x() + 20, rs.y() + 50, 140, 50), QStringLiteral("Unit 7 reporting.")}},
            {Point{rs.x() + 150, rs.y() + 150}});
    balloon(page, CSBalloonShapes::Buzz, {{Rect(rs.midX() + 10, rs.y() + 30, 140, 50), QStringLiteral("BZZT! Signal lost!")}},
            {Point{rs.midX() + 20, rs.y() + 130}});
    balloon(page, CSBalloonShapes::Space, {{Rect(rs.x() + 30, rs.maxY() - 90, 180, 50), QStringLiteral("(Far above, a ship waits...)")}}, {});
    lettering(page, QStringLiteral("ZAP!"), 48, Rect(rs.maxX() - 170, rs.maxY() - 120, 140, 70));
    caption(page, Rect(rs.maxX() - 190, rs.y() + 12, 170, 36), QStringLiteral("To be continued..."), 3);
}

} // namespace

bool writeGeneratedPictures(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return false;
    for (const Generated& generated : kGenerated) {
        if (!generated.draw().save(folder + QLatin1Char('/') + QString::fromLatin1(generated.name)))
            return false;
    }
    return true;
}

CSComic* build(const QString& imagesFolder, const QString& photosFolder)
{
    if (!photosFolder.isEmpty()) {
        for (const char* photo : {"astronaut.png", "chelsea.png", "coffee.png"}) {
            const QString source = photosFolder + QLatin1Char('/') + QString::fromLatin1(photo);
            const QString target = imagesFolder + QLatin1Char('/') + QString::fromLatin1(photo);
            if (QFile::exists(source) && !QFile::exists(target))
                QFile::copy(source, target);
        }
    }
    auto* comic = new CSComic(Size{612, 792});
    comic->setPageName(QStringLiteral("US Letter"));
    comic->setLeftMargin(18);
    comic->setRightMargin(18);
    comic->setTopMargin(18);
    comic->setBottomMargin(18);
    CSStylesheet* sheet = comic->stylesheet();
    sheet->setBoolForKey(true, QStringLiteral("Page.DrawNumber"));
    sheet->setIntForKey(3, QStringLiteral("Page.NumberJustification"));
    sheet->setBoolForKey(true, QStringLiteral("Page.DrawBackdrop"));
    sheet->setFloatForKey(4, QStringLiteral("Page.NumberInset"));

    for (int i = 0; i < 3; ++i)
        comic->addPage(new CSPage);
    buildCover(*comic, *comic->pageAt(0), imagesFolder);
    buildSecondPage(*comic, *comic->pageAt(1), imagesFolder);
    buildThirdPage(*comic, *comic->pageAt(2), imagesFolder);
    comic->attachPictures();
    return comic;
}

bool writePackage(const QString& folder, const QString& photosFolder)
{
    const QString images = folder + QStringLiteral("/Images");
    if (!writeGeneratedPictures(images))
        return false;
    CSComic* comic = build(images, photosFolder);
    const bool saved = comic->saveToFile(folder + QStringLiteral("/ComicData.pac"));
    CSComic::destroy(comic);
    return saved;
}

} // namespace SampleComic
