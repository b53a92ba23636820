#pragma once

#include "CIFilter.h"

#include "CRefCountObject.h"
#include "PackedColor.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class PAImage;
class WorkingImage;

// A named chain of filters: a comic look a user picks for a picture.
class PaneloraFilter
{
public:
    explicit PaneloraFilter(QString name);
    PaneloraFilter(const PaneloraFilter&) = delete;
    PaneloraFilter& operator=(const PaneloraFilter&) = delete;
    virtual ~PaneloraFilter();

    const QString& name() const { return m_name; }
    // Appends a step; the chain owns it from now on.
    void addFilter(CIFilter* filter);
    void addFilter(std::unique_ptr<CIFilter> filter);
    const std::vector<std::unique_ptr<CIFilter>>& steps() const { return m_steps; }

    // Each step's apply, first to last. Throws std::bad_alloc.
    void runSteps(Quad* image, int width, int height, const FilterReference* reference) const;

private:
    QString m_name;
    std::vector<std::unique_ptr<CIFilter>> m_steps;
};

// The names of the built-in presets, in the order a user is offered them.
QStringList presetNames();
// The built-in preset of exactly that name, or null.
const PaneloraFilter* presetNamed(const QString& name);

// The chains that are never offered as presets: "Invert" (one CIColorInvert),
// "Colorize" (one CIColorMonochrome of the colour's red, green and blue at
// the intensity of its alpha byte) and "Reduce Color" (one CIColorPosterize).
std::unique_ptr<PaneloraFilter> invertChain();
std::unique_ptr<PaneloraFilter> colorizeChain(PackedColor color);
std::unique_ptr<PaneloraFilter> reduceColorChain(float levels);

// Runs picture through the preset of that name (none when unknown: the
// picture then only makes the round trip through the working image), then
// through "Invert" and "Colorize" when asked, and returns the result, which has
// no alpha; the preset's radii are those of the picture's own size. A null
// picture when the input is null or memory runs out.
QImage applyPreset(const QString& name, const QImage& picture, bool invert, bool colorize, PackedColor colorizeColor);

// The same for a picture of the program: a new picture (24 bits when the
// source has 24, else 32 without alpha), or null when the source is unloaded
// or memory runs out.
RefPtr<PAImage> applyPreset(const QString& name, const PAImage& picture, bool invert, bool colorize,
                            PackedColor colorizeColor);

// The same over a working image made by workingImageFromPicture; throws
// std::bad_alloc.
void applyPresetSteps(const QString& name, WorkingImage& image, bool invert, bool colorize, PackedColor colorizeColor,
                      const FilterReference& reference);
