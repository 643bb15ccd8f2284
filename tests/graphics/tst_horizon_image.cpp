// The horizon image picCol holds: sizes, the horizon rows, the three-shade textures, the
// ladder lines with their lengths and the labels beside the long lines.
#include <QtTest>
#include <set>

#include "graphics/horizon_image.h"

using namespace Attitude;

namespace {
const QRgb White = qRgb(255, 255, 255);
const std::set<QRgb> SkyShades = {qRgb(8, 154, 195), qRgb(9, 169, 204), qRgb(7, 137, 184)};
const std::set<QRgb> GroundShades = {qRgb(129, 87, 32), qRgb(108, 72, 27), qRgb(148, 100, 37)};

// The columns of a row that are white.
QList<int> whiteColumns(const QImage& img, int row) {
    QList<int> cols;
    for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, row) == White) cols << x;
    return cols;
}
QList<int> span(int first, int last) {
    QList<int> cols;
    for (int x = first; x <= last; ++x) cols << x;
    return cols;
}
}  // namespace

class TestHorizonImage : public QObject {
    Q_OBJECT
private slots:
    void sizeAndFormat();
    void horizonRows();
    void texturesMixThreeShades();
    void ladderLines_data();
    void ladderLines();
    void labels_data();
    void labels();
};

void TestHorizonImage::sizeAndFormat() {
    const QImage& img = horizonImage();
    QCOMPARE(img.size(), QSize(200, 1000));
    QCOMPARE(img.format(), QImage::Format_Indexed8);
    QVERIFY(img.colorCount() <= 256);
}

void TestHorizonImage::horizonRows() {
    const QImage& img = horizonImage();
    for (int x = 0; x < 200; ++x) {
        QCOMPARE(img.pixel(x, 500), White);
        const QColor above = img.pixelColor(x, 499), below = img.pixelColor(x, 501);
        QVERIFY(qAbs(above.red() - 160) < 12 && qAbs(above.green() - 214) < 12 &&
                qAbs(above.blue() - 227) < 12);
        QVERIFY(qAbs(below.red() - 224) < 12 && qAbs(below.green() - 197) < 12 &&
                qAbs(below.blue() - 152) < 12);
    }
}

void TestHorizonImage::texturesMixThreeShades() {
    const QImage& img = horizonImage();
    // Outside the ladder band (columns 55..144) the sky and ground are texture alone.
    std::map<QRgb, int> sky, ground;
    for (int y = 0; y < 1000; ++y) {
        if (y >= 499 && y <= 501) continue;
        for (int x = 0; x < 200; ++x) {
            const QRgb c = img.pixel(x, y);
            if (x >= 55 && x <= 144 && c == White) continue;
            if (y < 499) {
                QVERIFY2(SkyShades.count(c), qPrintable(QString("sky at %1,%2").arg(x).arg(y)));
                ++sky[c];
            } else {
                QVERIFY2(GroundShades.count(c),
                         qPrintable(QString("ground at %1,%2").arg(x).arg(y)));
                ++ground[c];
            }
        }
    }
    for (const auto& shades : {sky, ground}) {
        QCOMPARE(shades.size(), size_t(3));
        int total = 0;
        for (const auto& [c, n] : shades) total += n;
        for (const auto& [c, n] : shades) QVERIFY(n > total * 0.30 && n < total * 0.37);
    }
    // A fine texture, not bands: every row and every column holds all three shades.
    for (int y : {0, 250, 498, 502, 750, 999}) {
        std::set<QRgb> seen;
        for (int x = 0; x < 40; ++x) seen.insert(img.pixel(x, y));
        QCOMPARE(seen.size(), size_t(3));
    }
}

void TestHorizonImage::ladderLines_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    // Long lines without labels (50, 70, 80 degrees) show their full span alone.
    for (int row : {363, 311, 285, 637, 689, 715})
        QTest::addRow("long %d", row) << row << 74 << 125;
    for (int row : {487, 459, 431, 403, 513, 541, 569, 597})
        QTest::addRow("5 deg %d", row) << row << 84 << 115;
    for (int row : {494, 480, 466, 452, 438, 424, 410, 396, 506, 520, 534, 548, 562, 576, 590, 604})
        QTest::addRow("2.5 deg %d", row) << row << 92 << 107;
}

void TestHorizonImage::ladderLines() {
    QFETCH(int, row);
    QFETCH(int, first);
    QFETCH(int, last);
    const QImage& img = horizonImage();
    QCOMPARE(whiteColumns(img, row), span(first, last));
    // One pixel high: the rows beside it have nothing in the line's span.
    for (int r : {row - 1, row + 1})
        for (int x = first; x <= last; ++x) QVERIFY(img.pixel(x, r) != White);
}

void TestHorizonImage::labels_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("labelled");
    const int above[9] = {473, 445, 417, 389, 363, 337, 311, 285, 259};
    const int below[9] = {527, 555, 583, 611, 637, 663, 689, 715, 741};
    for (int i = 0; i < 9; ++i) {
        const int deg = 10 * (i + 1);
        const bool labelled = deg != 50 && deg != 70 && deg != 80;
        QTest::addRow("%d up", deg) << above[i] << labelled;
        QTest::addRow("%d down", deg) << below[i] << labelled;
    }
}

void TestHorizonImage::labels() {
    QFETCH(int, row);
    QFETCH(bool, labelled);
    const QImage& img = horizonImage();
    // The long line itself spans 74..125; on its row the labels may add their own pixels.
    for (int x = 74; x <= 125; ++x) QCOMPARE(img.pixel(x, row), White);
    // Labels: 9 rows centred on the line, inside 55..70 and 129..144, on both sides alike.
    int left = 0, right = 0;
    for (int y = row - 6; y <= row + 6; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (img.pixel(x, y) != White || (y == row && x >= 74 && x <= 125)) continue;
            const bool inLeft = x >= 55 && x <= 70, inRight = x >= 129 && x <= 144;
            QVERIFY2(labelled && (inLeft || inRight) && qAbs(y - row) <= 4,
                     qPrintable(QString("stray white at %1,%2").arg(x).arg(y)));
            if (inLeft) ++left;
            if (inRight) ++right;
            if (inLeft) QCOMPARE(img.pixel(x + 74, y), White);  // the right copy
        }
    }
    if (labelled) {
        QVERIFY(left > 20);
        QCOMPARE(left, right);
        // Both digits are there: white in each half of the 16 columns, top and bottom rows.
        bool firstDigit = false, secondDigit = false, top = false, bottom = false;
        for (int y = row - 4; y <= row + 4; ++y)
            for (int x = 55; x <= 70; ++x)
                if (img.pixel(x, y) == White) {
                    (x <= 62 ? firstDigit : secondDigit) = true;
                    top |= y == row - 4;
                    bottom |= y == row + 4;
                }
        QVERIFY(firstDigit && secondDigit && top && bottom);
    } else {
        QCOMPARE(left + right, 0);
    }
}

QTEST_APPLESS_MAIN(TestHorizonImage)
#include "tst_horizon_image.moc"
