#include "CommandLine.h"

#include <QCommandLineParser>
#include <QDate>
#include <QRegularExpression>

#include <algorithm>
#include <iostream>
#include <limits>
#include <optional>
#include <ostream>

#include "AppInfo.h"
#include "common/AppIdentity.h"
#include "common/Csv.h"
#include "engine/Draw.h"
#include "engine/TicketDrawer.h"
#include "games/GameTable.h"

namespace kivora {

namespace {

constexpr qsizetype kLineWidth = 80;
constexpr qsizetype kDescriptionColumn = 29;

QString DashedName(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// What QGuiApplication, QApplication and the xcb plugin take from argv themselves. They are
// accepted here so that they reach the window untouched; the names with a value first.
const QStringList kQtValueOptions = {
    QStringLiteral("platform"),
    QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"),
    QStringLiteral("geometry"),
    QStringLiteral("qwindowtitle"),
    QStringLiteral("title"),
    QStringLiteral("qwindowicon"),
    QStringLiteral("icon"),
    QStringLiteral("session"),
    QStringLiteral("display"),
    QStringLiteral("name"),
    QStringLiteral("style"),
    QStringLiteral("stylesheet"),
    QStringLiteral("qmljsdebugger"),
};
const QStringList kQtFlagOptions = {
    QStringLiteral("reverse"), QStringLiteral("testability"), QStringLiteral("widgetcount"),
    QStringLiteral("sync"),    QStringLiteral("nograb"),      QStringLiteral("dograb"),
};

// Words of text filled into lines of at most kLineWidth characters; every line but the first
// starts with indent blanks (the first is assumed to be indented already by firstUsed).
QString Fill(const QString& text, qsizetype firstUsed, qsizetype indent) {
    QString result;
    qsizetype used = firstUsed;
    bool lineEmpty = true;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!lineEmpty && used + 1 + word.size() > kLineWidth) {
            result += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            used = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            result += QLatin1Char(' ');
            ++used;
        }
        result += word;
        used += word.size();
        lineEmpty = false;
    }
    return result;
}

QString OptionLines(const CommandLineOption& option) {
    QStringList dashed;
    for (const QString& name : option.names) {
        dashed << DashedName(name);
    }
    QString head = QStringLiteral("  ") + dashed.join(QStringLiteral(", "));
    if (!option.valueName.isEmpty()) {
        head += QStringLiteral(" <") + option.valueName + QLatin1Char('>');
    }
    if (head.size() + 2 > kDescriptionColumn) {
        head += QLatin1Char('\n') + QString(kDescriptionColumn, QLatin1Char(' '));
    } else {
        head += QString(kDescriptionColumn - head.size(), QLatin1Char(' '));
    }
    return head + Fill(option.description, kDescriptionColumn, kDescriptionColumn) +
           QLatin1Char('\n');
}

// Text as a whole 32-bit number: an optional sign and decimal digits, nothing else.
std::optional<int32_t> WholeNumber(const QString& text) {
    const qsizetype first = text.startsWith(u'-') || text.startsWith(u'+') ? 1 : 0;
    if (text.size() == first) {
        return std::nullopt;
    }
    int64_t magnitude = 0;
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > int64_t{1} << 31) {
            return std::nullopt;
        }
    }
    const int64_t value = text.startsWith(u'-') ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

// Exactly yyyy-mm-dd and a real date: Qt's ISO reading would also take a time or trailing text.
QDate ExactDate(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    return form.match(text).hasMatch() ? QDate::fromString(text, QStringLiteral("yyyy-MM-dd"))
                                       : QDate();
}

CommandLineRequest Failure(int exitCode, const QString& error) {
    CommandLineRequest request;
    request.action = CommandLineRequest::Action::Fail;
    request.exitCode = exitCode;
    request.error = error;
    return request;
}

// The basis and its input, as the panel's basis list and the one picker it shows. The date
// picker starts at today and the sign list at Aries; the date picker's range is 1601 to 9999.
CommandLineRequest ReadBasis(const QCommandLineParser& parser, DrawSettings& s) {
    const QString basis = parser.isSet(QStringLiteral("based-on"))
                              ? parser.value(QStringLiteral("based-on")).toLower()
                              : QStringLiteral("random");
    const auto named =
        std::find_if(kDrawBasisNames.begin(), kDrawBasisNames.end(), [&](std::string_view name) {
            return QLatin1String(name.data(), static_cast<qsizetype>(name.size()))
                       .compare(basis, Qt::CaseInsensitive) == 0;
        });
    const auto position = named - kDrawBasisNames.begin();
    if (named == kDrawBasisNames.end()) {
        return Failure(kChoiceError,
                       QStringLiteral("--based-on takes random, date, sign or name, not '%1'.")
                           .arg(parser.value(QStringLiteral("based-on"))));
    }
    for (const QString& input : {QStringLiteral("date"), QStringLiteral("sign")}) {
        if (parser.isSet(input) && basis != input) {
            return Failure(kChoiceError,
                           QStringLiteral("--%1 is used with --based-on %1.").arg(input));
        }
    }
    if (parser.isSet(QStringLiteral("text")) && basis != QLatin1String("name")) {
        return Failure(kChoiceError, QStringLiteral("--text is used with --based-on name."));
    }
    s.drawBasedOn = DrawBasisAt(static_cast<int>(position));

    QDate date = QDate::currentDate();
    if (parser.isSet(QStringLiteral("date"))) {
        const QString text = parser.value(QStringLiteral("date"));
        date = ExactDate(text);
        if (!date.isValid()) {
            return Failure(kUsageError,
                           QStringLiteral("--date takes a date written yyyy-mm-dd; '%1' is not "
                                          "one.")
                               .arg(text));
        }
        if (date.year() < 1601) {
            return Failure(kChoiceError,
                           QStringLiteral("--date takes a date from 1601-01-01 to 9999-12-31, "
                                          "not %1.")
                               .arg(text));
        }
    }
    s.basisDate = CalendarDate{date.year(), date.month(), date.day()};

    s.basisSign = 0;
    if (parser.isSet(QStringLiteral("sign"))) {
        const QString sign = parser.value(QStringLiteral("sign"));
        const auto found =
            std::find_if(kZodiacSigns.begin(), kZodiacSigns.end(), [&](std::string_view name) {
                return QLatin1String(name.data(), static_cast<qsizetype>(name.size()))
                           .compare(sign, Qt::CaseInsensitive) == 0;
            });
        if (found == kZodiacSigns.end()) {
            return Failure(kChoiceError,
                           QStringLiteral("--sign takes a zodiac sign from Aries to Pisces, "
                                          "not '%1'.")
                               .arg(sign));
        }
        s.basisSign = static_cast<int16_t>(found - kZodiacSigns.begin());
    }
    s.basisName = parser.value(QStringLiteral("text")).toStdString();
    return {};
}

// --history and its choices; a day counts from its first moment to its last, local time. With
// --check, the check's own options are its business.
CommandLineRequest ReadHistoryRequest(const QCommandLineParser& parser, bool withCheck = false) {
    CommandLineRequest request;
    for (const QString& option : withCheck ? QStringList() : parser.optionNames()) {
        if (option != QLatin1String("history") && option != QLatin1String("csv") &&
            option != QLatin1String("since") && option != QLatin1String("until") &&
            option != QLatin1String("game")) {
            return Failure(
                kUsageError,
                QStringLiteral("%1 does not go with --history.").arg(DashedName(option)));
        }
    }
    for (const QString& name : {QStringLiteral("since"), QStringLiteral("until")}) {
        if (!parser.isSet(name)) {
            continue;
        }
        const QDate day = ExactDate(parser.value(name));
        if (!day.isValid()) {
            return Failure(kUsageError,
                           QStringLiteral("--%1 takes a date written yyyy-mm-dd, not '%2'.")
                               .arg(name, parser.value(name)));
        }
        if (name == QLatin1String("since")) {
            request.history.since = day.startOfDay();
        } else {
            request.history.until = day.endOfDay();
        }
    }
    request.history.presetId = parser.value(QStringLiteral("game"));
    request.csv = parser.isSet(QStringLiteral("csv"));
    request.action = CommandLineRequest::Action::History;
    return request;
}

QString HistoryFolder(const DrawServices& services) {
    return services.historyFolder.isEmpty() ? HistoryStore::DefaultFolder()
                                            : services.historyFolder;
}

} // namespace

const std::vector<CommandLineOption>& CommandLineOptions() {
    static const std::vector<CommandLineOption> options = {
        {{QStringLiteral("h"), QStringLiteral("help")},
         {},
         QStringLiteral("Show this help and exit."),
         false},
        {{QStringLiteral("v"), QStringLiteral("version")},
         {},
         QStringLiteral("Show the program's name and version and exit."),
         false},
        {{QStringLiteral("draw")},
         {},
         QStringLiteral("Draw tickets without opening the window and print them to standard "
                        "output, one ticket a line."),
         false},
        {{QStringLiteral("check")},
         QStringLiteral("numbers"),
         QStringLiteral("Check tickets against the winning numbers, written as \"5 12 23 44 61 + "
                        "9\": read them from the files named after the options (as \"Save "
                        "tickets as\" or --draw writes them) or from standard input, and print "
                        "each ticket's result and how many tickets reached each tier. Give the "
                        "game with --game, or with --daily or --numbers, --highest and --bonus."),
         false},
        {{QStringLiteral("list-games")},
         {},
         QStringLiteral("List the games --game knows: id, name and region, rules, and the date "
                        "the rules hold from."),
         false},
        {{QStringLiteral("history")},
         {},
         QStringLiteral("Print the kept batches of tickets, newest first: each batch's time, "
                        "game and tickets. With --check: check the kept tickets instead of "
                        "files."),
         false},
        {{QStringLiteral("since")},
         QStringLiteral("yyyy-mm-dd"),
         QStringLiteral("With --history: only batches drawn on this day or later."),
         false},
        {{QStringLiteral("until")},
         QStringLiteral("yyyy-mm-dd"),
         QStringLiteral("With --history: only batches drawn on this day or earlier."),
         false},
        {{QStringLiteral("game")},
         QStringLiteral("id"),
         QStringLiteral("Play a game of --list-games: its numbers per ticket, highest number and "
                        "bonus numbers, or its digits. The options below still override them. "
                        "With --history: only the batches drawn as this game."),
         true},
        {{QStringLiteral("tickets")},
         QStringLiteral("count"),
         QStringLiteral("How many tickets to draw, 1 to 50; default 1."),
         true},
        {{QStringLiteral("numbers")},
         QStringLiteral("count"),
         QStringLiteral("How many numbers a ticket holds, 3 to 7; default 3."),
         true},
        {{QStringLiteral("highest")},
         QStringLiteral("number"),
         QStringLiteral("Lotto game: the highest number, 10 to 99; default 10."),
         true},
        {{QStringLiteral("bonus")},
         QStringLiteral("highest"),
         QStringLiteral("Lotto game: also draw a bonus number from 1 to <highest>, which is "
                        "2 to 99. Without it no bonus number is drawn."),
         true},
        {{QStringLiteral("bonus-count")},
         QStringLiteral("count"),
         QStringLiteral("With --bonus: draw 1 or 2 bonus numbers; two differ and stand in "
                        "ascending order. Default 1."),
         true},
        {{QStringLiteral("daily")},
         {},
         QStringLiteral("Play a Daily game: every number is a digit from 0 to 9 and digits may "
                        "repeat. Without it the game is Lotto."),
         true},
        {{QStringLiteral("include")},
         QStringLiteral("number"),
         QStringLiteral("Put this number on every ticket: 1 to the highest number in a Lotto "
                        "game, 0 to 9 in a Daily game."),
         true},
        {{QStringLiteral("include-position")},
         QStringLiteral("position"),
         QStringLiteral("Daily game with --include: the column the included digit stands in, "
                        "1 to the numbers per ticket; default 1."),
         true},
        {{QStringLiteral("exclude")},
         QStringLiteral("number"),
         QStringLiteral("Keep this number off every ticket; it must differ from the included "
                        "one."),
         true},
        {{QStringLiteral("prefer")},
         QStringLiteral("low|high|mixed"),
         QStringLiteral("Prefer low, high or mixed numbers; default mixed."),
         true},
        {{QStringLiteral("based-on")},
         QStringLiteral("random|date|sign|name"),
         QStringLiteral("What the draw is based on: the time of day alone, or with a date, a "
                        "zodiac sign or a name; default random."),
         true},
        {{QStringLiteral("date")},
         QStringLiteral("yyyy-mm-dd"),
         QStringLiteral("With --based-on date: the date; default today."),
         true},
        {{QStringLiteral("sign")},
         QStringLiteral("sign"),
         QStringLiteral("With --based-on sign: Aries, Taurus, Gemini, Cancer, Leo, Virgo, Libra, "
                        "Scorpio, Sagittarius, Capricorn, Aquarius or Pisces; default Aries."),
         true},
        {{QStringLiteral("text")},
         QStringLiteral("name"),
         QStringLiteral("With --based-on name: the name, word or number; default none."),
         true},
        {{QStringLiteral("keep")},
         {},
         QStringLiteral("Also add the tickets to the history, as the window does."),
         true},
        {{QStringLiteral("csv")},
         {},
         QStringLiteral("Print each ticket as comma-separated values, the bonus numbers last; "
                        "with --check, its result after them; with --list-games, the games; "
                        "with --history, each kept ticket."),
         true},
    };
    return options;
}

QString CopyrightText() {
    return QStringLiteral("Copyright (C) %1 %2").arg(app::kCopyrightYear).arg(AppMaker());
}

QString UsageText() {
    QString text = QStringLiteral("Usage: kivora [options]\n\n");
    text += Fill(TitleVersion() +
                     QStringLiteral(" draws lottery tickets. Without options it opens its "
                                    "window. With --draw it prints the tickets instead, with "
                                    "--check it checks tickets against a draw; neither "
                                    "needs a display."),
                 0, 0) +
            QStringLiteral("\n\nOptions:\n");
    for (const CommandLineOption& option : CommandLineOptions()) {
        if (!option.drawChoice) {
            text += OptionLines(option);
        }
    }
    text += QStringLiteral("\n") +
            Fill(QStringLiteral("Choices for --draw, as in the window's option panel. A ticket "
                                "prints as its numbers, then \"+\" and the bonus number:"),
                 0, 0) +
            QLatin1Char('\n');
    for (const CommandLineOption& option : CommandLineOptions()) {
        if (option.drawChoice) {
            text += OptionLines(option);
        }
    }
    text += QLatin1Char('\n') +
            Fill(QStringLiteral("Qt's own options, such as -style <style> and -platform <name>, "
                                "apply to the window."),
                 0, 0) +
            QStringLiteral("\n\n") +
            Fill(QStringLiteral("Exit status: 0 on success, 1 for an argument that cannot be "
                                "read or output that cannot be written, 2 for choices that "
                                "cannot be drawn, winning numbers that cannot be read, "
                                "ticket lines that --check skipped or a history that cannot be "
                                "read."),
                 0, 0) +
            QLatin1Char('\n');
    return text;
}

CommandLineRequest ParseCommandLine(const QStringList& arguments, const GameTable& games) {
    QCommandLineParser parser;
    // Qt's own options have one dash and whole words (-style, -platform).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const CommandLineOption& option : CommandLineOptions()) {
        parser.addOption(QCommandLineOption(option.names, option.description, option.valueName));
    }
    for (const QString& name : kQtValueOptions) {
        QCommandLineOption option(name, QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const QString& name : kQtFlagOptions) {
        QCommandLineOption option(name);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    if (!parser.parse(arguments)) {
        // Qt names an unknown option without its dashes; say it as it was typed.
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().constFirst();
            const auto typed =
                std::find_if(arguments.begin() + std::min<qsizetype>(1, arguments.size()),
                             arguments.end(), [&](const QString& argument) {
                                 return argument == u'-' + name ||
                                        argument == QStringLiteral("--") + name ||
                                        argument.startsWith(QStringLiteral("--") + name + u'=');
                             });
            return Failure(
                kUsageError,
                QStringLiteral("unknown option '%1'.")
                    .arg(typed == arguments.end() ? DashedName(name) : typed->section(u'=', 0, 0)));
        }
        QString error = parser.errorText();
        if (!error.isEmpty()) {
            error[0] = error[0].toLower();
        }
        return Failure(kUsageError, error);
    }
    const bool check = parser.isSet(QStringLiteral("check"));
    if (!parser.positionalArguments().isEmpty() && !check) {
        return Failure(kUsageError, QStringLiteral("unexpected argument '%1'.")
                                        .arg(parser.positionalArguments().constFirst()));
    }

    CommandLineRequest request;
    if (parser.isSet(QStringLiteral("help"))) {
        request.action = CommandLineRequest::Action::Help;
        return request;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        request.action = CommandLineRequest::Action::Version;
        return request;
    }
    const bool draw = parser.isSet(QStringLiteral("draw"));
    const bool list = parser.isSet(QStringLiteral("list-games"));
    if (int(draw) + int(check) + int(list) > 1) {
        return Failure(kUsageError,
                       QStringLiteral("--draw, --check and --list-games go one at a time."));
    }
    const bool history = parser.isSet(QStringLiteral("history"));
    if (history && (draw || list)) {
        return Failure(kUsageError, QStringLiteral("--history goes alone or with --check."));
    }
    for (const QString& name : {QStringLiteral("since"), QStringLiteral("until")}) {
        if (!history && parser.isSet(name)) {
            return Failure(kUsageError,
                           QStringLiteral("%1 is used with --history.").arg(DashedName(name)));
        }
    }
    if (history && !check) {
        return ReadHistoryRequest(parser);
    }
    // What sets the game a --check reads; the rest only shapes a draw.
    static const QStringList kCheckChoices = {
        QStringLiteral("game"),  QStringLiteral("numbers"),     QStringLiteral("highest"),
        QStringLiteral("bonus"), QStringLiteral("bonus-count"), QStringLiteral("daily"),
        QStringLiteral("csv")};
    for (const CommandLineOption& option : CommandLineOptions()) {
        const QString& name = option.names.constFirst();
        if (!option.drawChoice || draw || !parser.isSet(name) ||
            (check && kCheckChoices.contains(name)) || (list && name == QLatin1String("csv"))) {
            continue;
        }
        return Failure(kUsageError,
                       check
                           ? QStringLiteral("%1 is a choice for --draw, not for --check.")
                                 .arg(DashedName(name))
                           : QStringLiteral("%1 is a choice for --draw; the window keeps its own.")
                                 .arg(DashedName(name)));
    }
    request.csv = parser.isSet(QStringLiteral("csv"));
    if (list) {
        request.action = CommandLineRequest::Action::ListGames;
        return request;
    }
    if (!draw && !check) {
        return request;
    }

    // A game gives the defaults; every option given still overrides them.
    const GameRules* game = nullptr;
    if (parser.isSet(QStringLiteral("game"))) {
        const QString id = parser.value(QStringLiteral("game"));
        game = games.Find(id);
        if (!game) {
            const QStringList closest = games.ClosestIds(id);
            return Failure(kChoiceError,
                           QStringLiteral("There is no game '%1'%2. --list-games lists them all.")
                               .arg(id, closest.isEmpty()
                                            ? QString()
                                            : QStringLiteral("; the closest ids are ") +
                                                  closest.join(QStringLiteral(", "))));
        }
    }
    const DrawSettings base = game ? game->ApplyTo({}) : DrawSettings{};

    // Every number first as a whole 32-bit number, written in decimal digits with an optional
    // sign; anything else cannot be read. Then each in its range, named by its option.
    QString unreadable;
    const auto number = [&](const QString& name, int32_t fallback) -> int32_t {
        if (!parser.isSet(name)) {
            return fallback;
        }
        const QString text = parser.value(name);
        const std::optional<int32_t> value = WholeNumber(text);
        if (!value && unreadable.isEmpty()) {
            unreadable =
                QStringLiteral("--%1 takes a whole number; '%2' is not one.").arg(name, text);
        }
        return value.value_or(fallback);
    };

    DrawSettings& s = request.settings;
    const bool daily = parser.isSet(QStringLiteral("daily")) || base.gameMode == GameMode::Daily;
    s.gameMode = daily ? GameMode::Daily : GameMode::Lotto;
    s.ticketCount = number(QStringLiteral("tickets"), 1);
    s.numbersPerTicket = number(QStringLiteral("numbers"), base.numbersPerTicket);
    s.highestNumber = number(QStringLiteral("highest"), base.highestNumber);
    s.bonusPlayed = parser.isSet(QStringLiteral("bonus")) || (base.bonusPlayed && !daily);
    const int32_t highestBonus = number(QStringLiteral("bonus"), base.highestBonus);
    s.bonusCount = number(QStringLiteral("bonus-count"), base.bonusCount);
    if (parser.isSet(QStringLiteral("bonus-count")) && !s.bonusPlayed) {
        return Failure(kChoiceError, QStringLiteral("--bonus-count is used with --bonus or a game "
                                                    "with bonus numbers."));
    }
    const auto optionalNumber = [&](const QString& name) -> std::optional<int32_t> {
        if (!parser.isSet(name)) {
            return std::nullopt;
        }
        return number(name, 0);
    };
    s.includeNumber = optionalNumber(QStringLiteral("include"));
    s.excludeNumber = optionalNumber(QStringLiteral("exclude"));
    // The window puts the position list at "1" whenever a Daily include number is chosen.
    const bool dailyInclude = daily && s.includeNumber;
    s.includePosition = number(QStringLiteral("include-position"), dailyInclude ? 1 : 0);
    if (!unreadable.isEmpty()) {
        return Failure(kUsageError, unreadable);
    }
    // The window hides the highest number and the bonus in a Daily game.
    if (daily && parser.isSet(QStringLiteral("highest"))) {
        return Failure(kChoiceError,
                       QStringLiteral("--highest is for a Lotto game; a Daily game draws digits "
                                      "from 0 to 9."));
    }
    if (daily && parser.isSet(QStringLiteral("bonus"))) {
        return Failure(kChoiceError,
                       QStringLiteral("--bonus is for a Lotto game; a Daily game has no bonus "
                                      "number."));
    }
    const int32_t lowest = daily ? 0 : 1;
    const int32_t highest = daily ? 9 : s.highestNumber;
    const QString inGame =
        daily ? QStringLiteral(" in a Daily game") : QStringLiteral(" (the highest number)");
    struct Range {
        const char* option;
        int32_t value;
        int32_t low;
        int32_t high;
        QString note;
        bool given;
    };
    for (const Range& r : {
             Range{"tickets", s.ticketCount, 1, 50, {}, true},
             Range{"numbers", s.numbersPerTicket, 3, 7, {}, true},
             Range{"highest", s.highestNumber, 10, 99, {}, !daily},
             Range{"bonus", highestBonus, 2, 99, {}, s.bonusPlayed},
             Range{"include", s.includeNumber.value_or(0), lowest, highest, inGame,
                   s.includeNumber.has_value()},
             Range{"exclude", s.excludeNumber.value_or(0), lowest, highest, inGame,
                   s.excludeNumber.has_value()},
         }) {
        if (r.given && (r.value < r.low || r.value > r.high)) {
            return Failure(kChoiceError, QStringLiteral("--%1 takes %2 to %3%4, not %5.")
                                             .arg(QLatin1String(r.option))
                                             .arg(r.low)
                                             .arg(r.high)
                                             .arg(r.note)
                                             .arg(r.value));
        }
    }
    s.highestBonus = static_cast<int16_t>(highestBonus);
    if (s.includeNumber && s.includeNumber == s.excludeNumber) {
        return Failure(kChoiceError,
                       QStringLiteral("--include and --exclude name the same number (%1); a "
                                      "number cannot be both on every ticket and off it.")
                           .arg(*s.includeNumber));
    }
    if (parser.isSet(QStringLiteral("include-position"))) {
        if (!s.includeNumber) {
            return Failure(kChoiceError,
                           QStringLiteral("--include-position places the number of --include; "
                                          "there is none."));
        }
        if (daily && (s.includePosition < 1 || s.includePosition > s.numbersPerTicket)) {
            return Failure(kChoiceError,
                           QStringLiteral("--include-position takes 1 to %1 (the numbers per "
                                          "ticket), not %2.")
                               .arg(s.numbersPerTicket)
                               .arg(s.includePosition));
        }
    }

    const QString prefer = parser.value(QStringLiteral("prefer")).toLower();
    if (prefer == QLatin1String("low")) {
        s.preference = NumberPreference::Low;
    } else if (prefer == QLatin1String("high")) {
        s.preference = NumberPreference::High;
    } else if (prefer.isEmpty() || prefer == QLatin1String("mixed")) {
        s.preference = NumberPreference::Mixed;
    } else {
        return Failure(kChoiceError, QStringLiteral("--prefer takes low, high or mixed, not '%1'.")
                                         .arg(parser.value(QStringLiteral("prefer"))));
    }
    if (const CommandLineRequest basis = ReadBasis(parser, s);
        basis.action == CommandLineRequest::Action::Fail) {
        return basis;
    }

    if (const std::string problem = ValidateDrawSettings(s); !problem.empty()) {
        return Failure(kChoiceError, QString::fromStdString(problem));
    }
    if (check) {
        GameRules rules = game ? *game : GameRules{};
        rules.mode = s.gameMode;
        rules.mainCount = s.numbersPerTicket;
        rules.mainHighest = daily ? 9 : s.highestNumber;
        rules.bonusCount = s.HasBonus() ? s.bonusCount : 0;
        rules.bonusHighest = s.highestBonus;
        if (!game) {
            rules.name = rules.Summary();
        }
        request.check = {rules,
                         parser.value(QStringLiteral("check")),
                         parser.positionalArguments(),
                         request.csv,
                         {}};
        if (history) {
            // The kept tickets of the span, of whatever game; the check takes those of its own.
            CommandLineRequest span = ReadHistoryRequest(parser, true);
            if (span.action == CommandLineRequest::Action::Fail) {
                return span;
            }
            request.history = span.history;
            request.history.presetId.clear();
            request.check.fromHistory = true;
        }
        request.action = CommandLineRequest::Action::Check;
        return request;
    }
    request.keep = parser.isSet(QStringLiteral("keep"));
    request.action = CommandLineRequest::Action::Draw;
    return request;
}

QString FormatTicket(const Ticket& ticket, bool csv) {
    QStringList fields;
    for (const int32_t number : ticket.numbers) {
        fields << QString::number(number);
    }
    if (csv) {
        for (const auto& bonus : {ticket.bonus, ticket.secondBonus}) {
            if (bonus) {
                fields << QString::number(*bonus);
            }
        }
        return fields.join(QLatin1Char(','));
    }
    QString line = fields.join(QLatin1Char(' '));
    if (ticket.bonus) {
        line += QStringLiteral(" + ") + QString::number(*ticket.bonus);
    }
    if (ticket.secondBonus) {
        line += QLatin1Char(' ') + QString::number(*ticket.secondBonus);
    }
    return line;
}

int RunCommandLine(const QStringList& arguments, const DrawServices& services, std::ostream& out,
                   std::ostream& err) {
    return RunCommandLine(arguments, services, out, err, std::cin);
}

int RunCommandLine(const QStringList& arguments, const DrawServices& services, std::ostream& out,
                   std::ostream& err, std::istream& in) {
    // Only what names a game needs the table, and with it the user's file.
    const bool needsGames = arguments.contains(QStringLiteral("--list-games")) ||
                            std::ranges::any_of(arguments, [](const QString& a) {
                                return a.contains(QStringLiteral("game"));
                            });
    QString tableProblem;
    const GameTable games =
        needsGames ? GameTable::Load(GameTable::UserFilePath(), &tableProblem) : GameTable();
    if (!tableProblem.isEmpty()) {
        err << "kivora: " << tableProblem.toLocal8Bit().constData() << '\n';
    }
    const CommandLineRequest request = ParseCommandLine(arguments, games);
    switch (request.action) {
    case CommandLineRequest::Action::Window:
        return kRunWindow;
    case CommandLineRequest::Action::Fail:
        err << "kivora: " << request.error.toLocal8Bit().constData() << '\n';
        if (request.exitCode == kUsageError) {
            err << "Try 'kivora --help'.\n";
        }
        err.flush();
        return request.exitCode;
    case CommandLineRequest::Action::Help:
        out << UsageText().toLocal8Bit().constData();
        break;
    case CommandLineRequest::Action::Version:
        out << TitleVersion().toLocal8Bit().constData() << '\n'
            << CopyrightText().toLocal8Bit().constData() << '\n';
        break;
    case CommandLineRequest::Action::ListGames:
        ListGames(games, request.csv, out);
        break;
    case CommandLineRequest::Action::Check: {
        CheckRequest check = request.check;
        if (check.fromHistory) {
            std::vector<HistoryBatch> batches;
            if (const int code = ReadHistory(request, services, batches, err); code != 0) {
                return code;
            }
            for (const HistoryBatch& batch : batches) {
                const QString from =
                    QStringLiteral("%1 batch %2")
                        .arg(batch.LocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                        .arg(batch.id);
                for (const Ticket& ticket : batch.tickets) {
                    check.kept.push_back({from, ticket});
                }
            }
        }
        if (const int code = RunCheck(check, in, out, err); code != 0) {
            out.flush();
            return code;
        }
        break;
    }
    case CommandLineRequest::Action::Draw: {
        // The request was checked when it was read, so the drawer has nothing to refuse.
        std::vector<Ticket> tickets;
        TicketDrawer drawer(services.generator, services.clock, services.locale);
        drawer.Draw(request.settings, [&](int, const Ticket& ticket) {
            out << FormatTicket(ticket, request.csv).toLocal8Bit().constData() << '\n';
            tickets.push_back(ticket);
        });
        if (request.keep) {
            HistoryStore store(HistoryFolder(services));
            const HistoryStore::Outcome kept =
                store.Add(HistoryBatch::Now(request.settings, std::move(tickets)));
            if (!kept.damagedPath.isEmpty()) {
                err << "kivora: "
                    << QStringLiteral("The damaged ticket history was moved to %1 and a new one "
                                      "was started at %2.")
                           .arg(kept.damagedPath, kept.newPath)
                           .toLocal8Bit()
                           .constData()
                    << '\n';
            }
            if (!kept.ok) {
                out.flush();
                err << "kivora: " << kept.error.toLocal8Bit().constData() << '\n';
                return kUsageError;
            }
        }
        break;
    }
    case CommandLineRequest::Action::History: {
        std::vector<HistoryBatch> batches;
        if (const int code = ReadHistory(request, services, batches, err); code != 0) {
            return code;
        }
        out << FormatHistory(batches, request.csv).toLocal8Bit().constData();
        break;
    }
    }
    // A full disk or a closed pipe must not pass for success.
    if (!out.flush()) {
        err << "kivora: the output could not be written.\n";
        return kUsageError;
    }
    return 0;
}

bool DisplayAvailable(const QStringList& arguments,
                      const std::function<QString(const char*)>& environment) {
    const auto option = [&](const QString& name) {
        for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
            if (arguments[i] == u'-' + name || arguments[i] == QStringLiteral("--") + name) {
                return arguments[i + 1];
            }
        }
        return QString();
    };
    const bool x11 =
        !option(QStringLiteral("display")).isEmpty() || !environment("DISPLAY").isEmpty();
    const bool wayland = !environment("WAYLAND_DISPLAY").isEmpty();
    QString platforms = option(QStringLiteral("platform"));
    if (platforms.isEmpty()) {
        platforms = environment("QT_QPA_PLATFORM");
    }
    if (platforms.isEmpty()) {
        return x11 || wayland;
    }
    // A list such as "wayland;xcb" is tried in order; a name may carry ":options".
    for (const QString& entry : platforms.split(u';', Qt::SkipEmptyParts)) {
        const QString name = entry.section(u':', 0, 0).trimmed();
        if (name == u"xcb" ? x11 : name.startsWith(u"wayland") ? wayland : true) {
            return true;
        }
    }
    return false;
}

QString NoDisplayText() {
    return QStringLiteral("kivora: no display could be opened for the window; kivora --draw "
                          "draws tickets without one.");
}

QString FormatHistory(const std::vector<HistoryBatch>& batches, bool csv) {
    QString text;
    for (const HistoryBatch& batch : batches) {
        const QString time = batch.LocalTime().toString(Qt::ISODate);
        if (csv) {
            const QString game = CsvField(batch.GameText());
            for (size_t i = 0; i < batch.tickets.size(); ++i) {
                text += QStringLiteral("%1,%2,%3,%4,%5\n")
                            .arg(time, game)
                            .arg(batch.id)
                            .arg(i + 1)
                            .arg(FormatTicket(batch.tickets[i], true));
            }
            continue;
        }
        text +=
            QStringLiteral("%1  %2  batch %3, %4 %5\n")
                .arg(QString(time).replace(QLatin1Char('T'), QLatin1Char(' ')), batch.GameText())
                .arg(batch.id)
                .arg(batch.tickets.size())
                .arg(batch.tickets.size() == 1 ? QStringLiteral("ticket")
                                               : QStringLiteral("tickets"));
        for (const Ticket& ticket : batch.tickets) {
            text += QStringLiteral("  ") + FormatTicket(ticket, false) + QLatin1Char('\n');
        }
    }
    return text;
}

int ReadHistory(const CommandLineRequest& request, const DrawServices& services,
                std::vector<HistoryBatch>& batches, std::ostream& err) {
    HistoryStore::ReadResult read =
        HistoryStore(HistoryFolder(services)).Read(request.history, true);
    if (read.status == HistoryStore::ReadStatus::Damaged ||
        read.status == HistoryStore::ReadStatus::Failed) {
        err << "kivora: " << read.error.toLocal8Bit().constData() << '\n';
        return kChoiceError;
    }
    batches = std::move(read.batches);
    return 0;
}

QStringList ArgumentList(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

} // namespace kivora
