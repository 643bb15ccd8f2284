#include "graphics/attitude_geometry.h"

#include <cmath>
#include <limits>

#include "protocol/number_text.h"

namespace Attitude {

std::optional<qint32> toInt32(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    // nearbyint rounds in the default mode, to nearest with halves to even.
    const double r = std::nearbyint(x);
    if (r < double(std::numeric_limits<qint32>::min()) ||
        r > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return static_cast<qint32>(r);
}

double readNumber(const QString& text) {
    return NumberText::leadingNumber(text);
}

std::optional<int> bankAngle(const QString& bankText) {
    const auto bank = toInt32(readNumber(bankText));
    if (!bank) return std::nullopt;
    // C++'s % keeps the sign of the dividend, as the instrument's remainder does.
    return *bank % 360 + 360;
}

std::optional<int> sourceRow(const QString& pitchText) {
    const double pitch = readNumber(pitchText);
    return toInt32(1 - pitch * LadderScale - 2);
}

QPoint surfaceCentre(double SW, double SH) {
    return {toInt32(SW / 2).value_or(0), toInt32(SH / 2).value_or(0)};
}

std::optional<std::array<QPoint, 3>> turnedCorners(int centreX, int centreY, int angleDeg,
                                                   int width, int height) {
    const auto ox = toInt32(-double(width) * 0.5);
    const auto oy = toInt32(-double(height) * 0.5);
    if (!ox || !oy) return std::nullopt;
    const double offsets[3][2] = {{double(*ox), double(*oy)},
                                  {double(*ox) + width, double(*oy)},
                                  {double(*ox), double(*oy) + height}};
    const double a = angleDeg * 3.14159265238 / 180;
    const double s = static_cast<float>(std::sin(a));
    const double c = static_cast<float>(std::cos(a));
    std::array<QPoint, 3> p;
    for (int i = 0; i < 3; ++i) {
        const auto x = toInt32(offsets[i][0] * c - offsets[i][1] * s + centreX);
        const auto y = toInt32(offsets[i][0] * s + offsets[i][1] * c + centreY);
        if (!x || !y) return std::nullopt;
        p[i] = QPoint(*x, *y);
    }
    return p;
}

std::array<SymbolRect, 10> aircraftSymbol(double SW, double SH) {
    const double cy = SH / 2;
    const double barH = SH / 35;   // wing bar height and drop width
    const double dropH = SH / 10;  // how far the inner ends of the wings turn down
    const double dotW = SW / 45;   // half width of the centre dot
    const double dotH = SH / 30;
    const SymbolRect black[5] = {
        {false, 10, cy, SW / 3, cy + barH},                      // left wing bar
        {false, SW / 3 - barH, cy, SW / 3, cy + dropH},          // left wing drop
        {false, 2 * SW / 3, cy, SW - 10, cy + barH},             // right wing bar
        {false, 2 * SW / 3, cy, 2 * SW / 3 + barH, cy + dropH},  // right wing drop
        {false, SW / 2 - dotW, cy, SW / 2 + dotW, cy + dotH},    // centre dot
    };
    // The white borders go down first and the black shapes over all of them, so no border
    // cuts into a neighbouring black shape where the drops meet the bars.
    std::array<SymbolRect, 10> out;
    for (int i = 0; i < 5; ++i) {
        const SymbolRect& b = black[i];
        out[i] = {true, b.x1 - 2, b.y1 - 2, b.x2 + 2, b.y2 + 2};
        out[i + 5] = b;
    }
    return out;
}

QRect filledPixels(const SymbolRect& r) {
    const int x1 = toInt32(r.x1).value_or(0), x2 = toInt32(r.x2).value_or(0);
    const int y1 = toInt32(r.y1).value_or(0), y2 = toInt32(r.y2).value_or(0);
    return QRect(QPoint(qMin(x1, x2), qMin(y1, y2)), QPoint(qMax(x1, x2), qMax(y1, y2)));
}

}  // namespace Attitude
