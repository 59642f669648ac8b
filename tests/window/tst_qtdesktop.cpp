#include "shell/ControlNames.h"
#include "shell/DesktopServices.h"
#include "window/main/QtDesktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace ControlNames;

namespace
{
bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

// Stands in for the desktop's opener: QDesktopServices hands it what it would hand xdg-open.
class OpenerStandIn : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> received;
public Q_SLOTS:
    void open(const QUrl& url) { received.append(url); }
};
Q_DECLARE_METATYPE(Desktop::Icon)
Q_DECLARE_METATYPE(Desktop::Buttons)

class TestQtDesktop : public QObject
{
    Q_OBJECT
private Q_SLOTS:
#ifndef Q_OS_WIN
    // Files go to the desktop's opener with the user's own associations (here a private
    // configuration with one entry, as a Flatpak or Snap installation writes it); a file whose
    // type has no program is refused before anything is started.
    void openUrlUsesTheDesktopsOpener_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("exec");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QByteArray>("more"); // more lines of the entry
        QTest::newRow("flatpak entry")
            << "KNA1.csv"
            << "flatpak run --branch=stable org.example.Calc %U" << true << QByteArray();
        QTest::newRow("snap entry")
            << "KNA1.csv"
            << "env BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/calc.desktop "
               "/snap/bin/calc %U"
            << true << QByteArray();
        QTest::newRow("blanks in the name") << "My Reports 2007.csv"
                                            << "/usr/bin/calc %f" << true << QByteArray();
        QTest::newRow("no program for the type") << "Fields.zorvtest"
                                                 << "/usr/bin/calc %f" << false << QByteArray();
        // A program in a terminal shows nothing when started from a window.
        QTest::newRow("a terminal program") << "KNA1.csv"
                                            << "vi %f" << false << QByteArray("Terminal=true\n");
        QTest::newRow("a terminal program, with blanks")
            << "KNA1.csv"
            << "vi %f" << false << QByteArray("Terminal = true\n");
        QTest::newRow("not in a terminal")
            << "KNA1.csv"
            << "/usr/bin/calc %f" << true << QByteArray("Terminal=false\n");
        QTest::newRow("a terminal only in another group")
            << "KNA1.csv"
            << "/usr/bin/calc %f" << true
            << QByteArray("[Desktop Action Edit]\nExec=vi %f\nTerminal=true\n");
    }
    void openUrlUsesTheDesktopsOpener()
    {
        QFETCH(QString, file);
        QFETCH(QString, exec);
        QFETCH(bool, opened);
        QFETCH(QByteArray, more);
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
            QSKIP("xdg-mime (xdg-utils) is not installed");
        // Types are learnt before the environment is narrowed to the private configuration.
        QCOMPARE(QMimeDatabase().mimeTypeForFile(QStringLiteral("a.csv")).name(),
                 QStringLiteral("text/csv"));
        QTemporaryDir home;
        const QString config = home.filePath(QStringLiteral("config"));
        const QString data = home.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(data + QStringLiteral("/applications")));
        QVERIFY(QDir().mkpath(config));
        QVERIFY(writeFile(config + QStringLiteral("/mimeapps.list"),
                          "[Default Applications]\ntext/csv=org.example.Calc.desktop\n"));
        QVERIFY(writeFile(data + QStringLiteral("/applications/org.example.Calc.desktop"),
                          "[Desktop Entry]\nType=Application\nName=Calc\nExec=" + exec.toUtf8() +
                              "\nMimeType=text/csv;\n" + more));
        const QByteArray saved[] = {qgetenv("XDG_CONFIG_HOME"), qgetenv("XDG_DATA_HOME"),
                                    qgetenv("XDG_CONFIG_DIRS"), qgetenv("XDG_DATA_DIRS"),
                                    qgetenv("XDG_CURRENT_DESKTOP")};
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
        qputenv("XDG_DATA_HOME", data.toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", home.filePath(QStringLiteral("none")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", home.filePath(QStringLiteral("none")).toLocal8Bit());
        qunsetenv("XDG_CURRENT_DESKTOP");
        OpenerStandIn opener;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &opener, "open");

        const QString path = home.filePath(file);
        QVERIFY(writeFile(path, "KNA1-KUNNR;KNA1-NAME1\r\n"));
        QtDesktop desktop;
        const bool result = desktop.openUrl(QUrl::fromLocalFile(path));
        const bool web = desktop.openUrl(QUrl(QStringLiteral("https://zorv.example.com/")));

        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        const char* names[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS",
                               "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP"};
        for (int i = 0; i < 5; ++i) {
            if (saved[i].isNull())
                qunsetenv(names[i]);
            else
                qputenv(names[i], saved[i]);
        }

        QCOMPARE(result, opened);
        QVERIFY(web);
        QList<QUrl> expected;
        if (opened)
            expected.append(QUrl::fromLocalFile(path));
        expected.append(QUrl(QStringLiteral("https://zorv.example.com/")));
        QCOMPARE(opener.received, expected);
    }
#endif

    void nameFiltersFromDialogFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
#ifdef Q_OS_WIN
        const QString all = QStringLiteral("All Files (*.*)");
#else
        // Elsewhere a file need not have a dot to count as any file.
        const QString all = QStringLiteral("All Files (*)");
#endif
        QTest::newRow("text kind")
            << DesktopServices::filterText(2) << QStringList{QStringLiteral("Text (*.txt)"), all};
        QTest::newRow("table kind")
            << DesktopServices::filterText(4)
            << QStringList{QStringLiteral("Text (*.csv)"), QStringLiteral("Text (*.txt)"),
                           QStringLiteral("Excel (*.xls)"), all};
        QTest::newRow("several patterns") << "Pictures (*.bmp;*.ico)|*.bmp;*.ico"
                                          << QStringList{QStringLiteral("Pictures (*.bmp *.ico)")};
        QTest::newRow("description without patterns")
            << "Documents|*.qtb" << QStringList{QStringLiteral("Documents (*.qtb)")};
        QTest::newRow("pattern taken from the pattern part")
            << "Query (*.txt)|*.qtb" << QStringList{QStringLiteral("Query (*.qtb)")};
        QTest::newRow("dangling description ignored")
            << "Text (*.txt)|*.txt|Other" << QStringList{QStringLiteral("Text (*.txt)")};
        QTest::newRow("no filter") << DesktopServices::filterText(0) << QStringList{};
    }
    void everyMessageBoxHasAnIcon_data()
    {
        using Icon = Desktop::Icon;
        using Buttons = Desktop::Buttons;
        QTest::addColumn<Icon>("asked");
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<Icon>("shown");
        QTest::newRow("a notice") << Icon::None << Buttons::Ok << Icon::Information;
        QTest::newRow("a yes-no question") << Icon::None << Buttons::YesNo << Icon::Question;
        QTest::newRow("a save question") << Icon::None << Buttons::YesNoCancel << Icon::Question;
        QTest::newRow("ok or cancel") << Icon::None << Buttons::OkCancel << Icon::Question;
        QTest::newRow("a warning stays") << Icon::Warning << Buttons::Ok << Icon::Warning;
        QTest::newRow("an error stays") << Icon::Critical << Buttons::YesNo << Icon::Critical;
    }
    void everyMessageBoxHasAnIcon()
    {
        QFETCH(Desktop::Icon, asked);
        QFETCH(Desktop::Buttons, buttons);
        QFETCH(Desktop::Icon, shown);
        QCOMPARE(QtDesktop::iconFor(asked, buttons), shown);
    }

    // The save dialog says what will be written in a line of its own under the file name, in
    // the dialog itself; a dialog without a note has no such line.
    void aSaveDialogShowsItsNoteUnderTheName_data()
    {
        QTest::addColumn<QString>("note");
        QTest::newRow("the row limit") << "Writes 20 rows (the row limit)";
        QTest::newRow("every row") << "Grava todas as linhas (All Rows)";
        QTest::newRow("no note") << "";
    }
    void aSaveDialogShowsItsNoteUnderTheName()
    {
        QFETCH(QString, note);
        QTemporaryDir dir;
        Desktop::FileRequest request;
        request.mode = Desktop::FileRequest::Mode::Save;
        request.title = QStringLiteral("Save My Table as");
        request.filter = QStringLiteral("Text (*.csv)|*.csv|Text (*.txt)|*.txt");
        request.fileName = dir.filePath(QStringLiteral("KNA1"));
        request.note = note;
        QStringList labels;
        bool shown = false;
        bool underTheName = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->objectName() != FileDialog::kNote)
                    continue;
                labels.append(label->text());
                shown = label->isVisible();
                const auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                underTheName = name && label->mapTo(dialog, QPoint(0, 0)).y() >=
                                           name->mapTo(dialog, QPoint(0, name->height())).y();
            }
            dialog->reject();
        });
        QtDesktop desktop;
        QVERIFY(!desktop.chooseFile(request));
        if (note.isEmpty()) {
            QCOMPARE(labels, QStringList{});
            return;
        }
        QCOMPARE(labels, QStringList{note});
        QVERIFY(shown);
        QVERIFY(underTheName);
    }

    void nameFiltersFromDialogFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(QtDesktop::nameFilters(filter), expected);
    }
};

QTEST_MAIN(TestQtDesktop)
#include "tst_qtdesktop.moc"
