// Piczitai as the pilot sees it: which image row sits at the centre for a pitch, which way
// the horizon turns for a bank, the aircraft symbol over it, and bad texts that still draw.
// Set TORVIK_SAVE_ATTITUDE_PNG=<dir> to keep pictures of a few attitudes for a look.
#include <QAccessible>
#include <QtTest>
#include <cmath>

#include "graphics/attitude_geometry.h"
#include "graphics/attitude_indicator.h"
#include "graphics/draw_attitude.h"

using namespace Attitude;

namespace {
const QRgb Background = qRgb(255, 0, 255);  // not in the horizon image nor the symbol
const QRgb White = qRgb(255, 255, 255);
const QRgb Black = qRgb(0, 0, 0);

bool isSky(QRgb c) {
    return c == qRgb(8, 154, 195) || c == qRgb(9, 169, 204) || c == qRgb(7, 137, 184);
}
bool isGround(QRgb c) {
    return c == qRgb(129, 87, 32) || c == qRgb(108, 72, 27) || c == qRgb(148, 100, 37) ||
           c == qRgb(224, 197, 152);  // the horizon's lower soft edge counts as ground
}

QImage draw(const QString& bank, const QString& pitch) {
    static const QImage picCol = AttitudeIndicator().picCol();
    QImage surface(SurfaceWidth, SurfaceHeight, QImage::Format_RGB32);
    Attitude::Draw_attitude(surface, picCol, bank, pitch, Background);
    if (const QByteArray dir = qgetenv("TORVIK_SAVE_ATTITUDE_PNG"); !dir.isEmpty())
        surface.scaled(surface.size() * 3)
            .save(QString("%1/attitude_bank%2_pitch%3.png").arg(QString(dir), bank, pitch));
    return surface;
}

// First row from the top of a column that shows ground.
int groundStart(const QImage& img, int x) {
    for (int y = 0; y < img.height(); ++y)
        if (isGround(img.pixel(x, y))) return y;
    return -1;
}

// Column 90 shows image column 112 while the image is unturned: inside every ladder line,
// clear of the labels, and clear of the aircraft symbol at every row.
constexpr int Probe = 90;
}  // namespace

class TestAttitudeIndicator : public QObject {
    Q_OBJECT
private slots:
    void centreRows_data();
    void centreRows();
    void bankTurnsTheHorizon_data();
    void bankTurnsTheHorizon();
    void fullTurnsDrawTheSameImage();
    void imageCoversTheBoxAtEveryBank_data();
    void imageCoversTheBoxAtEveryBank();
    void aircraftSymbolOnTop_data();
    void aircraftSymbolOnTop();
    void badTextsStillDraw();
    void widgetShowsItsSurface();
};

void TestAttitudeIndicator::centreRows_data() {
    QTest::addColumn<QString>("pitch");
    QTest::addColumn<int>("whiteRow");  // the surface row of the line nearest the centre
    // Level: image row 499 at the centre row 58 and the horizon one row below.
    QTest::newRow("level") << "0" << 59;
    // 10 up: row 472 at the centre, the 10-degree line (row 473) one row below.
    QTest::newRow("10 up") << "10" << 59;
    // 90 up: row 256 at the centre, the 90-degree line (row 259) three rows below.
    QTest::newRow("90 up") << "90" << 61;
    // 10 down: row 526 at the centre, the -10 line (row 527) one row below.
    QTest::newRow("10 down") << "-10" << 59;
}

void TestAttitudeIndicator::centreRows() {
    QFETCH(QString, pitch);
    QFETCH(int, whiteRow);
    const QImage img = draw("0", pitch);
    QCOMPARE(img.pixel(Probe, whiteRow), White);
    for (int y = whiteRow - 3; y <= whiteRow + 3; ++y)
        if (y != whiteRow) QVERIFY2(img.pixel(Probe, y) != White, qPrintable(QString::number(y)));
    const bool level = pitch == "0";
    if (level) {
        QVERIFY(!isSky(img.pixel(Probe, 58)));  // the soft sky edge of the horizon
        QVERIFY(isGround(img.pixel(Probe, 60)));
        QVERIFY(isSky(img.pixel(Probe, 57)));
    } else {
        const bool up = !pitch.startsWith('-');
        QCOMPARE(isSky(img.pixel(Probe, 58)), up);
        QCOMPARE(isGround(img.pixel(Probe, 58)), !up);
    }
}

void TestAttitudeIndicator::bankTurnsTheHorizon_data() {
    QTest::addColumn<QString>("bank");
    QTest::addColumn<double>("degrees");  // the signed turn on screen, clockwise positive
    QTest::newRow("roll +30: counter-clockwise") << "-30" << -30.0;
    QTest::newRow("roll -30: clockwise") << "30" << 30.0;
    QTest::newRow("-390 is -30") << "-390" << -30.0;
    QTest::newRow("level") << "0" << 0.0;
}

void TestAttitudeIndicator::bankTurnsTheHorizon() {
    QFETCH(QString, bank);
    QFETCH(double, degrees);
    const QImage img = draw(bank, "0");
    // The turn is about the upper edge of image row 499 at (78, 58); the ground begins two
    // rows further down the turned image (row 501), so its edge crosses a column centre x at
    // 58 + 2 / cos + tan * (x + 0.5 - 78), rising to the right for a counter-clockwise turn.
    const double a = degrees * M_PI / 180;
    for (int x : {2, 5, 62, Probe, 152, 155}) {
        const double edge = 58 + 2 / std::cos(a) + std::tan(a) * (x + 0.5 - 78);
        QVERIFY2(qAbs(groundStart(img, x) - edge) <= 1.0,
                 qPrintable(QString("column %1: ground from %2, edge at %3")
                                .arg(x)
                                .arg(groundStart(img, x))
                                .arg(edge)));
    }
}

void TestAttitudeIndicator::fullTurnsDrawTheSameImage() {
    QCOMPARE(draw("-390", "5"), draw("-30", "5"));
    QCOMPARE(draw("390", "5"), draw("30", "5"));
    QCOMPARE(draw("-29.5", "5"), draw("-30", "5"));
    QCOMPARE(draw("28.5", "5"), draw("28", "5"));
    QVERIFY(draw("28.5", "5") != draw("29", "5"));
}

void TestAttitudeIndicator::imageCoversTheBoxAtEveryBank_data() {
    QTest::addColumn<QString>("bank");
    QTest::addColumn<QString>("pitch");
    for (const char* bank : {"0", "30", "45", "90", "135", "180", "-60", "-100"})
        for (const char* pitch : {"0", "45", "-45", "90"})
            QTest::addRow("bank %s pitch %s", bank, pitch) << bank << pitch;
}

void TestAttitudeIndicator::imageCoversTheBoxAtEveryBank() {
    QFETCH(QString, bank);
    QFETCH(QString, pitch);
    const QImage img = draw(bank, pitch);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            QVERIFY2(img.pixel(x, y) != Background,
                     qPrintable(QString("background at %1,%2").arg(x).arg(y)));
}

void TestAttitudeIndicator::aircraftSymbolOnTop_data() {
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("colour");  // 0 black, 1 white, 2 neither
    QTest::newRow("left bar") << QPoint(20, 60) << 0;
    QTest::newRow("left bar border above") << QPoint(20, 57) << 1;
    QTest::newRow("left bar border below") << QPoint(20, 64) << 1;
    QTest::newRow("left outer border") << QPoint(8, 60) << 1;
    QTest::newRow("outside left") << QPoint(7, 60) << 2;
    QTest::newRow("left drop") << QPoint(50, 70) << 0;
    QTest::newRow("left drop border") << QPoint(50, 72) << 1;
    QTest::newRow("below left drop") << QPoint(50, 73) << 2;
    QTest::newRow("drop over bar border") << QPoint(50, 63) << 0;  // black on top of white
    QTest::newRow("right bar") << QPoint(140, 60) << 0;
    QTest::newRow("right outer border") << QPoint(149, 60) << 1;
    QTest::newRow("right drop") << QPoint(106, 69) << 0;
    QTest::newRow("centre dot") << QPoint(78, 60) << 0;
    QTest::newRow("centre dot border") << QPoint(74, 60) << 1;
    QTest::newRow("between dot and wing") << QPoint(Probe, 62) << 2;
}

void TestAttitudeIndicator::aircraftSymbolOnTop() {
    QFETCH(QPoint, at);
    QFETCH(int, colour);
    // The symbol stays put while the horizon turns under it. At 75 down the nearest ladder
    // lines are 13 rows from the centre, so around the unturned symbol there is only ground.
    for (const char* bank : {"0", "-45", "120"}) {
        const QRgb c = draw(bank, "-75").pixel(at);
        if (colour == 0) QCOMPARE(c, Black);
        if (colour == 1) QCOMPARE(c, White);
        if (colour == 2 && QByteArray(bank) == "0") QVERIFY(isGround(c));
    }
}

void TestAttitudeIndicator::badTextsStillDraw() {
    // An unreadable text reads as 0; a number beyond 32 bits skips its step only.
    QCOMPARE(draw("roll", ""), draw("0", "0"));
    QCOMPARE(draw("1e10", "0"), draw("0", "0"));  // unturned
    // A pitch beyond 32 bits leaves the window at row 0, that is image row 500 at the
    // centre, the same window as a pitch of -0.37; the bank still turns.
    QCOMPARE(draw("30", "1e12"), draw("30", "-0.37"));
    const QImage img = draw("0", "-1e12");
    QCOMPARE(img.pixel(Probe, 58), White);  // the horizon line at the centre row
    QCOMPARE(img.pixel(78, 60), Black);     // the symbol is drawn
}

void TestAttitudeIndicator::widgetShowsItsSurface() {
    AttitudeIndicator w;
    QCOMPARE(w.objectName(), QString("Piczitai"));
    QCOMPARE(w.size(), QSize(157, 117));
    w.Draw_attitude("-30", "10");
    QCOMPARE(w.surface().size(), QSize(157, 117));
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(&w);
    QVERIFY(acc);
    QVERIFY(!acc->text(QAccessible::Name).isEmpty());
    QCOMPARE(acc->text(QAccessible::Value), QString("bank -30, pitch 10"));
    // What the widget paints is the surface, background and all.
    const QImage shown = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown, w.surface());
    w.Draw_attitude("0", "0");
    QCOMPARE(acc->text(QAccessible::Value), QString("bank 0, pitch 0"));
}

QTEST_MAIN(TestAttitudeIndicator)
#include "tst_attitude_indicator.moc"
