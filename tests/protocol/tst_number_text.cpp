// Number texts and number reading: fixed decimals with decimal rounding, the shortest form
// for doubles and singles, the leading-number reading of typed and logged text, and the
// numeric test of the settings dialogs. Locale independence is checked once for all.
#include <QLocale>
#include <QTest>
#include <limits>

#include "protocol/number_text.h"

using namespace NumberText;

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void fixedDecimals_data();
    void fixedDecimals();
    void plainDouble_data();
    void plainDouble();
    void plainSingle_data();
    void plainSingle();
    void leading_data();
    void leading();
    void numeric_data();
    void numeric();
    void fullStopWhateverTheLocale();
};

void TestNumberText::fixedDecimals_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("tenth") << 12.34 << 1 << "12.3";
    QTest::newRow("negative") << -0.5 << 1 << "-0.5";
    QTest::newRow("zero") << 0.0 << 1 << "0.0";
    QTest::newRow("whole gets its decimal") << 101320.0 << 1 << "101320.0";
    QTest::newRow("temperature 251/10") << 251 / 10.0 << 1 << "25.1";
    // Binary 0.15 is 0.1499999...; the user reads 0.15 and expects 0.2.
    QTest::newRow("half up on the decimal form") << 0.15 << 1 << "0.2";
    QTest::newRow("half up, exact half") << 0.25 << 1 << "0.3";
    QTest::newRow("half away from zero") << -0.25 << 1 << "-0.3";
    QTest::newRow("2.675 to two") << 2.675 << 2 << "2.68";
    QTest::newRow("1.0005 to three") << 1.0005 << 3 << "1.001";
    QTest::newRow("below half") << 0.049 << 1 << "0.0";
    QTest::newRow("half at the first digit") << 0.05 << 1 << "0.1";
    QTest::newRow("far below the point") << 0.0004 << 1 << "0.0";
    QTest::newRow("carry into a new digit") << 99.95 << 1 << "100.0";
    QTest::newRow("carry 9.96") << 9.96 << 1 << "10.0";
    QTest::newRow("negative rounding to zero has no sign") << -0.04 << 1 << "0.0";
    QTest::newRow("minus zero") << -0.0 << 1 << "0.0";
    QTest::newRow("three decimals of a g") << 16384 / 16384.0 << 3 << "1.000";
    QTest::newRow("three decimals rounded") << 123.456789 << 3 << "123.457";
    QTest::newRow("dps") << -250 / 32.8 << 3 << "-7.622";
    QTest::newRow("two decimals") << 3.14159 << 2 << "3.14";
    QTest::newRow("huge") << 1e20 << 1 << "100000000000000000000.0";
    QTest::newRow("infinity") << inf << 1 << "inf";
    QTest::newRow("minus infinity") << -inf << 3 << "-inf";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 1 << "nan";
}

void TestNumberText::fixedDecimals() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(fixed(value, decimals), text);
}

void TestNumberText::plainDouble_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("pressure") << 101320.0 << "101320";
    QTest::newRow("negative whole") << -57.0 << "-57";
    QTest::newRow("resolution") << 32.8 << "32.8";
    QTest::newRow("no trailing zeros") << 16384.0 << "16384";
    QTest::newRow("0.1 + 0.2 shows as 0.3") << 0.1 + 0.2 << "0.3";
    QTest::newRow("one third, 15 digits") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("15 integer digits") << 123456789012345.0 << "123456789012345";
    QTest::newRow("16 integer digits") << 1e15 << "1E+15";
    QTest::newRow("exponent with fraction") << 1.5e16 << "1.5E+16";
    QTest::newRow("small fraction") << 0.0001 << "0.0001";
    QTest::newRow("smaller fraction") << 0.00001 << "1E-05";
    QTest::newRow("leading zero") << 0.5 << "0.5";
    QTest::newRow("negative fraction") << -12.5 << "-12.5";
    QTest::newRow("minus zero") << -0.0 << "0";
}

void TestNumberText::plainDouble() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(plainNumber(value), text);
}

void TestNumberText::plainSingle_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("resolution") << 32.8f << "32.8";
    QTest::newRow("tenth") << 0.1f << "0.1";
    QTest::newRow("seven digits") << 1234567.0f << "1234567";
    QTest::newRow("eight digits") << 12345678.0f << "1.234568E+07";
    QTest::newRow("one third") << 1.0f / 3 << "0.3333333";
    QTest::newRow("negative") << -25.5f << "-25.5";
}

void TestNumberText::plainSingle() {
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(plainNumberSingle(value), text);
}

void TestNumberText::leading_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("trailing letters") << "8192abc" << 8192.0;
    QTest::newRow("blanks around") << " 16384 " << 16384.0;
    QTest::newRow("tab and line feed") << "\t7\n" << 7.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("only blanks") << "   " << 0.0;
    QTest::newRow("fraction") << "32.8" << 32.8;
    QTest::newRow("negative") << "-12.5" << -12.5;
    QTest::newRow("plus") << "+3" << 3.0;
    QTest::newRow("double sign") << "--5" << 0.0;
    QTest::newRow("blanks inside are skipped") << "1 2 3" << 123.0;
    QTest::newRow("blank after the sign") << "- 5" << -5.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("minus point first") << "-.5" << -0.5;
    QTest::newRow("point last") << "5." << 5.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("comma stops") << "1,5" << 1.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("D exponent") << "1D3" << 1000.0;
    QTest::newRow("negative exponent") << "2.5E-1" << 0.25;
    QTest::newRow("exponent without digits") << "1e" << 1.0;
    QTest::newRow("exponent sign without digits") << "1e+x" << 1.0;
    QTest::newRow("hex") << "&H1F" << 31.0;
    QTest::newRow("hex lower case") << "&hff" << 255.0;
    QTest::newRow("hex is 16-bit") << "&HFFFF" << -1.0;
    QTest::newRow("hex above 16 bits") << "&H10000" << 65536.0;
    QTest::newRow("hex is 32-bit") << "&HFFFFFFFF" << -1.0;
    QTest::newRow("hex beyond 32 bits") << "&H100000000" << 0.0;
    QTest::newRow("hex stops at a non-digit") << "&H1G" << 1.0;
    QTest::newRow("hex without digits") << "&H" << 0.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("bare ampersand is octal") << "&17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O78" << 7.0;
    QTest::newRow("beyond a double") << "1e400" << 0.0;
    QTest::newRow("below a double") << "1e-400" << 0.0;
    QTest::newRow("many digits") << "000000000000000000000000012" << 12.0;
}

void TestNumberText::leading() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(leadingNumber(text), value);
}

void TestNumberText::numeric_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("whole") << "16384" << true;
    QTest::newRow("blanks around") << " 16384 " << true;
    QTest::newRow("tabs around") << "\t65.5\t" << true;
    QTest::newRow("zero") << "0" << true;
    QTest::newRow("negative") << "-2.5" << true;
    QTest::newRow("plus") << "+1" << true;
    QTest::newRow("point first") << ".5" << true;
    QTest::newRow("point last") << "5." << true;
    QTest::newRow("exponent") << "1e3" << true;
    QTest::newRow("D exponent, signed") << "1.5D-2" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks") << "   " << false;
    QTest::newRow("trailing letter") << "12a" << false;
    QTest::newRow("thousands separator") << "1,000" << false;
    QTest::newRow("currency") << "$5" << false;
    QTest::newRow("blank inside") << "1 2" << false;
    QTest::newRow("blank after sign") << "- 5" << false;
    QTest::newRow("exponent without digits") << "1e" << false;
    QTest::newRow("point alone") << "." << false;
    QTest::newRow("sign alone") << "-" << false;
    QTest::newRow("hex") << "&H10" << false;
    QTest::newRow("beyond a double") << "1e400" << false;
}

void TestNumberText::numeric() {
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(isNumeric(text), numeric);
}

void TestNumberText::fullStopWhateverTheLocale() {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString texts = fixed(-0.5, 1) + u' ' + plainNumber(32.8) + u' ' +
                          plainNumberSingle(1.5f) + u' ' + plainNumber(1.5e16);
    const double read = leadingNumber(u"32.8");
    const bool numeric = isNumeric(u"2.5");
    QLocale::setDefault(before);
    QCOMPARE(texts, QStringLiteral("-0.5 32.8 1.5 1.5E+16"));
    QCOMPARE(read, 32.8);
    QVERIFY(numeric);
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
