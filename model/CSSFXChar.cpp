#include "CSSFXChar.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"

#include <cmath>

CSSFXChar::CSSFXChar() = default;

CSSFXChar::CSSFXChar(const NSBezierPath& outline) : m_outline(outline)
{
    frameOutline();
}

CSSFXChar::CSSFXChar(const CSSFXChar& other) : CSElement(other), m_outline(other.m_outline) {}

CSElement* CSSFXChar::clone() const
{
    return new CSSFXChar(*this);
}

void CSSFXChar::frameOutline()
{
    storeFrame(m_outline.isEmpty() ? Rect() : m_outline.boundsWithPoints());
}

void CSSFXChar::setOutline(const NSBezierPath& outline)
{
    m_outline = outline;
    frameOutline();
}

bool CSSFXChar::isBlank() const
{
    if (m_outline.isEmpty())
        return true;
    const Rect bounds = m_outline.bounds();
    return bounds.width() == 0.0f && bounds.height() == 0.0f;
}

void CSSFXChar::moveBy(Size delta)
{
    moveByRecording(delta, false);
}

void CSSFXChar::moveByRecording(Size delta, bool)
{
    delta = sanitized(delta);
    if ((delta.width == 0.0f && delta.height == 0.0f) || m_outline.isEmpty())
        return;
    m_outline.transformBy(AffineTransform::translation(delta.width, delta.height));
    frameOutline();
}

void CSSFXChar::writeToArchive(ArchiveWriter& archive) const
{
    CSElement::writeToArchive(archive);
    archive.writeObject(&m_outline);
}

void CSSFXChar::readFromArchive(ArchiveReader& archive)
{
    CSElement::readFromArchive(archive);
    CRefCountObject* object = archive.readObjectOfClass(NSBezierPath::kClassName);
    if (auto* outline = dynamic_cast<NSBezierPath*>(object))
        m_outline = *outline;
    else
        m_outline = NSBezierPath();
    delete object;
    frameOutline();
}
