#include "DesktopEntry.h"

#include <QTest>

class TestDesktopEntry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void execLineFromTheMainGroupOnly_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "[Desktop Entry]\nName=Calc\nExec=localc %U\nType=Application\n"
                               << "localc %U";
        QTest::newRow("crlf line ends") << "[Desktop Entry]\r\nExec=localc %U\r\nName=Calc\r\n"
                                        << "localc %U";
        QTest::newRow("blanks around the equals sign")
            << "[Desktop Entry]\nExec = /usr/bin/gnumeric %F\n"
            << "/usr/bin/gnumeric %F";
        QTest::newRow("action group before the main group")
            << "[Desktop Action new]\nExec=wrong --new\n[Desktop Entry]\nExec=right %f\n"
            << "right %f";
        QTest::newRow("action group after the main group")
            << "[Desktop Entry]\nName=x\n[Desktop Action new]\nExec=wrong --new\n"
            << "";
        QTest::newRow("no group header") << "Exec=orphan %f\n"
                                         << "";
        QTest::newRow("TryExec is not Exec") << "[Desktop Entry]\nTryExec=probe\nExec=real %u\n"
                                             << "real %u";
        QTest::newRow("key starting with Exec") << "[Desktop Entry]\nExecutable=nope\nExec=yes\n"
                                                << "yes";
        QTest::newRow("comment") << "[Desktop Entry]\n# Exec=commented\nExec=live\n"
                                 << "live";
        QTest::newRow("no Exec") << "[Desktop Entry]\nName=Nothing\n"
                                 << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void execLineFromTheMainGroupOnly()
    {
        QFETCH(QString, content);
        QFETCH(QString, exec);
        QCOMPARE(DesktopEntry::execLine(content), exec);
    }

    void programOfAnExecLine_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QString>("program");
        QTest::newRow("field code after") << "libreoffice --calc %U"
                                          << "libreoffice";
        QTest::newRow("absolute path") << "/usr/bin/gnumeric %F"
                                       << "/usr/bin/gnumeric";
        QTest::newRow("no arguments") << "firefox"
                                      << "firefox";
        QTest::newRow("blanks around") << "  firefox %u  "
                                       << "firefox";
        QTest::newRow("quoted with a blank") << "\"/opt/My Office/bin/calc\" %f"
                                             << "/opt/My Office/bin/calc";
        QTest::newRow("escaped quote") << "\"/opt/say \\\"hi\\\"/run\" %f"
                                       << "/opt/say \"hi\"/run";
        QTest::newRow("escaped dollar") << "\"/opt/a\\$b/run\""
                                        << "/opt/a$b/run";
        QTest::newRow("quoted only") << "\"/usr/bin/viewer\""
                                     << "/usr/bin/viewer";
        QTest::newRow("empty") << ""
                               << "";
    }
    void programOfAnExecLine()
    {
        QFETCH(QString, exec);
        QFETCH(QString, program);
        QCOMPARE(DesktopEntry::program(exec), program);
    }

    // From the file as it is on disk to the program to start.
    void programOfAFile_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("program");
        QTest::newRow("plain") << "[Desktop Entry]\nExec=localc %U\n"
                               << "localc";
        QTest::newRow("quoted") << "[Desktop Entry]\nExec=\"/opt/My Calc/calc\" --nologo %U\n"
                                << "/opt/My Calc/calc";
        // A backslash is escaped once as a string and again inside quotes: four stand for one.
        QTest::newRow("backslash inside quotes")
            << "[Desktop Entry]\nExec=\"/opt/a\\\\\\\\b/run\" %f\n"
            << "/opt/a\\b/run";
    }
    void programOfAFile()
    {
        QFETCH(QString, content);
        QFETCH(QString, program);
        QCOMPARE(DesktopEntry::program(DesktopEntry::execLine(content)), program);
    }
};

QTEST_GUILESS_MAIN(TestDesktopEntry)
#include "tst_desktopentry.moc"
