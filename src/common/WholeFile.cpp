#include "WholeFile.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QSaveFile>
#else
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#endif

namespace kivora {

// Qt 6.4's QSaveFile::commit() renames its temporary file over the target even after its own
// flush failed (a full disk), and ignores a failing fsync: the file was replaced by a cut-off
// copy while the save reported success. Both ways below check every step themselves.

#ifdef Q_OS_WIN

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
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 wrote = file.write(bytes.constData() + done, bytes.size() - done);
        if (wrote <= 0) {
            return fail();
        }
        done += wrote;
    }
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

#else

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    const auto fail = [&](int code) {
        if (error) {
            *error = QString::fromLocal8Bit(std::strerror(code));
        }
        return false;
    };
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    const QByteArray targetName = QFile::encodeName(target);

    mode_t mode = 0;
    if (struct stat existing{}; ::stat(targetName.constData(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    QByteArray name = targetName + ".XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return fail(errno);
    }
    int code = ::fchmod(fd, mode) == 0 ? 0 : errno;
    for (qsizetype done = 0; code == 0 && done < bytes.size();) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n == 0) {
            code = ENOSPC;
        } else if (errno != EINTR) {
            code = errno;
        }
    }
    struct stat written {};
    if (code == 0 && (::fsync(fd) != 0 || ::fstat(fd, &written) != 0)) {
        code = errno;
    }
    if (code == 0 && written.st_size != bytes.size()) {
        code = ENOSPC;
    }
    if (::close(fd) != 0 && code == 0) {
        code = errno;
    }
    if (code == 0 && ::rename(name.constData(), targetName.constData()) != 0) {
        code = errno;
    }
    if (code != 0) {
        ::unlink(name.constData());
        return fail(code);
    }
    // Make the rename itself durable; a folder that cannot be synced changes nothing.
    const int folder = ::open(QFile::encodeName(QFileInfo(target).path()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

#endif

} // namespace kivora
