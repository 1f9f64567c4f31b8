#include "IniText.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QStringList>

namespace kivora {

namespace {

// What QSettings skips before a line: blanks and line breaks, but not \f or \v.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsBreak(char c) {
    return c == '\n' || c == '\r';
}

// One logical line: [start, end), with the position of its first unquoted '=' or -1.
struct Line {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype equals = -1;
};

// The lines as QSettings reads them: blanks and line breaks before a line are skipped, a
// backslash takes the next character with it (a line break too), quotes hold line breaks, a
// ';' at the start makes a comment line that is skipped, and a ';' after text ends the line.
std::vector<Line> SplitLines(QByteArrayView data) {
    std::vector<Line> lines;
    const qsizetype n = data.size();
    qsizetype pos = 0;
    for (;;) {
        Line line;
        line.start = pos;
        while (line.start < n && IsBlank(data[line.start])) {
            ++line.start;
        }
        bool quoted = false;
        qsizetype i = line.start;
        while (i < n) {
            const char c = data[i++];
            if (c == '=') {
                if (!quoted && line.equals < 0) {
                    line.equals = i - 1;
                }
            } else if (c == '\n' || c == '\r') {
                if (i == line.start + 1) {
                    ++line.start;
                } else if (!quoted) {
                    --i;
                    break;
                }
            } else if (c == '\\') {
                if (i < n) {
                    const char escaped = data[i++];
                    if (i < n && ((escaped == '\n' && data[i] == '\r') ||
                                  (escaped == '\r' && data[i] == '\n'))) {
                        ++i;
                    }
                }
            } else if (c == '"') {
                quoted = !quoted;
            } else if (c == ';') {
                if (i == line.start + 1) {
                    while (i < n && data[i] != '\n' && data[i] != '\r') {
                        ++i;
                    }
                    while (i < n && IsBlank(data[i])) {
                        ++i;
                    }
                    line.start = i;
                } else if (!quoted) {
                    --i;
                    break;
                }
            }
        }
        pos = i;
        if (i <= line.start) {
            return lines;
        }
        line.end = i;
        lines.push_back(line);
    }
}

// A key or section name as QSettings writes it: '/' becomes '\', and anything but letters,
// digits and "-_." is percent-escaped.
QByteArray EscapedKey(const QString& key) {
    QByteArray out;
    for (const QChar ch : key) {
        const char16_t c = ch.unicode();
        if (c == u'/') {
            out += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                   (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.') {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            out += '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        } else {
            out += "%U" + QByteArray::number(c, 16).toUpper().rightJustified(4, '0');
        }
    }
    return out;
}

// A key or section name as QSettings reads it: UTF-8, '\\' for '/', %XX and %UXXXX escapes.
QString UnescapedKey(QByteArrayView key) {
    const QString text = QString::fromUtf8(key);
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == u'\\') {
            out += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i == text.size() - 1) {
            out += c;
            ++i;
            continue;
        }
        const qsizetype first = text.at(i + 1) == u'U' ? i + 2 : i + 1;
        const qsizetype digits = first == i + 2 ? 4 : 2;
        bool ok = false;
        const ushort code =
            first + digits <= text.size() ? text.sliced(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            out += u'%';
            ++i;
            continue;
        }
        out += QChar(code);
        i = first + digits;
    }
    return out;
}

// The section a header line opens, named as QSettings names it: empty for [General], else the
// name and a '/'.
QString SectionOf(QByteArrayView header) {
    const qsizetype close = header.indexOf(']');
    const QByteArrayView name = header.sliced(1, (close < 0 ? header.size() : close) - 1).trimmed();
    if (name.compare("general", Qt::CaseInsensitive) == 0) {
        return {};
    }
    if (name.compare("%general", Qt::CaseInsensitive) == 0) {
        return QString::fromLatin1(name.sliced(1)) + u'/';
    }
    return UnescapedKey(name) + u'/';
}

// Whether text added at the end of `data` (after a line break, unless it ends in one) would
// join a quote left open or a line that ends in a backslash, instead of starting a line.
bool EndsOpen(QByteArrayView data) {
    const QByteArray probe =
        data.toByteArray() + (data.isEmpty() || IsBreak(data.back()) ? "[" : "\n[");
    const std::vector<Line> lines = SplitLines(probe);
    return lines.empty() || lines.back().start != probe.size() - 1;
}

// The position just past the line break that ends the physical line holding `from`.
qsizetype NextLineStart(QByteArrayView data, qsizetype from) {
    while (from < data.size() && data[from] != '\n' && data[from] != '\r') {
        ++from;
    }
    if (from < data.size()) {
        const char first = data[from++];
        if (from < data.size() && data[from] != first &&
            (data[from] == '\n' || data[from] == '\r')) {
            ++from;
        }
    }
    return from;
}

} // namespace

QByteArray SetIniValues(const QByteArray& text, const QString& section,
                        const QList<QPair<QString, QByteArray>>& values) {
    const qsizetype bom = text.startsWith("\xef\xbb\xbf") ? 3 : 0;
    const QByteArrayView data = QByteArrayView(text).sliced(bom);
    const qsizetype n = data.size();
    const QString target = section.isEmpty() ? QString() : section + u'/';
    const bool endsOpen = EndsOpen(data);

    struct Edit {
        qsizetype at;
        qsizetype length;
        QByteArray with;
    };
    std::vector<Edit> edits;
    std::vector<bool> found(static_cast<size_t>(values.size()), false);
    qsizetype afterHeader = -1; // a fresh line just after the first header of the section
    qsizetype top = 0;          // a fresh line before any header; -1: in front of the mark
    QString current;            // lines before any header belong to [General]
    const std::vector<Line> lines = SplitLines(data);
    for (size_t k = 0; k < lines.size(); ++k) {
        const Line& line = lines[k];
        const QByteArrayView content = data.sliced(line.start, line.end - line.start);
        // After a line that ends at the end of the file, only a clean end takes more text.
        const qsizetype next =
            line.end < n || !endsOpen ? NextLineStart(data, line.end) : qsizetype{-1};
        if (content.startsWith('[')) {
            current = SectionOf(content);
            if (current == target && afterHeader < 0) {
                afterHeader = next;
            }
            continue;
        }
        if (line.equals < 0) {
            continue;
        }
        const QByteArrayView key = data.sliced(line.start, line.equals - line.start).trimmed();
        const QString name = current + UnescapedKey(key);
        // Qt 6.4 reads the first key with the mark in front (so blanks there stay in its name,
        // and a second mark too); later versions without. Such a line stays as it is, and the
        // values go after it.
        if (k == 0 && bom > 0 && std::none_of(data.begin(), data.begin() + line.start, IsBreak) &&
            UnescapedKey((QByteArrayView(text).first(bom + line.equals)).trimmed()) != name) {
            top = next;
            continue;
        }
        for (qsizetype v = 0; v < values.size(); ++v) {
            // Every copy, wherever it is spelt, so that no order of reading finds an old one.
            if (name == target + values[v].first) {
                edits.push_back({line.start, line.end - line.start,
                                 key.toByteArray() + '=' + values[v].second});
                found[static_cast<size_t>(v)] = found[static_cast<size_t>(v)] || current == target;
            }
        }
    }

    const QByteArray eol = data.contains("\r\n") ? "\r\n" : "\n"; // the file's own line ends
    QByteArray missing;
    for (qsizetype v = 0; v < values.size(); ++v) {
        if (!found[static_cast<size_t>(v)]) {
            missing += EscapedKey(values[v].first) + '=' + values[v].second + eol;
        }
    }
    QByteArray front; // goes in front of the mark
    if (!missing.isEmpty()) {
        QByteArray header = section.isEmpty() ? "General" : EscapedKey(section);
        if (!section.isEmpty() && header.compare("general", Qt::CaseInsensitive) == 0) {
            header.prepend('%');
        }
        header = '[' + header + ']' + eol;
        auto insert = [&](qsizetype at, const QByteArray& with) {
            if (at < 0) {
                front = with;
            } else {
                const bool broken = at > 0 && !IsBreak(data[at - 1]);
                edits.push_back({at, 0, (broken ? eol : QByteArray()) + with});
            }
        };
        if (afterHeader >= 0) {
            insert(afterHeader, missing);
        } else if (section.isEmpty()) {
            insert(top, header + missing + (top >= 0 && top < n ? eol : QByteArray()));
        } else if (!endsOpen) {
            insert(n, (n > 0 ? eol : QByteArray()) + header + missing);
        } else {
            // The file ends inside a line: the section goes on top, and the lines that were
            // there stay in [General].
            insert(top, header + missing + "[General]" + eol);
        }
    }

    // An insertion goes before a replacement that starts where it does.
    std::ranges::sort(edits, {}, [](const Edit& e) { return std::pair(e.at, e.length); });
    QByteArray out = front + text.left(bom);
    qsizetype copied = 0;
    for (const Edit& edit : edits) {
        out += data.sliced(copied, edit.at - copied);
        out += edit.with;
        copied = edit.at + edit.length;
    }
    out += data.sliced(copied);
    return out;
}

std::optional<IniPlace> IniPlaceOf(const QString& keyPath) {
    QStringList parts = keyPath.split(u'\\', Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.front().compare(u"Software", Qt::CaseInsensitive) == 0) {
        parts.removeFirst();
    }
    if (parts.isEmpty()) {
        return std::nullopt;
    }
    IniPlace place;
    place.maker = parts.takeFirst();
    place.program = parts.isEmpty() ? QString() : parts.takeFirst();
    place.section = parts.join(u'/');
    return place;
}

} // namespace kivora
