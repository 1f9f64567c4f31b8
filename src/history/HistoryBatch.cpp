#include "HistoryBatch.h"

namespace kivora {

HistoryBatch HistoryBatch::Now(const DrawSettings& settings, std::vector<Ticket> tickets,
                               const QString& presetId) {
    HistoryBatch batch;
    const QDateTime now = QDateTime::currentDateTime();
    batch.drawnUtc = now.toUTC();
    batch.utcOffsetSeconds = now.offsetFromUtc();
    batch.presetId = presetId;
    batch.settings = settings;
    batch.settings.ticketCount = static_cast<int32_t>(tickets.size());
    batch.tickets = std::move(tickets);
    return batch;
}

QString HistoryBatch::GameText() const {
    if (!presetId.isEmpty()) {
        return presetId;
    }
    if (settings.gameMode == GameMode::Daily) {
        return QStringLiteral("Daily %1").arg(settings.numbersPerTicket);
    }
    QString text =
        QStringLiteral("Lotto %1/%2").arg(settings.numbersPerTicket).arg(settings.highestNumber);
    if (settings.HasBonus()) {
        text += QStringLiteral(" + 1/%1").arg(settings.highestBonus);
    }
    return text;
}

QString HistoryBatch::BasisText() const {
    const DrawSettings& s = settings;
    switch (s.drawBasedOn) {
    case DrawBasis::Random:
        return QStringLiteral("Random");
    case DrawBasis::Date:
        return QStringLiteral("Date %1-%2-%3")
            .arg(s.basisDate.year, 4, 10, QLatin1Char('0'))
            .arg(s.basisDate.month, 2, 10, QLatin1Char('0'))
            .arg(s.basisDate.day, 2, 10, QLatin1Char('0'));
    case DrawBasis::Sign:
        if (s.basisSign >= 0 && s.basisSign < static_cast<int>(kZodiacSigns.size())) {
            const std::string_view sign = kZodiacSigns[static_cast<size_t>(s.basisSign)];
            return QStringLiteral("Sign ") +
                   QLatin1String(sign.data(), static_cast<qsizetype>(sign.size()));
        }
        return QStringLiteral("Sign");
    case DrawBasis::Name:
        return QStringLiteral("Name ") + QString::fromStdString(s.basisName);
    case DrawBasis::None:
        break;
    }
    return QStringLiteral("None");
}

QDateTime HistoryBatch::LocalTime() const {
    return drawnUtc.toOffsetFromUtc(utcOffsetSeconds);
}

} // namespace kivora
