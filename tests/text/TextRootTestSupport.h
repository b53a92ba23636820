#pragma once

#include "CAGGraphics.h"
#include "CAttributedString.h"
#include "PATextRootWindow.h"

#include <QImage>
#include <QRect>

#include <memory>

// A drawing context pushed as the current context for the lifetime of the
// canvas, its transform scaled by the zoom.
class Canvas
{
public:
    Canvas(int width, int height, float zoom = 1.0f, int clearValue = 255);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    CAGGraphics& context() { return *m_context; }
    QImage image() const { return m_context->copyImage(); }

private:
    std::unique_ptr<CAGGraphics> m_context;
};

// Draws text the way a caption does: the frame and rotation are handed to
// the text host before the box's rotation is applied to the context; the box
// outline is stroked in light blue (when outlined) and the text drawn at the
// box's top-left with the box's size as layout size.
void drawTextBox(PATextRootWindow& root, const CAttributedString& text, const Rect& box, float angle = 0,
                 bool outlined = true);

// The pixels of the picture that differ from the background by more than
// the threshold in some channel (alpha included); an empty rectangle when
// none does.
QRect inkBounds(const QImage& image, QRgb background = 0xFFFFFFFFu, int threshold = 40);

// Fonts the tests use. Verdana is substituted by DejaVu Sans on this machine.
const PAFont* verdana(int size, std::uint32_t style = 0);
