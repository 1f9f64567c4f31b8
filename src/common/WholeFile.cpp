#include "WholeFile.h"

#include <QSaveFile>

namespace kivora {

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    const auto fail = [&] {
        if (error) {
            *error = file.errorString();
        }
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) {
        return fail();
    }
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 wrote = file.write(bytes.constData() + done, bytes.size() - done);
        if (wrote <= 0) {
            return fail();
        }
        done += wrote;
    }
    // Qt 6.4's commit() can rename the file into place after its own flush failed (a full
    // disk), so flush and check here, and never commit a file that saw an error.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        return fail();
    }
    if (!file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

} // namespace kivora
