#include "GameCommands.h"

#include <QFile>

#include <istream>
#include <iterator>
#include <ostream>
#include <vector>

#include "CommandLine.h"
#include "common/Csv.h"
#include "engine/TicketLineReader.h"
#include "engine/TicketMatch.h"
#include "engine/TierCount.h"
#include "engine/WinningNumbers.h"
#include "games/GameTable.h"

namespace kivora {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

void Write(std::ostream& stream, const QString& line) {
    stream << line.toLocal8Bit().constData() << '\n';
}

} // namespace

void ListGames(const GameTable& table, bool csv, std::ostream& out) {
    std::vector<QStringList> rows;
    for (const GameRules& game : table.Games()) {
        rows.push_back({Text(game.id), Text(game.name), Text(game.region), Text(game.Summary()),
                        Text(game.validFrom)});
    }
    if (csv) {
        Write(out, QStringLiteral("id,name,region,rules,valid from"));
        for (const QStringList& row : rows) {
            QStringList fields;
            for (const QString& field : row) {
                fields << CsvField(field);
            }
            Write(out, fields.join(QLatin1Char(',')));
        }
        return;
    }
    qsizetype widths[3] = {0, 0, 0};
    for (const QStringList& row : rows) {
        widths[0] = std::max(widths[0], row[0].size());
        widths[1] = std::max(widths[1], row[1].size() + row[2].size() + 3);
        widths[2] = std::max(widths[2], row[3].size());
    }
    for (const QStringList& row : rows) {
        Write(out, row[0].leftJustified(widths[0] + 2) +
                       (row[1] + QStringLiteral(" (") + row[2] + QLatin1Char(')'))
                           .leftJustified(widths[1] + 2) +
                       row[3].leftJustified(widths[2] + 2) + QStringLiteral("from ") + row[4]);
    }
}

int RunCheck(const CheckRequest& request, std::istream& in, std::ostream& out, std::ostream& err) {
    std::string error;
    const WinningNumbers drawn =
        WinningNumbers::Read(request.draw.toStdString(), request.rules, error);
    if (!error.empty()) {
        Write(err, QStringLiteral("kivora: the winning numbers cannot be read: ") + Text(error));
        return kChoiceError;
    }
    bool skipped = false;
    std::vector<TicketMatch> matches;
    const auto record = [&](const Ticket& ticket, const QString& from) {
        const TicketMatch match = TicketMatch::Of(ticket, drawn, request.rules);
        matches.push_back(match);
        const QString label = Text(match.Label(request.rules));
        const QString lead = from.isEmpty() ? QString() : from + (request.csv ? "," : ": ");
        Write(out,
              lead + (request.csv ? FormatTicket(ticket, true) + QLatin1Char(',') + label
                                  : FormatTicket(ticket, false) + QStringLiteral(": ") + label));
    };
    for (const KeptTicket& kept : request.kept) {
        // Read as its line would be, so a ticket of another game is passed over.
        TicketLineReader reader(request.rules);
        Ticket ticket;
        std::string why;
        if (reader.Read(FormatTicket(kept.ticket, false).toStdString(), ticket, why) ==
            TicketLineReader::Line::Ticket) {
            record(ticket, kept.batch);
        }
    }
    const QStringList files = request.fromHistory       ? QStringList()
                              : request.files.isEmpty() ? QStringList{QStringLiteral("-")}
                                                        : request.files;
    for (const QString& file : files) {
        QByteArray text;
        QString name = file;
        if (file == QLatin1String("-")) {
            name = QStringLiteral("standard input");
            const std::string all{std::istreambuf_iterator<char>(in), {}};
            text = QByteArray::fromStdString(all);
        } else {
            QFile source(file);
            if (!source.open(QIODevice::ReadOnly)) {
                Write(err, QStringLiteral("kivora: %1 could not be read: %2; skipped.")
                               .arg(file, source.errorString()));
                skipped = true;
                continue;
            }
            text = source.readAll();
        }
        TicketLineReader reader(request.rules);
        const QList<QByteArray> lines = text.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            Ticket ticket;
            std::string why;
            switch (reader.Read(lines[i].toStdString(), ticket, why)) {
            case TicketLineReader::Line::Skip:
                break;
            case TicketLineReader::Line::Bad:
                Write(err, QStringLiteral("kivora: %1, line %2: %3; skipped.")
                               .arg(name)
                               .arg(i + 1)
                               .arg(Text(why)));
                skipped = true;
                break;
            case TicketLineReader::Line::Ticket:
                record(ticket, {});
                break;
            }
        }
    }
    if (!request.csv) {
        Write(out, QString());
        for (const TierCount& tier : TierCount::Tally(matches, request.rules)) {
            Write(out, QStringLiteral("%1: %2 %3")
                           .arg(Text(tier.label))
                           .arg(tier.tickets)
                           .arg(tier.tickets == 1 ? QStringLiteral("ticket")
                                                  : QStringLiteral("tickets")));
        }
        if (matches.empty()) {
            Write(out, QStringLiteral("No tickets were read."));
        }
        Write(out, QStringLiteral("Only the lottery's own results count."));
    }
    return skipped ? kChoiceError : 0;
}

} // namespace kivora
