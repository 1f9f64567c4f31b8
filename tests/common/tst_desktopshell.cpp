#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/DesktopShell.h"

using namespace kivora;

// Only what DesktopShell finds out before it asks the desktop: whether the desktop then opens
// something depends on the machine.
class TestDesktopShell : public QObject {
    Q_OBJECT

private slots:
    void Open_localFileMissing_reportsWhatIsMissing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("result");
        QTest::newRow("file") << QStringLiteral("KV.html") << Shell::kFileNotFound;
        QTest::newRow("folder") << QStringLiteral("gone/KV.html") << Shell::kPathNotFound;
        QTest::newRow("folder of folder")
            << QStringLiteral("gone/too/KV.html") << Shell::kPathNotFound;
        QTest::newRow("file in place of folder")
            << QStringLiteral("plain/KV.html") << Shell::kPathNotFound;
    }
    void Open_localFileMissing_reportsWhatIsMissing() {
        QFETCH(QString, file);
        QFETCH(int, result);
        QTemporaryDir folder;
        QFile(folder.filePath(QStringLiteral("plain"))).open(QIODevice::WriteOnly);
        DesktopShell shell;
        QCOMPARE(shell.Open(QDir::toNativeSeparators(folder.filePath(file))), result);
    }

    void Open_fileUnreadable_reportsAccessDenied() {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("KV.html"));
        QFile(file).open(QIODevice::WriteOnly);
        QFile::setPermissions(file, QFile::WriteOwner);
        if (QFileInfo(file).isReadable()) {
            QSKIP("Permissions do not bind this user (root)");
        }
        DesktopShell shell;
        QCOMPARE(shell.Open(file), Shell::kAccessDenied);
    }
};

QTEST_MAIN(TestDesktopShell)
#include "tst_desktopshell.moc"
