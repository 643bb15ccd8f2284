#include "graphics/horizon_image.h"

#include <array>

#include "graphics/attitude_geometry.h"

namespace Attitude {
namespace {

constexpr int HorizonRow = 500;

// Long lines every 10 degrees, measured from the horizon row; the rows are the instrument's
// own (not exactly 27 apart: the ladder was laid out by hand in whole pixels).
constexpr std::array<int, 9> LongAbove = {473, 445, 417, 389, 363, 337, 311, 285, 259};
constexpr std::array<int, 9> LongBelow = {527, 555, 583, 611, 637, 663, 689, 715, 741};
// 5-degree lines (32 px) and 2.5/7.5-degree lines (16 px) up to 40 degrees each way.
constexpr std::array<int, 8> FiveDegree = {487, 459, 431, 403, 513, 541, 569, 597};
constexpr std::array<int, 16> QuarterStep = {494, 480, 466, 452, 438, 424, 410, 396,
                                             506, 520, 534, 548, 562, 576, 590, 604};

constexpr int LongLeft = 74, LongWidth = 52;
constexpr int FiveLeft = 84, FiveWidth = 32;
constexpr int QuarterLeft = 92, QuarterWidth = 16;
constexpr int LabelLeft = 55, LabelRight = 129;  // each label is 16 columns: two digits
constexpr int GlyphW = 7, GlyphH = 9, GlyphGap = 2;

// Bold 7 x 9 digits, legible on the small instrument once turned.
struct Glyph {
    char digit;
    const char* rows[GlyphH];
};
// clang-format off
constexpr Glyph Glyphs[] = {
    {'0', {".#####.",
           "##...##",
           "##...##",
           "##...##",
           "##...##",
           "##...##",
           "##...##",
           "##...##",
           ".#####."}},
    {'1', {"...##..",
           "..###..",
           ".####..",
           "...##..",
           "...##..",
           "...##..",
           "...##..",
           "...##..",
           ".######"}},
    {'2', {".#####.",
           "##...##",
           ".....##",
           "....##.",
           "...##..",
           "..##...",
           ".##....",
           "##.....",
           "#######"}},
    {'3', {".#####.",
           "##...##",
           ".....##",
           ".....##",
           "..####.",
           ".....##",
           ".....##",
           "##...##",
           ".#####."}},
    {'4', {"....##.",
           "...###.",
           "..####.",
           ".##.##.",
           "##..##.",
           "#######",
           "....##.",
           "....##.",
           "....##."}},
    {'6', {"..####.",
           ".##....",
           "##.....",
           "######.",
           "##...##",
           "##...##",
           "##...##",
           "##...##",
           ".#####."}},
    {'9', {".#####.",
           "##...##",
           "##...##",
           "##...##",
           ".######",
           ".....##",
           ".....##",
           "....##.",
           ".####.."}},
};
// clang-format on

const Glyph* glyph(char d) {
    for (const Glyph& g : Glyphs)
        if (g.digit == d) return &g;
    return nullptr;
}

// A per-pixel hash, so the three shades mix without a visible pattern and the image is the
// same on every run.
uchar shade(int x, int y) {
    quint32 h = quint32(x) * 73856093u ^ quint32(y) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return uchar(h % 3);
}

void hline(QImage& img, int row, int left, int width) {
    uchar* line = img.scanLine(row);
    for (int x = left; x < left + width; ++x) line[x] = LadderWhite;
}

void label(QImage& img, int centreRow, const char* text) {
    for (int left : {LabelLeft, LabelRight}) {
        for (int k = 0; k < 2; ++k) {
            const Glyph* g = glyph(text[k]);
            const int gx = left + k * (GlyphW + GlyphGap);
            for (int gy = 0; gy < GlyphH; ++gy) {
                uchar* line = img.scanLine(centreRow - GlyphH / 2 + gy);
                for (int i = 0; i < GlyphW; ++i)
                    if (g->rows[gy][i] == '#') line[gx + i] = LadderWhite;
            }
        }
    }
}

QImage build() {
    QImage img(ImageWidth, ImageHeight, QImage::Format_Indexed8);
    img.setColorTable({qRgb(8, 154, 195), qRgb(9, 169, 204), qRgb(7, 137, 184), qRgb(129, 87, 32),
                       qRgb(108, 72, 27), qRgb(148, 100, 37), qRgb(255, 255, 255),
                       qRgb(160, 214, 227), qRgb(224, 197, 152)});
    for (int y = 0; y < ImageHeight; ++y) {
        uchar* line = img.scanLine(y);
        const uchar base = y < HorizonRow ? SkyA : GroundA;
        for (int x = 0; x < ImageWidth; ++x) line[x] = uchar(base + shade(x, y));
    }
    for (int x = 0; x < ImageWidth; ++x) {
        img.scanLine(HorizonRow - 1)[x] = HorizonSkyEdge;
        img.scanLine(HorizonRow)[x] = LadderWhite;
        img.scanLine(HorizonRow + 1)[x] = HorizonGroundEdge;
    }
    static const char* const texts[9] = {"10", "20",    "30",    "40", nullptr,
                                         "60", nullptr, nullptr, "90"};
    for (int i = 0; i < 9; ++i) {
        for (int row : {LongAbove[i], LongBelow[i]}) {
            hline(img, row, LongLeft, LongWidth);
            if (texts[i]) label(img, row, texts[i]);
        }
    }
    for (int row : FiveDegree) hline(img, row, FiveLeft, FiveWidth);
    for (int row : QuarterStep) hline(img, row, QuarterLeft, QuarterWidth);
    return img;
}

}  // namespace

const QImage& horizonImage() {
    static const QImage image = build();
    return image;
}

}  // namespace Attitude
