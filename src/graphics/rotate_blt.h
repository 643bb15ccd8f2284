#pragma once
// The instrument's block transfer: a source rectangle turned about its centre onto a
// destination surface, as a parallelogram transfer of three corner points.
#include <QImage>
#include <QPoint>
#include <QTransform>
#include <array>

namespace Attitude {

// The affine map that takes the source rectangle (srcX, srcY, width, height) to the
// parallelogram whose upper-left, upper-right and lower-left corners are p[0], p[1], p[2]
// (pixel edges, so an unturned copy is an exact shift). Identity for an empty rectangle.
[[nodiscard]] QTransform parallelogramMap(int srcX, int srcY, int width, int height,
                                          const std::array<QPoint, 3>& p);

// Copies the rectangle (srcX, srcY, width, height) of source so that its centre lands on
// (centreX, centreY) of dest and it is turned clockwise on screen by angleDeg degrees.
// Pixels are taken nearest-neighbour, clipped to dest; the part of the rectangle outside the
// source image copies nothing. A missing surface or an impossible geometry copies nothing.
void Rotate_blt(QImage* dest, int centreX, int centreY, int angleDeg, const QImage* source,
                int srcX, int srcY, int width, int height);

}  // namespace Attitude
