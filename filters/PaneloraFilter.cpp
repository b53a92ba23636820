#include "PaneloraFilter.h"

#include "Filters.h"
#include "PAImage.h"
#include "WorkingImage.h"

#include <cmath>
#include <new>

PaneloraFilter::PaneloraFilter(QString name) : m_name(std::move(name)) {}

PaneloraFilter::~PaneloraFilter() = default;

void PaneloraFilter::addFilter(CIFilter* filter) { addFilter(std::unique_ptr<CIFilter>(filter)); }

void PaneloraFilter::addFilter(std::unique_ptr<CIFilter> filter)
{
    if (filter)
        m_steps.push_back(std::move(filter));
}

void PaneloraFilter::runSteps(Quad* image, int width, int height, const FilterReference* reference) const
{
    for (const std::unique_ptr<CIFilter>& step : m_steps)
        step->apply(image, width, height, reference);
}

namespace {

// A colour given in display terms, in linear light (alpha 1).
Quad linearColor(float red, float green, float blue)
{
    return Quad{std::pow(red, 1.8f), std::pow(green, 1.8f), std::pow(blue, 1.8f), 1.0f};
}

std::vector<std::unique_ptr<PaneloraFilter>> buildPresets()
{
    std::vector<std::unique_ptr<PaneloraFilter>> presets;
    auto preset = [&](const char* name) {
        presets.push_back(std::make_unique<PaneloraFilter>(QString::fromUtf8(name)));
        return presets.back().get();
    };
    const Point centre{150.0f, 150.0f};
    PaneloraFilter* p;

    p = preset("Pop Art '05");
    p->addFilter(new CIColorControls(0.1910828f, 0.7396497f, 0.9363058f));
    p->addFilter(new CINoiseReduction(0.1f, 0.0f));
    p->addFilter(new CIColorPosterize(4.0f));
    p->addFilter(new CIGaussianBlur(0.3184713f));
    p->addFilter(new CIColorControls(-0.3057325f, 2.387739f, 0.9490446f));
    p->addFilter(new CICMYKHalftone(-3.141593f, 0.2070064f, 0.3f, 1.0f, 3.0f));

    p = preset("Painted 3");
    p->addFilter(new CIGloom(7.324841f, 1.0f));
    p->addFilter(new CISharpenLuminance(1.942675f));
    p->addFilter(new CIUnsharpMask(0.9904459f, 26.43312f));

    p = preset("Painted 2");
    p->addFilter(new CIGloom(7.324841f, 1.0f));
    p->addFilter(new CINoiseReduction(0.0f, 2.0f));
    p->addFilter(new CISharpenLuminance(1.942675f));
    p->addFilter(new CIUnsharpMask(0.9904459f, 26.43312f));

    p = preset("Painted");
    p->addFilter(new CIGloom(7.324841f, 1.0f));
    p->addFilter(new CINoiseReduction(0.0f, 2.0f));
    p->addFilter(new CISharpenLuminance(2.0f));
    p->addFilter(new CIUnsharpMask(0.1751592f, 34.07644f));

    p = preset("High Contrast B&W 2");
    p->addFilter(new CIColorControls(-0.1910828f, 0.4291401f, 0.0f));
    p->addFilter(new CINoiseReduction(0.0f, 2.0f));
    p->addFilter(new CIColorPosterize(4.0f));
    p->addFilter(new CIGaussianBlur(0.75f));
    p->addFilter(new CIColorControls(1.0f, 3.844745f, 0.0f));

    p = preset("High Contrast B&W");
    p->addFilter(new CIColorControls(0.8535032f, 2.459395f, 0.0f));
    p->addFilter(new CINoiseReduction(0.08630573f, 1.318471f));
    p->addFilter(new CIColorPosterize(3.515924f));
    p->addFilter(new CIColorControls(-1.0f, 4.0f, 0.0f));

    p = preset("High Contrast");
    p->addFilter(new CIColorControls(0.3566879f, 2.578822f, 1.942675f));
    p->addFilter(new CINoiseReduction(0.1f, 2.0f));
    p->addFilter(new CIColorControls(0.6496816f, 2.48328f, 0.0f));
    p->addFilter(new CIGaussianBlur(0.7f));

    p = preset("Hatched Greyscale");
    p->addFilter(new CIColorControls(0.3566879f, 2.578822f, 1.942675f));
    p->addFilter(new CINoiseReduction(0.1f, 2.0f));
    p->addFilter(new CIColorControls(0.6496816f, 2.48328f, 0.0f));
    p->addFilter(new CIGaussianBlur(0.3184713f));
    p->addFilter(new CIHatchedScreen(centre, 1.997424f, 8.585988f, 1.0f));
    p->addFilter(new CIGaussianBlur(0.7f));
    p->addFilter(new CIUnsharpMask(1.0f, 0.9554141f));

    p = preset("Gravure Greyscale");
    p->addFilter(new CIColorControls(0.6242038f, 4.0f, 0.0f));
    p->addFilter(new CINoiseReduction(0.1f, 0.8853503f));
    p->addFilter(new CILineScreen(2.411693f, centre, 1.0f, 4.904459f));
    // A dark brown to a warm cream.
    p->addFilter(new CIFalseColor(linearColor(0.161868f, 0.0992905f, 0.0f), linearColor(1.0f, 0.9f, 0.8f)));

    p = preset("Drawn Monotone");
    p->addFilter(new CIGloom(4.77707f, 1.0f));
    p->addFilter(new CIColorControls(0.1019108f, 1.217357f, 0.0f));
    p->addFilter(new CISharpenLuminance(2.0f));
    p->addFilter(new CIUnsharpMask(1.0f, 76.11465f));
    p->addFilter(new CICMYKHalftone(0.0f, 0.6337579f, 0.1178344f, 0.1242038f, 3.56051f));

    p = preset("Drawn Bright");
    p->addFilter(new CIGloom(4.77707f, 1.0f));
    p->addFilter(new CIColorControls(0.08917201f, 1.169586f, 1.0f));
    p->addFilter(new CISharpenLuminance(2.0f));
    p->addFilter(new CIUnsharpMask(0.8121019f, 91.40128f));
    p->addFilter(new CICMYKHalftone(0.0f, 0.6337579f, 0.1178344f, 0.1242038f, 3.56051f));

    p = preset("Drawn");
    p->addFilter(new CIGloom(7.324841f, 1.0f));
    p->addFilter(new CISharpenLuminance(1.942675f));
    p->addFilter(new CIUnsharpMask(0.9904459f, 26.43312f));
    p->addFilter(new CICMYKHalftone(0.0f, 0.6337579f, 0.1242038f, 0.09872612f, 3.56051f));

    p = preset("Digi-Vision");
    p->addFilter(new CIColorControls(0.6751592f, 2.411624f, 0.0f));
    p->addFilter(new CILineScreenOldVersion(1.570796f, centre, 0.8503185f, 3.375796f));
    p->addFilter(new CIGaussianBlur(0.9554141f));

    p = preset("Comicify!");
    p->addFilter(new CIColorControls(0.4585987f, 2.387739f, 1.191083f));
    p->addFilter(new CINoiseReduction(0.1f, 2.0f));
    p->addFilter(new CIColorPosterize(5.834395f));
    p->addFilter(new CICMYKHalftone(1.328957f, 0.0f, 0.321656f, 1.0f, 3.0f));

    p = preset("Comicify Pastels");
    p->addFilter(new CIColorControls(-0.02547771f, 0.9546178f, 1.0f));
    p->addFilter(new CINoiseReduction(0.09394904f, 2.0f));
    p->addFilter(new CIColorPosterize(5.477707f));
    p->addFilter(new CICMYKHalftone(0.0f, 1.0f, 0.4235669f, 0.843949f, 3.56051f));

    p = preset("Comicify Greyscale");
    p->addFilter(new CIColorControls(0.4840764f, 2.578822f, 1.127388f));
    p->addFilter(new CINoiseReduction(0.1f, 2.0f));
    p->addFilter(new CIColorPosterize(4.585987f));
    p->addFilter(new CIColorControls(0.0f, 0.9785032f, 0.0f));
    p->addFilter(new CIGaussianBlur(0.9554141f));
    p->addFilter(new CICMYKHalftone(0.0f, 1.0f, 0.3535032f, 0.5636942f, 3.56051f));

    p = preset("Comicify Bright");
    p->addFilter(new CIColorControls(0.835032f, 2.33968f, 1.509554f));
    p->addFilter(new CINoiseReduction(0.1f, 2.0f));
    p->addFilter(new CIColorPosterize(2.089172f));
    p->addFilter(new CIColorControls(-0.8662421f, 4.0f, 0.9872612f));

    return presets;
}

// Built on first use and never changed afterwards.
const std::vector<std::unique_ptr<PaneloraFilter>>& registry()
{
    static const std::vector<std::unique_ptr<PaneloraFilter>> presets = buildPresets();
    return presets;
}

} // namespace

QStringList presetNames()
{
    QStringList names;
    for (const std::unique_ptr<PaneloraFilter>& preset : registry())
        names << preset->name();
    return names;
}

const PaneloraFilter* presetNamed(const QString& name)
{
    for (const std::unique_ptr<PaneloraFilter>& preset : registry())
        if (preset->name() == name)
            return preset.get();
    return nullptr;
}

std::unique_ptr<PaneloraFilter> invertChain()
{
    auto chain = std::make_unique<PaneloraFilter>(QStringLiteral("Invert"));
    chain->addFilter(new CIColorInvert);
    return chain;
}

std::unique_ptr<PaneloraFilter> colorizeChain(PackedColor color)
{
    auto chain = std::make_unique<PaneloraFilter>(QStringLiteral("Colorize"));
    const Quad tint{colorRed(color) / 255.0f, colorGreen(color) / 255.0f, colorBlue(color) / 255.0f, 1.0f};
    chain->addFilter(new CIColorMonochrome(tint, colorAlpha(color) / 255.0f));
    return chain;
}

std::unique_ptr<PaneloraFilter> reduceColorChain(float levels)
{
    auto chain = std::make_unique<PaneloraFilter>(QStringLiteral("Reduce Color"));
    chain->addFilter(new CIColorPosterize(levels));
    return chain;
}

void applyPresetSteps(const QString& name, WorkingImage& image, bool invert, bool colorize, PackedColor colorizeColor,
                      const FilterReference& reference)
{
    const int width = image.width();
    const int height = image.height();
    if (const PaneloraFilter* preset = presetNamed(name))
        preset->runSteps(image.pixels(), width, height, &reference);
    if (invert)
        invertChain()->runSteps(image.pixels(), width, height, nullptr);
    if (colorize)
        colorizeChain(colorizeColor)->runSteps(image.pixels(), width, height, nullptr);
}

QImage applyPreset(const QString& name, const QImage& picture, bool invert, bool colorize, PackedColor colorizeColor)
{
    try {
        WorkingImage image;
        if (!workingImageFromPicture(picture, image))
            return QImage();
        const FilterReference reference{picture.width(), picture.height()};
        applyPresetSteps(name, image, invert, colorize, colorizeColor, reference);
        return pictureFromWorkingImage(image);
    } catch (const std::bad_alloc&) {
        return QImage();
    }
}

RefPtr<PAImage> applyPreset(const QString& name, const PAImage& picture, bool invert, bool colorize,
                            PackedColor colorizeColor)
{
    if (!picture.isLoaded())
        return RefPtr<PAImage>();
    QImage result = applyPreset(name, picture.image(), invert, colorize, colorizeColor);
    if (result.isNull())
        return RefPtr<PAImage>();
    if (picture.bitsPerPixel() == 24)
        result = result.convertToFormat(QImage::Format_BGR888);
    return RefPtr<PAImage>(new PAImage(result));
}
