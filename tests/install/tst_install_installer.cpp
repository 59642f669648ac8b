#include "InstallFixtures.h"
#include "Installer.h"
#include "ScriptedPlatform.h"

#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace InstallFixtures;

namespace
{

// Limits the size of files this process writes, for the lifetime of the object.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

enum class WriteBlock { ReadOnlyFolder, ListIsFolder, FileTooLarge, FolderMissing };

} // namespace

Q_DECLARE_METATYPE(WriteBlock)

class TestInstaller : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_own;
    QTemporaryDir m_root;
    ScriptedPlatform m_platform;

    QString listPath() const { return m_own.filePath("setup.lst"); }
    QString setupPath() const { return m_own.filePath("setup.exe"); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_own.isValid() && m_root.isValid());
        QDir(m_own.path()).removeRecursively();
        QDir(m_root.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_own.path()) && QDir().mkpath(m_root.path()));
        m_platform = ScriptedPlatform();
        m_platform.own = m_own.path();
        m_platform.root = m_root.path();
    }

    void writesListThenStartsSetup_data()
    {
        QTest::addColumn<bool>("sapGuiPresent");
        QTest::newRow("SAP GUI present") << true;
        QTest::newRow("SAP GUI only elsewhere") << false;
    }

    void writesListThenStartsSetup()
    {
        QFETCH(bool, sapGuiPresent);
        const QString sapLogon = m_root.filePath("SAP/FrontEnd/SAPgui/saplogon.exe");
        if (sapGuiPresent)
            QVERIFY(touch(m_root.path(), "SAP/FrontEnd/SAPgui/saplogon.exe"));
        QVERIFY(touch(m_own.path(), "setup.exe"));
        // An older, longer list must be replaced completely.
        QVERIFY(touch(m_own.path(), "setup.lst", QByteArray(5000, 'x')));
        QByteArray listWhenStarted;
        m_platform.onStart = [&] { listWhenStarted = readAll(listPath()); };

        Installer installer(m_platform);
        const auto failure = installer.install();

        QVERIFY2(!failure, failure ? qPrintable(failure->message()) : "");
        QCOMPARE(installer.sapLogonPath(), sapGuiPresent ? sapLogon : QString());
        QCOMPARE(listWhenStarted, expectedList(sapGuiPresent));
        QCOMPARE(m_platform.started, QStringList{setupPath()});
        QCOMPARE(m_platform.workingFolders, QStringList{m_own.path()});
        QCOMPARE(installer.targetPath(), setupPath());
    }

    void listNotWritable_data()
    {
        QTest::addColumn<WriteBlock>("block");
        QTest::newRow("read-only folder") << WriteBlock::ReadOnlyFolder;
        QTest::newRow("list path is a folder") << WriteBlock::ListIsFolder;
        QTest::newRow("disk refuses the size") << WriteBlock::FileTooLarge;
        QTest::newRow("own folder gone") << WriteBlock::FolderMissing;
    }

    // The list is written whole or not at all, and the setup program never reads a bad one.
    void listNotWritable()
    {
        QFETCH(WriteBlock, block);
        QVERIFY(touch(m_own.path(), "setup.exe"));
        const QByteArray earlier("an earlier list\r\n");
        if (block != WriteBlock::ListIsFolder && block != WriteBlock::FolderMissing)
            QVERIFY(touch(m_own.path(), "setup.lst", earlier));

        Installer installer(m_platform);
        std::optional<InstallError> failure;
        switch (block) {
        case WriteBlock::ReadOnlyFolder: {
            QFile::setPermissions(m_own.path(), QFile::ReadOwner | QFile::ExeOwner);
            QFile probe(m_own.filePath("probe"));
            const bool stillWritable = probe.open(QIODevice::WriteOnly);
            if (!stillWritable)
                failure = installer.install();
            QFile::setPermissions(m_own.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            if (stillWritable)
                QSKIP("running with rights that ignore folder permissions");
            break;
        }
        case WriteBlock::ListIsFolder:
            QVERIFY(QDir(m_own.path()).mkdir("setup.lst"));
            failure = installer.install();
            break;
        case WriteBlock::FileTooLarge: {
            const FileSizeLimit limit(100);
            QVERIFY(limit.active());
            failure = installer.install();
            break;
        }
        case WriteBlock::FolderMissing:
            m_platform.own = m_own.filePath("gone");
            failure = installer.install();
            break;
        }

        QVERIFY(failure);
        QCOMPARE(failure->number(), 75);
        const QString list = QDir::toNativeSeparators(QDir(m_platform.own).filePath("setup.lst"));
        QVERIFY2(failure->message().startsWith("Error 75: "), qPrintable(failure->message()));
        QVERIFY2(failure->message().endsWith(" on " + list), qPrintable(failure->message()));
        QVERIFY(!failure->description().isEmpty());
        QCOMPARE(installer.targetPath(), list);
        QVERIFY(m_platform.started.isEmpty());
        if (block == WriteBlock::ReadOnlyFolder || block == WriteBlock::FileTooLarge)
            QCOMPARE(readAll(listPath()), earlier);
        const QStringList leftovers = QDir(m_own.path()).entryList(QDir::Files);
        QVERIFY2(leftovers.size() <= 2, qPrintable(leftovers.join(", ")));
    }

    void missingSetupKeepsList()
    {
        Installer installer(m_platform);
        const auto failure = installer.install();
        QVERIFY(failure);
        QCOMPARE(failure->message(), "Error 53: File not found on " + setupPath());
        QCOMPARE(readAll(listPath()), expectedList(false));
        QVERIFY(m_platform.started.isEmpty());
    }

    void setupNotStartable()
    {
        QVERIFY(touch(m_own.path(), "setup.exe"));
        m_platform.startFailure = QStringLiteral("Exec format error");
        Installer installer(m_platform);
        const auto failure = installer.install();
        QVERIFY(failure);
        QCOMPARE(failure->message(), "Error 75: Exec format error on " + setupPath());
        QCOMPARE(readAll(listPath()), expectedList(false));
    }

    void secondRunAfterMissingSetup()
    {
        Installer installer(m_platform);
        QVERIFY(installer.install());
        QCOMPARE(readAll(listPath()), expectedList(false));

        // The user installs SAP GUI and puts the setup program in place, then tries again.
        QVERIFY(touch(m_root.path(), "SAPgui/saplogon.exe"));
        QVERIFY(touch(m_own.path(), "setup.exe"));
        QVERIFY(!installer.install());
        QCOMPARE(readAll(listPath()), expectedList(true));
        QCOMPARE(m_platform.started.size(), 1);
    }

    void secondRunAfterFailedWrite()
    {
        QVERIFY(touch(m_root.path(), "saplogon.exe"));
        QVERIFY(touch(m_own.path(), "setup.exe"));
        QVERIFY(QDir(m_own.path()).mkdir("setup.lst"));
        Installer installer(m_platform);
        QVERIFY(installer.install());
        QVERIFY(!installer.sapLogonPath().isEmpty());

        QVERIFY(QDir(m_own.path()).rmdir("setup.lst"));
        QVERIFY(QFile::remove(m_root.filePath("saplogon.exe")));
        QVERIFY(!installer.install());
        QCOMPARE(installer.sapLogonPath(), QString());
        QCOMPARE(readAll(listPath()), expectedList(false));
    }
};

QTEST_GUILESS_MAIN(TestInstaller)
#include "tst_install_installer.moc"
