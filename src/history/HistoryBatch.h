#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

#include "engine/DrawSettings.h"
#include "engine/Ticket.h"

namespace kivora {

// One Start as the history keeps it: when, the game and every choice it was drawn with, and
// its tickets in grid order.
struct HistoryBatch {
    int64_t id = 0;              // given by the store; 0 before it is written
    QDateTime drawnUtc;          // to the millisecond
    int utcOffsetSeconds = 0;    // the user's local offset from UTC at that moment
    QString presetId;            // the chosen game preset; empty when none was chosen
    DrawSettings settings;       // settings.ticketCount is the number of tickets
    std::vector<Ticket> tickets; // empty in a listing; filled when the tickets are read

    // A batch drawn now, with the local offset of this moment.
    static HistoryBatch Now(const DrawSettings& settings, std::vector<Ticket> tickets,
                            const QString& presetId = {});

    // "Lotto 6/49", "Lotto 5/69 + 1/26", "Daily 3", or the preset id when there is one.
    QString GameText() const;
    // "Random", "Date 2026-12-07", "Sign Leo", "Name Anna".
    QString BasisText() const;
    // The drawing time in the offset it was drawn in.
    QDateTime LocalTime() const;
};

} // namespace kivora
