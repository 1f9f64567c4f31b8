#include "Registry.h"

#include <limits>
#include <memory>

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "IniText.h"
#include "StoreBatch.h"
#include "StoreFile.h"

namespace kivora {

namespace {

#ifdef Q_OS_WIN

std::unique_ptr<QSettings> OpenKey(const QString& keyPath) {
    // QSettings writes an int as REG_DWORD and reads a REG_DWORD back as an int.
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\") + keyPath,
                                       QSettings::NativeFormat);
}

#else

// The INI file and section of the key; see IniPlaceOf. Only the user's own file is read, and
// only when it is an ordinary store: QSettings would block on a FIFO and crawl through a huge file.
std::unique_ptr<QSettings> OpenKey(const QString& keyPath) {
    const std::optional<IniPlace> place = IniPlaceOf(keyPath);
    if (!place) {
        return nullptr;
    }
    const QString file = IniFileOf(*place);
    if (!IsOrdinaryStore(file)) {
        return nullptr;
    }
    auto store = std::make_unique<QSettings>(file, QSettings::IniFormat);
    if (!place->section.isEmpty()) {
        store->beginGroup(place->section);
    }
    return store;
}

// A DWORD is plain decimal text: an optional sign and digits that fit in 32 bits. Anything else
// (blanks inside, decimals, hex, empty text, overflow) reads as 0. QSettings has already trimmed
// blanks around an unquoted value.
int32_t ParseDecimal(const QString& text) {
    constexpr int64_t kLimit = int64_t{1} << 31;
    const bool negative = text.startsWith(u'-');
    const qsizetype first = negative || text.startsWith(u'+') ? 1 : 0;
    if (text.size() == first) {
        return 0;
    }
    int64_t magnitude = 0;
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9') {
            return 0;
        }
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > kLimit) {
            return 0;
        }
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) {
        return 0;
    }
    return static_cast<int32_t>(value);
}

#endif

int32_t DwordOf(const QVariant& value) {
    // An int comes from the registry or from a write of this process still cached by QSettings.
    if (value.typeId() == QMetaType::Int) {
        return value.toInt();
    }
#ifndef Q_OS_WIN
    if (value.typeId() == QMetaType::QString) {
        return ParseDecimal(value.toString());
    }
#endif
    return 0;
}

} // namespace

// The current user's store is the only root there is, so the root takes no part below.
int32_t ReadDword(RootKey /*root*/, const QString& keyPath, const QString& valueName) {
    const std::unique_ptr<QSettings> store = OpenKey(keyPath);
    return store ? DwordOf(store->value(valueName)) : 0;
}

void WriteDword(RootKey root, const QString& keyPath, const QString& valueName, int32_t value) {
    StoreBatch batch(root, keyPath);
    batch.Set(valueName, value);
    batch.Commit();
}

} // namespace kivora
