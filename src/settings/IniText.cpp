#include "IniText.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QStringList>

namespace kivora {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
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
    const QByteArray header = section.isEmpty() ? QByteArray() : EscapedKey(section);
    auto isTarget = [&header](QByteArrayView name) {
        return header.isEmpty() ? name.compare("general", Qt::CaseInsensitive) == 0
                                : name == QByteArrayView(header);
    };

    struct Edit {
        qsizetype at;
        qsizetype length;
        QByteArray with;
    };
    std::vector<Edit> edits;
    std::vector<bool> found(static_cast<size_t>(values.size()), false);
    qsizetype firstHeaderEnd = -1;
    bool inTarget = header.isEmpty(); // lines before any header belong to [General]
    for (const Line& line : SplitLines(data)) {
        const QByteArrayView content = data.sliced(line.start, line.end - line.start);
        if (content.startsWith('[')) {
            const qsizetype close = content.indexOf(']');
            inTarget =
                isTarget(content.sliced(1, (close < 0 ? content.size() : close) - 1).trimmed());
            if (inTarget && firstHeaderEnd < 0) {
                firstHeaderEnd = NextLineStart(data, line.end);
            }
            continue;
        }
        if (!inTarget || line.equals < 0) {
            continue;
        }
        const QByteArrayView key = data.sliced(line.start, line.equals - line.start).trimmed();
        for (qsizetype v = 0; v < values.size(); ++v) {
            const QByteArray name = EscapedKey(values[v].first);
            if (key == QByteArrayView(name)) {
                edits.push_back({line.start, line.end - line.start, name + '=' + values[v].second});
                found[static_cast<size_t>(v)] = true;
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
    if (!missing.isEmpty()) {
        if (firstHeaderEnd >= 0) {
            const bool broken = firstHeaderEnd > 0 && data[firstHeaderEnd - 1] != '\n' &&
                                data[firstHeaderEnd - 1] != '\r';
            edits.push_back({firstHeaderEnd, 0, (broken ? eol : QByteArray()) + missing});
        } else if (header.isEmpty()) {
            edits.push_back({0, 0, "[General]" + eol + missing + (data.isEmpty() ? "" : eol)});
        } else {
            const bool broken = !data.isEmpty() && !data.endsWith('\n') && !data.endsWith('\r');
            edits.push_back({data.size(), 0,
                             (broken ? eol : QByteArray()) + (data.isEmpty() ? "" : eol) + '[' +
                                 header + ']' + eol + missing});
        }
    }

    // An insertion goes before a replacement that starts where it does.
    std::ranges::sort(edits, {}, [](const Edit& e) { return std::pair(e.at, e.length); });
    QByteArray out = text.left(bom);
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
