#include "StoreBatch.h"

#include <QSettings>

#ifndef Q_OS_WIN
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include "IniText.h"
#include "StoreFile.h"
#include "common/WholeFile.h"
#endif

namespace kivora {

namespace {

#ifndef Q_OS_WIN

void CommitIni(const QString& keyPath, const QList<QPair<QString, int32_t>>& values) {
    const std::optional<IniPlace> place = IniPlaceOf(keyPath);
    if (!place) {
        return;
    }
    const QString store = IniFileOf(*place);
    if (!IsOrdinaryStore(store) || !QDir().mkpath(QFileInfo(store).path())) {
        return;
    }
    // The lock QSettings takes for the same file. A live writer holds it for milliseconds; one
    // that never frees (a folder of that name, say) costs this one wait, not one per value.
    QLockFile lock(store + QStringLiteral(".lock"));
    if (!lock.tryLock(StoreBatch::kLockWaitMs)) {
        return;
    }
    // A linked store is written where the link points, and the link stays.
    const QFileInfo info(store);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : store;
    QByteArray old;
    if (QFileInfo::exists(target)) {
        QFile file(target);
        if (!IsOrdinaryStore(target) || !file.open(QIODevice::ReadOnly)) {
            return; // whatever is there stays as it is
        }
        old = file.read(kMaxStoreBytes + 1);
        if (file.error() != QFileDevice::NoError || old.size() != file.size() ||
            old.size() > kMaxStoreBytes) {
            return;
        }
    }
    QList<QPair<QString, QByteArray>> texts;
    for (const auto& [name, value] : values) {
        texts.append({name, QByteArray::number(value)});
    }
    WriteWholeFile(target, SetIniValues(old, place->section, texts), nullptr);
}

#endif

} // namespace

StoreBatch::StoreBatch(RootKey /*root*/, const QString& keyPath) : keyPath_(keyPath) {}

void StoreBatch::Set(const QString& valueName, int32_t value) {
    for (auto& entry : values_) {
        if (entry.first == valueName) {
            entry.second = value;
            return;
        }
    }
    values_.append({valueName, value});
}

void StoreBatch::Commit() {
    if (values_.isEmpty()) {
        return;
    }
#ifdef Q_OS_WIN
    // The registry writes each value on its own and has no file to lose.
    QSettings store(QStringLiteral("HKEY_CURRENT_USER\\") + keyPath_, QSettings::NativeFormat);
    for (const auto& [name, value] : values_) {
        store.setValue(name, static_cast<int>(value));
    }
    store.sync();
#else
    CommitIni(keyPath_, values_);
#endif
    values_.clear();
}

} // namespace kivora
