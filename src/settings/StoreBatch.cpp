#include "StoreBatch.h"

#include <QSettings>

#ifndef Q_OS_WIN
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include "IniText.h"
#endif

namespace kivora {

namespace {

#ifndef Q_OS_WIN

// "Software\Maker\Program\Sub" is Maker/Program.conf; Sub and deeper keys are sections there.
// A path that names no maker has no place to live.
struct IniPlace {
    QString file;
    QString section; // empty: [General]
};

IniPlace PlaceOf(const QString& keyPath) {
    QStringList parts = keyPath.split(u'\\', Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.front().compare(u"Software", Qt::CaseInsensitive) == 0) {
        parts.removeFirst();
    }
    if (parts.isEmpty()) {
        return {};
    }
    const QString maker = parts.takeFirst();
    const QString program = parts.isEmpty() ? QString() : parts.takeFirst();
    // QSettings knows the folder (and any path a test sets for it).
    const QSettings locate(QSettings::NativeFormat, QSettings::UserScope, maker, program);
    return {locate.fileName(), parts.join(u'/')};
}

// Writes `bytes` to a new file beside `path` and renames it over `path`, only once every byte
// is known to be on disk. Qt 6.4's QSaveFile (and so QSettings::sync) renames its temporary file
// over the target even when the final flush failed, and ignores a failing fsync: on a full disk
// the store was replaced by a truncated file.
bool ReplaceFile(const QString& path, const QByteArray& bytes, mode_t mode) {
    QByteArray name = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return false;
    }
    bool ok = ::fchmod(fd, mode) == 0;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n == 0 || errno != EINTR) {
            ok = false;
        }
    }
    struct stat written {};
    ok = ok && ::fsync(fd) == 0 && ::fstat(fd, &written) == 0 && written.st_size == bytes.size();
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(name.constData(), QFile::encodeName(path).constData()) == 0;
    if (!ok) {
        ::unlink(name.constData());
        return false;
    }
    // Make the rename itself durable; a folder that cannot be synced changes nothing.
    const int folder = ::open(QFile::encodeName(QFileInfo(path).path()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

void CommitIni(const QString& keyPath, const QList<QPair<QString, int32_t>>& values) {
    const IniPlace place = PlaceOf(keyPath);
    if (place.file.isEmpty() || !QDir().mkpath(QFileInfo(place.file).path())) {
        return;
    }
    // The lock QSettings takes for the same file. A live writer holds it for milliseconds; one
    // that never frees (a folder of that name, say) costs this one wait, not one per value.
    QLockFile lock(place.file + QStringLiteral(".lock"));
    if (!lock.tryLock(StoreBatch::kLockWaitMs)) {
        return;
    }
    // A linked store is written where the link points, and the link stays.
    const QFileInfo info(place.file);
    const QString target =
        info.isSymLink() && info.exists() ? info.canonicalFilePath() : place.file;
    QByteArray old;
    mode_t mode = 0;
    if (QFileInfo::exists(target)) {
        QFile file(target);
        struct stat st {};
        if (!QFileInfo(target).isFile() || !file.open(QIODevice::ReadOnly) ||
            ::fstat(file.handle(), &st) != 0) {
            return; // whatever is there stays as it is
        }
        old = file.readAll();
        if (file.error() != QFileDevice::NoError || old.size() != st.st_size) {
            return;
        }
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    QList<QPair<QString, QByteArray>> texts;
    for (const auto& [name, value] : values) {
        texts.append({name, QByteArray::number(value)});
    }
    ReplaceFile(target, SetIniValues(old, place.section, texts), mode);
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
