#include "graphics/rotate_blt.h"

#include <QPainter>

#include "graphics/attitude_geometry.h"

namespace Attitude {

QTransform parallelogramMap(int srcX, int srcY, int width, int height,
                            const std::array<QPoint, 3>& p) {
    if (width <= 0 || height <= 0) return {};
    // Columns of the map: how one source pixel step along x and along y moves on the
    // destination; the translation puts the rectangle's upper-left corner on p[0].
    const double m11 = double(p[1].x() - p[0].x()) / width;
    const double m12 = double(p[1].y() - p[0].y()) / width;
    const double m21 = double(p[2].x() - p[0].x()) / height;
    const double m22 = double(p[2].y() - p[0].y()) / height;
    const double dx = p[0].x() - m11 * srcX - m21 * srcY;
    const double dy = p[0].y() - m12 * srcX - m22 * srcY;
    return QTransform(m11, m12, m21, m22, dx, dy);
}

void Rotate_blt(QImage* dest, int centreX, int centreY, int angleDeg, const QImage* source,
                int srcX, int srcY, int width, int height) {
    if (!dest || dest->isNull() || !source || source->isNull()) return;
    if (width <= 0 || height <= 0) return;
    const auto corners = turnedCorners(centreX, centreY, angleDeg, width, height);
    if (!corners) return;
    // Only the part of the rectangle that lies on the image has pixels to copy; computed in
    // 64 bits because srcY may be any 32-bit row.
    const qint64 left = qMax<qint64>(srcX, 0);
    const qint64 top = qMax<qint64>(srcY, 0);
    const qint64 right = qMin<qint64>(qint64(srcX) + width, source->width());
    const qint64 bottom = qMin<qint64>(qint64(srcY) + height, source->height());
    if (left >= right || top >= bottom) return;
    const QRect part(int(left), int(top), int(right - left), int(bottom - top));

    QPainter painter(dest);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setTransform(parallelogramMap(srcX, srcY, width, height, *corners));
    painter.drawImage(part.topLeft(), *source, part);
}

}  // namespace Attitude
