// Picture elements on screen: a repaint draws the cached filtered picture,
// while a change of the filter style filters the picture again once.

#include "CAGGraphics.h"
#include "CSImageElement.h"
#include "CSStylesheet.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A seeded synthetic photograph: smooth colour ramps under a grid of discs.
RefPtr<PAImage> syntheticPhoto(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgb(x * 255 / width, y * 255 / height, ((x ^ y) * 7) & 0xFF);
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 40; ++i) {
        painter.setBrush(QColor::fromHsv((i * 37) % 360, 200, 220));
        painter.drawEllipse(QPoint((i * 211) % width, (i * 97) % height), width / 12, width / 12);
    }
    painter.end();
    return RefPtr<PAImage>(new PAImage(image));
}

struct Scene
{
    RefPtr<CSStylesheet> sheet{CSStylesheet::newStylesheet()};
    RefPtr<PAImage> photo = syntheticPhoto(1600, 1200);
    CSImageElement image{Rect(20, 20, 400, 300)};
    std::unique_ptr<CAGGraphics> context;

    Scene()
    {
        image.setPicture(photo.get());
        image.setStringAttribute(QStringLiteral("Comicify!"), QStringLiteral("Filter"));
        GraphicsParams params;
        params.width = 440;
        params.height = 340;
        context = CreateGraphicsContext(params);
    }
    void draw()
    {
        PushCurrentContext(context.get());
        image.draw(sheet.get(), false, 1.0f);
        PopCurrentContext();
    }
};

// Repaints of a 400 x 300 picture with a preset: each draws the cached
// filtered picture; the filter runs once, before timing.
void BM_DrawPictureCached(benchmark::State& state)
{
    Scene scene;
    scene.draw();
    const int runs = scene.image.filterRunCount();
    for (auto _ : state)
        scene.draw();
    if (scene.image.filterRunCount() != runs)
        state.SkipWithError("a repaint filtered the picture again");
}
BENCHMARK(BM_DrawPictureCached)->Unit(benchmark::kMillisecond);

// The same picture after each change of its filter style (invert toggled):
// every draw filters once.
void BM_DrawPictureAfterStyleChange(benchmark::State& state)
{
    Scene scene;
    scene.draw();
    bool invert = false;
    for (auto _ : state) {
        invert = !invert;
        scene.image.setBoolAttribute(invert, QStringLiteral("Invert"));
        scene.draw();
    }
    state.counters["filter runs"] = double(scene.image.filterRunCount());
}
BENCHMARK(BM_DrawPictureAfterStyleChange)->Unit(benchmark::kMillisecond);

// A live resize: the frame changes every step while drawing fast, so the
// stale filtered picture is drawn scaled and nothing is filtered.
void BM_DrawPictureDuringLiveResize(benchmark::State& state)
{
    Scene scene;
    scene.image.setMaintainAspectRatio(false);
    scene.draw();
    CSImageElement::setFastDrawing(true);
    float width = 400;
    for (auto _ : state) {
        width = width >= 410 ? 380 : width + 1;
        scene.image.setFrame(Rect(20, 20, width, 300));
        scene.draw();
    }
    CSImageElement::setFastDrawing(false);
    if (scene.image.filterRunCount() != 1)
        state.SkipWithError("a live resize filtered the picture");
}
BENCHMARK(BM_DrawPictureDuringLiveResize)->Unit(benchmark::kMillisecond);

} // namespace
