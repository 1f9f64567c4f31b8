#pragma once

#include <cstdint>

#include <QList>
#include <QPair>
#include <QString>

#include "Registry.h"

namespace kivora {

// Values for one key of the store, written together as one save: one lock, one new file, one
// rename. Either every value is stored or the store stays exactly as it was; nothing is
// reported. WriteDword is a batch of one.
class StoreBatch {
public:
    StoreBatch(RootKey root, const QString& keyPath);

    void Set(const QString& valueName, int32_t value);
    void Commit();

    // How long a save waits for another writer's lock before it gives up.
    static constexpr int kLockWaitMs = 1000;

private:
    QString keyPath_;
    QList<QPair<QString, int32_t>> values_;
};

} // namespace kivora
