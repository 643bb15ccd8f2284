#pragma once
// The number texts every window shows and the reading of numbers the user types or a log
// holds. The decimal separator is always the full stop, whatever the desktop's regional
// settings: the texts end up in CSV logs and frames that other machines read back.
#include <QString>
#include <QStringView>

namespace NumberText {

// Fixed decimals ("0.0", "0.00", "0.000"): at least one digit before the point, exactly
// `decimals` after it. The value is rounded half away from zero on its decimal form (its 15
// significant digits), so 0.15 gives "0.2" and 2.675 gives "2.68", as a user reading the
// number expects, although neither is exact in binary.
// A negative value that rounds to zero shows no sign: -0.04 gives "0.0", not "-0.0" (a
// label reading "-0.0" looks like a fault on a module lying still).
// Not-a-number and infinities give "nan", "inf" and "-inf".
[[nodiscard]] QString fixed(double value, int decimals);
[[nodiscard]] inline QString oneDecimal(double value) {
    return fixed(value, 1);
}
[[nodiscard]] inline QString twoDecimals(double value) {
    return fixed(value, 2);
}
[[nodiscard]] inline QString threeDecimals(double value) {
    return fixed(value, 3);
}

// The shortest decimal form ("plain number", also called general text): no digit grouping,
// no trailing zeros, no point for whole numbers (101320, -57, 32.8, 0.25). A double keeps 15
// significant digits; a value needing more integer digits, or smaller than 0.0001, is written
// with an exponent of at least two digits: 1E+15, 1.5E-05. Zero is "0", also for -0.
[[nodiscard]] QString plainNumber(double value);
// The same for a single-precision value: 7 significant digits, so 32.8f gives 32.8 and
// 12345678.0f gives 1.234568E+07.
[[nodiscard]] QString plainNumberSingle(float value);

// The value of the leading number of a text, 0 when the text does not start with one.
// Blanks (space, tab, line feed) are skipped wherever they stand, then: an optional sign,
// digits, an optional full stop and fraction digits, an optional exponent (E or D, either
// case, optional sign, digits); reading stops at the first other character, so "8192abc"
// gives 8192 and "1.2.3" gives 1.2.
// "&H" and "&O" (or a bare "&") read a hexadecimal or octal integer; up to 0xFFFF it is a
// 16-bit integer and up to 0xFFFFFFFF a 32-bit one, so "&HFFFF" gives -1 like the desktop
// runtime the users know. A hexadecimal or octal number beyond 32 bits, or a decimal number
// beyond the range of a double, gives 0: no number this program could hold was typed.
[[nodiscard]] double leadingNumber(QStringView text);

// The numeric test of the settings dialogs: an optionally signed decimal number ("16384",
// "-2.5", ".5", "5.", "1e3", "1.5D-2") with blanks around it allowed, nothing else. Empty
// text, "12a", thousands separators, currency signs and numbers beyond the range of a double
// are refused.
[[nodiscard]] bool isNumeric(QStringView text);

}  // namespace NumberText
