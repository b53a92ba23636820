#pragma once

#include "AffineTransform.h"
#include "CShadow.h"
#include "Geometry.h"
#include "GraphicsPen.h"
#include "LinearGradientBrush.h"
#include "PackedColor.h"
#include "SolidBrush.h"

#include <QImage>

class CAGGraphicsPath;
class PAImage;
class QPainter;
class QRect;
class QRectF;

// The drawing context every page, thumbnail, preview, export and print is
// drawn through: a state machine with a current transform (CTM), one clip
// path, an optional drop shadow, and operations that fill and stroke paths
// and rectangles and draw pictures.
//
// User space is the page's space, y down; device space is the surface's pixel
// grid, origin at the top-left pixel. The CTM maps user to device space.
// Surfaces hold premultiplied BGRA pixels (QImage::Format_ARGB32_Premultiplied
// on this little-endian machine).
//
// Model code never receives a context as an argument: it draws into
// CurrentContext(). A drawing goes:
//   1. CreateGraphicsContext (CAGGraphics.h), PushCurrentContext.
//   2. ResetTransform, optionally FillRectangle with the background.
//   3. ScaleTransform by the zoom, TranslateTransform by the view offset in
//      device units (both act in device space).
//   4. Each element: Save, MultiplyTransform(its own transform), clips and
//      shadows, drawing, Restore.
//   5. DrawToPainter onto the target, or take image().
//   6. PopCurrentContext.
class CGraphicsInterface
{
public:
    virtual ~CGraphicsInterface();

    // Surface size in pixels and the device scale of the creation record
    // (1 except for thumbnails); shadow offsets and blurs scale with it.
    virtual float GetWidth() const = 0;
    virtual float GetHeight() const = 0;
    virtual Size GetDeviceScale() const = 0;

    // Sets every byte of the main surface to the creation clear value (its
    // low byte), and the shadow and mask surfaces to 0.
    virtual void Clear() = 0;

    // --- Output ---------------------------------------------------------
    // The main surface as a QImage sharing its pixels (no copy): valid while
    // the context lives. A QPainter on it draws straight into the surface,
    // which is how text is painted over a page.
    virtual QImage image() = 0;
    // A deep copy of a rectangle of the main surface (the whole surface by default).
    virtual QImage copyImage(const QRect* source = nullptr) const = 0;
    // Copies pixels into the painter without blending (composition mode
    // Source). source defaults to the whole surface, destination to the
    // source's own position and size; different sizes are scaled smoothly.
    virtual void DrawToPainter(QPainter& painter, const QRectF* destination = nullptr,
                               const QRect* source = nullptr) = 0;

    // --- State ----------------------------------------------------------
    // Save pushes the CTM, a copy of the clip, the shadow and the flags;
    // Restore pops the latest (the token is not used) and renders the saved
    // clip again. A Restore without Save changes nothing.
    virtual int Save() = 0;
    virtual void Restore(int token = 0) = 0;

    virtual void ResetTransform() = 0;
    // The CTM rounded to floats.
    virtual AffineTransform GetTransform() const = 0;
    // These three append: they act in device space, after the CTM.
    virtual void RotateTransform(float degrees) = 0;
    virtual void ScaleTransform(float sx, float sy) = 0;
    virtual void TranslateTransform(float dx, float dy) = 0;
    // Prepends: the matrix acts in user space, before the CTM.
    virtual void MultiplyTransform(const AffineTransform& matrix) = 0;
    virtual Point TransformPoint(Point p) const = 0;

    // Kept in the state; the rasteriser always anti-aliases and picks its
    // picture filter from the transform.
    virtual void SetInterpolationMode(int mode) = 0;
    // Mode 1 clears the smoothing flag, mode 4 sets it.
    virtual void SetSmoothingMode(int mode) = 0;
    virtual void SetPixelOffsetMode(int mode) = 0;     // ignored
    virtual void SetCompositingQuality(int quality) = 0;  // ignored

    // --- Drawing --------------------------------------------------------
    // Fills the rectangle; its shadow is clipped, but the fill itself ignores
    // the clip (backgrounds are painted this way inside clipped panels).
    virtual void FillRectangle(PackedColor color, const Rect& rect) = 0;
    virtual void FillRectangleGradient(const LinearGradientBrush& brush, const Rect& rect) = 0;
    // Strokes the points in pairs, each pair a separate segment.
    virtual void DrawLineSegments(const GraphicsPen& pen, const Point* points, int count) = 0;
    // Strokes the open polyline through the points (two points make one segment).
    virtual void DrawLines(const GraphicsPen& pen, const Point* points, int count) = 0;
    // Round joins, butt caps; width 0 is a 1.8-pixel hairline.
    virtual void DrawPath(const GraphicsPen& pen, const CAGGraphicsPath& path) = 0;
    // Non-zero winding rule.
    virtual void FillPath(const SolidBrush& brush, const CAGGraphicsPath& path) = 0;
    // Draws the whole picture into the rectangle. Axis-aligned unit scale at
    // whole pixels copies exactly; reductions use Lanczos (radius 2),
    // enlargements bicubic. Pictures of a depth other than 24 or 32 bits are not drawn.
    virtual void DrawImage(const PAImage& picture, const Rect& rect) = 0;
    // Gradient fill across the path's bounds at the brush's angle; casts no shadow.
    virtual void FillPathGradient(const LinearGradientBrush& brush, const CAGGraphicsPath& path) = 0;

    // Copies the shadow into the state and switches shadows on until the
    // matching Restore. Callers normally use CShadow::applyShadow.
    virtual void SetShadow(const CShadow& shadow) = 0;
    // Replaces the clip (clips are never intersected); null removes it.
    virtual void SetClip(const CAGGraphicsPath* path) = 0;
};

// The process-wide stack of current contexts. It owns nothing; whoever starts
// a drawing pushes before and pops after. CurrentContext is null when empty.
void PushCurrentContext(CGraphicsInterface* context);
CGraphicsInterface* PopCurrentContext();
CGraphicsInterface* CurrentContext();

// True while a page is rendered for printing: shadow blurs run at half
// resolution and picture elements leave the interpolation mode alone.
bool IsPrinting();
void SetPrinting(bool printing);
