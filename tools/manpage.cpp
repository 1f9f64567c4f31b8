// Writes the manual page from its template, with the options as kivora --help describes them,
// so the two cannot drift apart. Usage: manpage kivora.1.in kivora.1
#include <QFile>
#include <QString>

#include <cstdio>

#include "cli/CommandLine.h"

namespace {

// Text for a roff line: backslashes and hyphens escaped, no request at a line's start.
QString Roff(QString text) {
    text.replace(QLatin1Char('\\'), QLatin1String("\\e"));
    text.replace(QLatin1Char('-'), QLatin1String("\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\''))) {
        text.prepend(QLatin1String("\\&"));
    }
    return text;
}

QString OptionItems(bool drawChoices) {
    QString items;
    for (const kivora::CommandLineOption& option : kivora::CommandLineOptions()) {
        if (option.drawChoice != drawChoices) {
            continue;
        }
        QStringList names;
        for (const QString& name : option.names) {
            const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            names << QStringLiteral("\\fB") + Roff(dashes + name) + QStringLiteral("\\fR");
        }
        items += QStringLiteral(".TP\n") + names.join(QStringLiteral(", "));
        if (!option.valueName.isEmpty()) {
            items += QStringLiteral(" \\fI") + Roff(option.valueName) + QStringLiteral("\\fR");
        }
        items += QLatin1Char('\n') + Roff(option.description) + QLatin1Char('\n');
    }
    items.chop(1);
    return items;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: manpage kivora.1.in kivora.1\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "manpage: cannot read %s\n", argv[1]);
        return 1;
    }
    QString page = QString::fromUtf8(in.readAll());
    if (!page.contains(QLatin1String("@OPTIONS@")) ||
        !page.contains(QLatin1String("@DRAW_OPTIONS@"))) {
        std::fprintf(stderr, "manpage: %s lacks @OPTIONS@ or @DRAW_OPTIONS@\n", argv[1]);
        return 1;
    }
    page.replace(QLatin1String("@DRAW_OPTIONS@"), OptionItems(true));
    page.replace(QLatin1String("@OPTIONS@"), OptionItems(false));
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(page.toUtf8()) < 0 ||
        !out.flush()) {
        std::fprintf(stderr, "manpage: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
