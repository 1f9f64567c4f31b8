#pragma once

#include <array>
#include <cstdint>

#include <QString>

namespace kivora {

// Where the main window keeps its option lists and game mode from one run to the next, under
// RootKey::CurrentUser. Each list stores its selected position, not the entry's text.
inline const QString kSettingsKeyPath = QStringLiteral("Software\\Brandell\\Kivora");

inline const QString kNumberOfTickets = QStringLiteral("NumberOfTickets");
inline const QString kNumbersDrawn = QStringLiteral("NumbersDrawn");
inline const QString kNumbersTotal = QStringLiteral("NumbersTotal");
inline const QString kBonusPlayed = QStringLiteral("BonusPlayed");
inline const QString kBonusMax = QStringLiteral("BonusMax");
inline const QString kDrawBasedOn = QStringLiteral("DrawBasedOn");
inline const QString kDrawPreferred = QStringLiteral("DrawPreferred");
inline const QString kGameMode = QStringLiteral("GameMode"); // 0 Lotto, anything else Daily
// Written only once a game with two bonus numbers was chosen; missing means one.
inline const QString kBonusCount = QStringLiteral("BonusCount");

// The seven list positions in the order they are read and written; "GameMode" comes after them.
inline const std::array<QString, 7> kStoredListValues{
    kNumberOfTickets, kNumbersDrawn, kNumbersTotal, kBonusPlayed,
    kBonusMax,        kDrawBasedOn,  kDrawPreferred};

// The list position a stored value selects in a list of entryCount entries. The program never
// writes a value outside its list, so one that is (negative, past the end, or beyond a 16-bit
// position) is treated like a missing value: the first entry.
int16_t StoredPosition(int32_t value, int entryCount);

} // namespace kivora
