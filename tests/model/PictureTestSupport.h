#pragma once

// Small synthetic pictures for the picture element's tests, drawn by code.

#include "CSImageElement.h"
#include "PAImage.h"

#include <QImage>
#include <QPainter>

// Four coloured quadrants (red, green, blue, yellow from the top left,
// clockwise) with a dark diagonal bar from the top left corner, so that
// flips, turns and crops show.
inline QImage quadrantPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    const int halfWidth = width / 2, halfHeight = height / 2;
    QPainter painter(&image);
    painter.fillRect(0, 0, halfWidth, halfHeight, QColor(220, 40, 40));
    painter.fillRect(halfWidth, 0, width - halfWidth, halfHeight, QColor(40, 180, 60));
    painter.fillRect(halfWidth, halfHeight, width - halfWidth, height - halfHeight, QColor(40, 70, 210));
    painter.fillRect(0, halfHeight, halfWidth, height - halfHeight, QColor(240, 210, 40));
    painter.setPen(QPen(QColor(20, 20, 20), std::max(2, width / 12)));
    painter.drawLine(0, 0, halfWidth, halfHeight);
    painter.end();
    return image;
}

// A picture held in memory (no file): it is never unloaded.
inline RefPtr<PAImage> memoryPicture(int width, int height)
{
    return RefPtr<PAImage>(new PAImage(quadrantPicture(width, height)));
}

