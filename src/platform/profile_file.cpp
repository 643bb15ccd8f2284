#include "platform/profile_file.h"

#include <QFile>
#include <QSaveFile>
#include <vector>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

qsizetype skipBlanks(const QByteArray& s, qsizetype from, qsizetype to) {
    while (from < to && isBlank(s[from])) ++from;
    return from;
}

qsizetype trimEnd(const QByteArray& s, qsizetype from, qsizetype to) {
    while (to > from && isBlank(s[to - 1])) --to;
    return to;
}

// One line of the file as it lies on disk, and what the profile reader makes of it.
struct Line {
    enum Kind { Other, Section, Key };
    qsizetype begin = 0;  // first byte of the line
    qsizetype end = 0;    // one past its last byte before the line break
    qsizetype next = 0;   // start of the following line (after the line break)
    Kind kind = Other;
    QString name;                            // section name or key
    qsizetype valueBegin = 0, valueEnd = 0;  // trimmed value (Key lines with '=')
    qsizetype afterEquals = -1;              // where the value text starts in place
};

std::vector<Line> parse(const QByteArray& text) {
    std::vector<Line> lines;
    qsizetype pos = text.startsWith("\xEF\xBB\xBF") ? 3 : 0;  // UTF-8 mark of some editors
    while (pos < text.size()) {
        Line line;
        line.begin = pos;
        qsizetype nl = text.indexOf('\n', pos);
        line.end = nl < 0 ? text.size() : nl;
        line.next = nl < 0 ? text.size() : nl + 1;
        if (line.end > line.begin && text[line.end - 1] == '\r') --line.end;
        const qsizetype b = skipBlanks(text, line.begin, line.end);
        const qsizetype e = trimEnd(text, b, line.end);
        if (b < e && text[b] == '[') {
            const qsizetype close = text.lastIndexOf(']', e - 1);
            if (close > b) {
                line.kind = Line::Section;
                const qsizetype nb = skipBlanks(text, b + 1, close);
                line.name = QString::fromUtf8(text.mid(nb, trimEnd(text, nb, close) - nb));
            }
        }
        if (line.kind == Line::Other && b < e && text[b] != ';' && text[b] != '[') {
            line.kind = Line::Key;
            const qsizetype eq = text.indexOf('=', b);
            if (eq >= 0 && eq < e) {
                line.name = QString::fromUtf8(text.mid(b, trimEnd(text, b, eq) - b));
                line.afterEquals = eq + 1;
                line.valueBegin = skipBlanks(text, eq + 1, e);
                line.valueEnd = e;
            } else {
                line.name = QString::fromUtf8(text.mid(b, e - b));
            }
            if (line.name.isEmpty()) line.kind = Line::Other;
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Lines [first, last) of the first section of that name (the header excluded); first = -1
// when there is none. Like the desktop reader, later sections of the same name are not read.
std::pair<qsizetype, qsizetype> findSection(const std::vector<Line>& lines, const QString& name) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Line::Section || !sameName(lines[i].name, name)) continue;
        size_t j = i + 1;
        while (j < lines.size() && lines[j].kind != Line::Section) ++j;
        return {qsizetype(i + 1), qsizetype(j)};
    }
    return {-1, -1};
}

qsizetype findKey(const std::vector<Line>& lines, std::pair<qsizetype, qsizetype> range,
                  const QString& key) {
    for (qsizetype i = range.first; i >= 0 && i < range.second; ++i)
        if (lines[i].kind == Line::Key && sameName(lines[i].name, key)) return i;
    return -1;
}

QByteArray lineBreakOf(const QByteArray& text) {
    const qsizetype nl = text.indexOf('\n');
    return nl > 0 && text[nl - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

QByteArray oneLine(const QString& s) {
    QString t = s;
    t.replace(u'\r', u' ').replace(u'\n', u' ');
    return t.toUtf8();
}

}  // namespace

namespace ProfileFile {

QString readValue(const QByteArray& content, const QString& section, const QString& key) {
    const std::vector<Line> lines = parse(content);
    const qsizetype at = findKey(lines, findSection(lines, section), key);
    if (at < 0 || lines[at].afterEquals < 0) return {};
    QByteArray value = content.mid(lines[at].valueBegin, lines[at].valueEnd - lines[at].valueBegin);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return QString::fromUtf8(value).left(MaxValueLength);
}

QByteArray writeValue(const QByteArray& content, const QString& section, const QString& key,
                      const QString& value) {
    const std::vector<Line> lines = parse(content);
    const QByteArray eol = lineBreakOf(content);
    const QByteArray keyLine = oneLine(key) + '=' + oneLine(value);
    const auto range = findSection(lines, section);
    const qsizetype at = findKey(lines, range, key);
    QByteArray out;
    if (at >= 0) {
        const Line& line = lines[at];
        if (line.afterEquals >= 0) {
            // The spelling of the key and the blanks around '=' stay as the user wrote them.
            const qsizetype keep = skipBlanks(content, line.afterEquals, line.end);
            out = content.left(keep) + oneLine(value) + content.mid(line.end);
        } else {
            const qsizetype e = trimEnd(content, line.begin, line.end);
            out = content.left(e) + '=' + oneLine(value) + content.mid(line.end);
        }
        return out;
    }
    if (range.first >= 0) {
        // After the section's last non-blank line, so a blank line before the next section
        // stays where it is.
        qsizetype last = range.first - 1;
        for (qsizetype i = range.first; i < range.second; ++i)
            if (skipBlanks(content, lines[i].begin, lines[i].end) < lines[i].end) last = i;
        const Line& after = lines[last];
        out = content.left(after.next);
        if (!out.endsWith('\n')) out += eol;  // the last line of the file had no line break
        out += keyLine + eol + content.mid(after.next);
        return out;
    }
    out = content;
    if (!out.isEmpty() && !out.endsWith('\n')) out += eol;
    out += '[' + oneLine(section) + ']' + eol + keyLine + eol;
    return out;
}

}  // namespace ProfileFile

QString Read_ini(const QString& section, const QString& key, const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return ProfileFile::readValue(f.readAll(), section, key);
}

void Write_ini(const QString& section, const QString& key, const QString& value,
               const QString& file) {
    QByteArray content;
    {
        QFile f(file);
        if (f.open(QIODevice::ReadOnly)) content = f.readAll();
    }
    QSaveFile out(file);
    // A directory where no temporary file can be made still lets the file itself be written.
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly)) return;
    out.write(ProfileFile::writeValue(content, section, key, value));
    out.commit();
}
