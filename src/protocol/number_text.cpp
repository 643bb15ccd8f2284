#include "protocol/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace NumberText {
namespace {

// The decimal digits a double carries reliably.
constexpr int DoubleDigits = 15;
constexpr int SingleDigits = 7;

QString special(double value) {
    if (std::isnan(value)) return QStringLiteral("nan");
    return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
}

QString general(double value, int digits) {
    if (!std::isfinite(value)) return special(value);
    if (value == 0) return QStringLiteral("0");  // also -0
    // QString::number ignores the locale; 'G' gives upper-case exponents of two or more
    // digits and drops trailing zeros.
    return QString::number(value, 'G', digits);
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Reads the digits of base 8 or 16 after "&H" / "&O" / "&". Widths follow the desktop
// runtime: 16-bit up to 0xFFFF, 32-bit up to 0xFFFFFFFF.
double readRadix(QStringView t, qsizetype i, int base) {
    quint64 value = 0;
    bool any = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (isBlank(c)) continue;
        int d;
        if (isDigit(c))
            d = c.unicode() - u'0';
        else if (base == 16 && c.toUpper() >= u'A' && c.toUpper() <= u'F')
            d = c.toUpper().unicode() - u'A' + 10;
        else
            break;
        if (d >= base) break;
        value = value * base + d;
        any = true;
        if (value > 0xFFFFFFFFull) return 0;
    }
    if (!any) return 0;
    if (value <= 0xFFFF) return static_cast<qint16>(static_cast<quint16>(value));
    return static_cast<qint32>(static_cast<quint32>(value));
}

// The decimal number at the start of t as plain ASCII ("-12.5E+3"), blanks left out; end
// receives the index after the last character taken. Empty when no digit was found.
std::string scanDecimal(QStringView t, bool skipInnerBlanks, qsizetype* end) {
    std::string s;
    qsizetype i = 0;
    auto skip = [&] {
        while (skipInnerBlanks && i < t.size() && isBlank(t[i])) ++i;
    };
    skip();
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        if (t[i] == u'-') s += '-';
        ++i;
        skip();
    }
    bool digits = false;
    while (i < t.size() && isDigit(t[i])) {
        s += char(t[i].unicode());
        digits = true;
        ++i;
        skip();
    }
    if (i < t.size() && t[i] == u'.') {
        qsizetype j = i + 1;
        std::string frac;
        auto skipFrom = [&](qsizetype& k) {
            while (skipInnerBlanks && k < t.size() && isBlank(t[k])) ++k;
        };
        skipFrom(j);
        while (j < t.size() && isDigit(t[j])) {
            frac += char(t[j].unicode());
            ++j;
            skipFrom(j);
        }
        if (digits || !frac.empty()) {
            s += '.';
            s += frac;
            digits = true;
            i = j;
        }
    }
    if (!digits) {
        *end = 0;
        return {};
    }
    // An exponent counts only with at least one digit; "1e" and "1e+" are the number 1.
    if (i < t.size() && (t[i].toUpper() == u'E' || t[i].toUpper() == u'D')) {
        qsizetype j = i + 1;
        std::string exp = "E";
        auto skipFrom = [&](qsizetype& k) {
            while (skipInnerBlanks && k < t.size() && isBlank(t[k])) ++k;
        };
        skipFrom(j);
        if (j < t.size() && (t[j] == u'+' || t[j] == u'-')) {
            exp += char(t[j].unicode());
            ++j;
            skipFrom(j);
        }
        bool expDigits = false;
        while (j < t.size() && isDigit(t[j])) {
            exp += char(t[j].unicode());
            expDigits = true;
            ++j;
            skipFrom(j);
        }
        if (expDigits) {
            s += exp;
            i = j;
        }
    }
    *end = i;
    return s;
}

// false when the number is beyond the range of a double.
bool toDouble(const std::string& s, double* out) {
    // from_chars takes no leading '+' and no '.' without digits before it in every library;
    // "-.5" and ".5" are handed over as "-0.5" and "0.5".
    std::string n = s;
    const size_t at = n.starts_with('-') ? 1 : 0;
    if (n.size() > at && n[at] == '.') n.insert(at, 1, '0');
    double v = 0;
    const auto r = std::from_chars(n.data(), n.data() + n.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too small for a double is 0; too large is not a number we can hold.
        const auto e = n.find('E');
        if (e != std::string::npos && n[e + 1] == '-') {
            *out = 0;
            return true;
        }
        return false;
    }
    if (r.ec != std::errc()) return false;
    *out = v;
    return true;
}

}  // namespace

QString fixed(double value, int decimals) {
    if (!std::isfinite(value)) return special(value);
    decimals = qBound(0, decimals, 20);
    // The 15 significant digits of the value: d.dddddddddddddd E e.
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                 std::chars_format::scientific, DoubleDigits - 1);
    const std::string sci(buf, r.ptr);
    std::string digits;
    for (char c : sci.substr(0, sci.find('e')))
        if (c != '.') digits += c;
    const int exponent = std::stoi(sci.substr(sci.find('e') + 1));

    // Digit i has the place value 10^(exponent - i); keep those down to 10^-decimals. The
    // kept digits, read as an integer, are the value times 10^decimals.
    const int kept = exponent + decimals + 1;
    std::string units;
    if (value == 0 || kept < 0) {
        units = "0";
    } else if (kept == 0) {
        units = digits[0] >= '5' ? "1" : "0";
    } else if (kept >= DoubleDigits) {
        units = digits + std::string(kept - DoubleDigits, '0');
    } else {
        units = digits.substr(0, kept);
        if (digits[kept] >= '5') {
            int i = kept - 1;
            for (; i >= 0 && units[i] == '9'; --i) units[i] = '0';
            if (i >= 0)
                ++units[i];
            else
                units.insert(units.begin(), '1');
        }
    }
    if (units.size() < size_t(decimals) + 1) units.insert(0, decimals + 1 - units.size(), '0');

    const bool zero = units.find_first_not_of('0') == std::string::npos;
    QString text;
    text.reserve(int(units.size()) + 2);
    if (value < 0 && !zero) text += u'-';
    text += QLatin1String(units.data(), qsizetype(units.size() - decimals));
    if (decimals > 0) {
        text += u'.';
        text += QLatin1String(units.data() + units.size() - decimals, decimals);
    }
    return text;
}

QString plainNumber(double value) {
    return general(value, DoubleDigits);
}

QString plainNumberSingle(float value) {
    return general(double(value), SingleDigits);
}

double leadingNumber(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i < text.size() && text[i] == u'&') {
        ++i;
        while (i < text.size() && isBlank(text[i])) ++i;
        if (i < text.size() && text[i].toUpper() == u'H') return readRadix(text, i + 1, 16);
        if (i < text.size() && text[i].toUpper() == u'O') return readRadix(text, i + 1, 8);
        return readRadix(text, i, 8);
    }
    qsizetype end = 0;
    const std::string s = scanDecimal(text, true, &end);
    double v = 0;
    if (s.empty() || !toDouble(s, &v)) return 0;
    return v;
}

bool isNumeric(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    const QStringView rest = text.mid(i);
    qsizetype end = 0;
    const std::string s = scanDecimal(rest, false, &end);
    if (s.empty()) return false;
    for (qsizetype j = end; j < rest.size(); ++j)
        if (!isBlank(rest[j])) return false;
    double v;
    return toDouble(s, &v);
}

}  // namespace NumberText
