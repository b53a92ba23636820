#include "CliCommand.h"
#include "PictureFiles.h"

#include "PAImage.h"
#include "PaneloraFilter.h"

#include <QRegularExpression>

namespace {

const QString kNoPreset = QStringLiteral("None");

// "#RRGGBB" (fully tinted) or "#RRGGBBAA" (AA the strength of the tint).
PackedColor parseColor(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^#([0-9A-Fa-f]{6})([0-9A-Fa-f]{2})?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        throw Cli::UsageError{QStringLiteral("\"--colorize\" needs a colour as #RRGGBB or #RRGGBBAA, not \"%1\"").arg(text)};
    const uint rgb = match.captured(1).toUInt(nullptr, 16);
    const uint alpha = match.captured(2).isEmpty() ? 255 : match.captured(2).toUInt(nullptr, 16);
    return PackedColor((alpha << 24) | rgb);
}

int filterPicture(const Cli::Arguments& arguments)
{
    const QString input = arguments.positional[0];
    const QString output = arguments.positional[1];
    if (Cli::pictureFormatForPath(output).isEmpty())
        throw Cli::UsageError{QStringLiteral("cannot write \"%1\": the output must end in one of %2")
                                  .arg(output, Cli::writablePictureExtensions())};
    const QString preset = arguments.value(QStringLiteral("preset"), kNoPreset);
    const bool invert = arguments.has(QStringLiteral("invert"));
    const bool colorize = arguments.has(QStringLiteral("colorize"));
    const PackedColor color = colorize ? parseColor(arguments.value(QStringLiteral("colorize"))) : kOpaqueBlack;
    const int quality = arguments.intValue(QStringLiteral("quality"), 90, 1, 100);
    if (arguments.has(QStringLiteral("quality")) && Cli::pictureFormatForPath(output) != "jpeg")
        Cli::warn(QStringLiteral("--quality applies to JPEG output only; ignored for %1").arg(output));

    if (preset != kNoPreset && !presetNamed(preset))
        throw Cli::DataError{preset, QStringLiteral("no such preset (\"panelora-cli presets\" lists them)")};

    const RefPtr<PAImage> picture = Cli::readPicture(input);
    const RefPtr<PAImage> filtered = applyPreset(preset, *picture, invert, colorize, color);
    if (!filtered)
        throw Cli::DataError{input, QStringLiteral("not enough memory to filter the picture")};
    // The pipeline gives no alpha; the file gets none either.
    Cli::writePicture(filtered->image().convertToFormat(QImage::Format_RGB888), output, quality);
    return Cli::kSuccess;
}

const Cli::CliCommandRegistration registration{Cli::CliCommand{
    QStringLiteral("filter"),
    QStringLiteral("IN OUT [--preset NAME] [--invert] [--colorize #RRGGBB] [--quality 1..100]"),
    QStringLiteral("run a picture through a filter preset"),
    QStringLiteral("Runs the picture IN through a filter preset (then inverts and tints it when asked, as a\n"
                   "picture on a page is) and writes OUT in the format of its extension: .png, .jpg, .tif\n"
                   "or .bmp. The result has no transparency. The preset \"None\" only converts the picture."),
    {
        {QStringLiteral("preset"), QStringLiteral("NAME"), QStringLiteral("the preset to apply (default \"None\")")},
        {QStringLiteral("invert"), QString(), QStringLiteral("invert the colours after the preset")},
        {QStringLiteral("colorize"), QStringLiteral("#RRGGBB"),
         QStringLiteral("tint with a colour after that; #RRGGBBAA sets the tint's strength")},
        {QStringLiteral("quality"), QStringLiteral("1..100"), QStringLiteral("JPEG quality (default 90)")},
    },
    2,
    2,
    filterPicture,
}};

} // namespace
