#pragma once
// The arithmetic of the attitude indicator, apart from any painting: which angle the horizon
// image is turned by, which 1000-row window of it is shown, where the three corners of the
// turned image land, and the ten rectangles of the aircraft symbol. Every step that cannot be
// computed (a number beyond 32 bits) reports "no value" so the caller skips just that step.
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

namespace Attitude {

// The drawing surface of Piczitai: 2355 x 1755 twips at 15 twips per pixel.
constexpr int SurfaceWidth = 157;
constexpr int SurfaceHeight = 117;

// The horizon image held by picCol.
constexpr int ImageWidth = 200;
constexpr int ImageHeight = 1000;

// Pixels of image per degree of pitch: the ladder's spacing.
constexpr double LadderScale = 2.7;

// The converter of the instrument's arithmetic: nearest integer, halves to the even
// neighbour (so 28.5 is 28 and -29.5 is -30); nothing for NaN, infinities and values
// outside the 32-bit range.
[[nodiscard]] std::optional<qint32> toInt32(double x);

// A number text read by its leading numeric part, as everywhere in the program: "12.5abc"
// is 12.5, "abc" and "" are 0.
[[nodiscard]] double readNumber(const QString& text);

// The angle that Rotate_blt turns the image by: (int(bank) mod 360) + 360, the remainder
// taking the sign of the bank, so the result lies in 1..719 (-30 gives 330, 30 gives 390).
// Nothing when the bank text's number does not fit 32 bits.
[[nodiscard]] std::optional<int> bankAngle(const QString& bankText);

// The first image row of the window that Rotate_blt copies: int(1 - pitch * 2.7 - 2). Row
// srcY + 500 lands at the centre, so at pitch 0 the centre shows row 499 and the horizon
// (row 500) lies one pixel below it. Nothing when the result does not fit 32 bits.
[[nodiscard]] std::optional<int> sourceRow(const QString& pitchText);

// The centre of the surface: int(SW / 2), int(SH / 2).
[[nodiscard]] QPoint surfaceCentre(double SW, double SH);

// Where the upper-left, upper-right and lower-left corners of a width x height rectangle
// land when it is turned by angleDeg about (centreX, centreY). The angle goes through the
// instrument's own factor 3.14159265238 / 180 and single-precision sine and cosine, and every
// coordinate is rounded half to even, so the corners match the device-independent figures
// the instrument was laid out with. Nothing when a corner is beyond 32 bits.
[[nodiscard]] std::optional<std::array<QPoint, 3>> turnedCorners(int centreX, int centreY,
                                                                 int angleDeg, int width,
                                                                 int height);

// One filled rectangle of the aircraft symbol, by two opposite corners in real pixels.
struct SymbolRect {
    bool white;  // the five white borders come first, then the five black shapes
    double x1, y1, x2, y2;
};

// The ten rectangles in drawing order: borders of left bar, left drop, right bar, right drop,
// centre dot, then the same five shapes in black, each 2 pixels smaller on every side.
[[nodiscard]] std::array<SymbolRect, 10> aircraftSymbol(double SW, double SH);

// The pixels a rectangle given by real corners fills: both corners rounded half to even,
// both edges included, as a box drawn from corner to corner is.
[[nodiscard]] QRect filledPixels(const SymbolRect& r);

}  // namespace Attitude
