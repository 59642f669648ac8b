#include "ScriptedDesktop.h"
#include "shell/AppState.h"
#include "shell/DesktopServices.h"
#include "shell/ShippedFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace
{
const QString kTextFilter = QStringLiteral("Text (*.txt)|*.txt|All Files (*.*)|*.*");
const QString kTableFilter =
    QStringLiteral("Text (*.csv)|*.csv|Text (*.txt)|*.txt|Excel (*.xls)|*.xls|All Files (*.*)|*.*");
const QString kSapLogonNotFound = QStringLiteral(" Saplogon.exe not found in c:\\ neither in d:\\");

// Also notes whether the busy pointer is up at each message.
class WatchingDesktop : public ScriptedDesktop
{
public:
    QList<int> busyAtMessage;

    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override
    {
        busyAtMessage.append(busyDepth);
        return ScriptedDesktop::message(text, buttons, icon, title);
    }
};

// One desktop, state and program folder per test.
struct Fixture {
    QTemporaryDir folder;
    WatchingDesktop desktop;
    AppState state;
    QStringList statuses;
    DesktopServices services{desktop, state, folder.path(),
                             [this](const QString& text) { statuses.append(text); }};

    Fixture(bool en = true, bool pt = false)
    {
        state.languageEnglish = en;
        state.languagePortuguese = pt;
    }
};

void addLanguageColumns()
{
    QTest::addColumn<bool>("en");
    QTest::addColumn<bool>("pt");
}
} // namespace

class TestDesktopServices : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The common dialog

    void filterByKind_data()
    {
        QTest::addColumn<QList<int>>("kinds");
        QTest::addColumn<QString>("filter");
        QTest::newRow("text") << QList<int>{2} << kTextFilter;
        QTest::newRow("table") << QList<int>{4} << kTableFilter;
        QTest::newRow("table after text") << QList<int>{2, 4} << kTableFilter;
        QTest::newRow("other kind keeps text") << QList<int>{2, 0} << kTextFilter;
        QTest::newRow("other kind keeps table") << QList<int>{4, 3} << kTableFilter;
        QTest::newRow("no filter yet") << QList<int>{0} << QString();
    }
    void filterByKind()
    {
        QFETCH(QList<int>, kinds);
        QFETCH(QString, filter);
        Fixture f;
        for (int kind : kinds)
            f.services.chooseFileToOpen(QStringLiteral("a.txt"), kind);
        QCOMPARE(f.desktop.fileRequests.size(), kinds.size());
        QCOMPARE(f.desktop.fileRequests.last().filter, filter);
        QCOMPARE(f.services.dialogFilter(), filter);
        // The save dialog follows the same rule.
        f.services.chooseFileToSave(QStringLiteral("b.txt"), 9);
        QCOMPARE(f.desktop.fileRequests.last().filter, filter);
    }

    void dialogTitlesByLanguage_data()
    {
        addLanguageColumns();
        QTest::addColumn<QString>("openTitle");
        QTest::addColumn<QString>("saveTitle");
        QTest::newRow("English") << true << false << "Open"
                                 << "Save As";
        QTest::newRow("Portuguese") << false << true << "Abrir"
                                    << "Salvar como";
        QTest::newRow("both end in Portuguese") << true << true << "Abrir"
                                                << "Salvar como";
    }
    void dialogTitlesByLanguage()
    {
        QFETCH(bool, en);
        QFETCH(bool, pt);
        QFETCH(QString, openTitle);
        QFETCH(QString, saveTitle);
        Fixture f(en, pt);
        f.services.chooseFileToOpen(QString(), 2);
        f.services.chooseFileToSave(QString(), 2);
        QCOMPARE(f.desktop.fileRequests.size(), 2);
        QCOMPARE(f.desktop.fileRequests.at(0).title, openTitle);
        QCOMPARE(f.desktop.fileRequests.at(1).title, saveTitle);
    }

    void onlySaveAsksBeforeOverwriting()
    {
        Fixture f;
        f.services.chooseFileToOpen(QStringLiteral("in.qtb"), 2);
        f.services.chooseFileToSave(QStringLiteral("out.qtb"), 2);
        f.services.chooseTableFile();
        const auto& requests = f.desktop.fileRequests;
        QCOMPARE(requests.size(), 3);
        QCOMPARE(requests.at(0).mode, Desktop::FileRequest::Mode::Open);
        QVERIFY(!requests.at(0).confirmOverwrite);
        QCOMPARE(requests.at(1).mode, Desktop::FileRequest::Mode::Save);
        QVERIFY(requests.at(1).confirmOverwrite);
        QCOMPARE(requests.at(2).mode, Desktop::FileRequest::Mode::Open);
        QVERIFY(!requests.at(2).confirmOverwrite);
    }

    void chosenPathIsReadFromTheDialog()
    {
        Fixture f;
        f.desktop.files.enqueue(QStringLiteral("/data/My Query.qtb"));
        QCOMPARE(f.services.chooseFileToOpen(QStringLiteral("start.qtb"), 2), 1);
        QCOMPARE(f.desktop.fileRequests.last().fileName, QStringLiteral("start.qtb"));
        QCOMPARE(f.services.dialogFileName(), QStringLiteral("/data/My Query.qtb"));

        f.desktop.files.enqueue(QStringLiteral("/data/saved.qtb"));
        QCOMPARE(f.services.chooseFileToSave(QStringLiteral("new.qtb"), 2), 1);
        QCOMPARE(f.desktop.fileRequests.last().fileName, QStringLiteral("new.qtb"));
        QCOMPARE(f.services.dialogFileName(), QStringLiteral("/data/saved.qtb"));
    }

    void cancelReturnsZero()
    {
        Fixture f;
        QCOMPARE(f.services.chooseFileToOpen(QStringLiteral("a.qtb"), 2), 0);
        QCOMPARE(f.services.chooseFileToSave(QStringLiteral("b.qtb"), 4), 0);
        QCOMPARE(f.desktop.fileRequests.size(), 2);
        QVERIFY(f.desktop.starts.isEmpty());
        QVERIFY(f.desktop.messages.isEmpty());
    }

    void tableFileIsKeptOnCancelAndSetOnChoice()
    {
        Fixture f;
        f.state.lastTableFile = QStringLiteral("C:\\old\\table.csv");
        QCOMPARE(f.services.chooseTableFile(), 0);
        QCOMPARE(f.state.lastTableFile, QStringLiteral("C:\\old\\table.csv"));
        QCOMPARE(f.desktop.fileRequests.last().fileName, QStringLiteral("C:\\old\\table.csv"));
        QCOMPARE(f.desktop.fileRequests.last().filter, kTableFilter);

        f.desktop.files.enqueue(QStringLiteral("/home/maria/new table.xls"));
        QCOMPARE(f.services.chooseTableFile(), 1);
        QCOMPARE(f.state.lastTableFile, QStringLiteral("/home/maria/new table.xls"));
        QCOMPARE(f.desktop.fileRequests.last().fileName, QStringLiteral("C:\\old\\table.csv"));
    }

    void openTableInExcelTitleStaysForTheNextDialog_data()
    {
        addLanguageColumns();
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("openTitle");
        QTest::newRow("English") << true << false << "Open Table in Excel"
                                 << "Open";
        QTest::newRow("Portuguese") << false << true << "Abrir Tabela no Excel"
                                    << "Abrir";
    }
    void openTableInExcelTitleStaysForTheNextDialog()
    {
        QFETCH(bool, en);
        QFETCH(bool, pt);
        QFETCH(QString, title);
        QFETCH(QString, openTitle);
        Fixture f(en, pt);
        f.services.chooseAndOpenTableFile(); // cancelled
        QCOMPARE(f.desktop.fileRequests.last().title, title);
        QCOMPARE(f.desktop.fileRequests.last().filter, kTableFilter);
        QVERIFY(f.desktop.starts.isEmpty());
        QVERIFY(f.statuses.isEmpty());

        // A routine that sets no title shows the one left behind.
        f.services.chooseTableFile();
        QCOMPARE(f.desktop.fileRequests.last().title, title);
        QCOMPARE(f.services.dialogTitle(), title);

        // One that sets its own replaces it.
        f.services.chooseFileToOpen(QString(), 2);
        QCOMPARE(f.desktop.fileRequests.last().title, openTitle);
    }

    void openTableInExcelOpensTheChosenFile()
    {
        Fixture f;
        f.desktop.associations.insert(QStringLiteral("csv"), QStringLiteral("/usr/bin/calc"));
        f.desktop.files.enqueue(QStringLiteral("/tmp/KNA1 export.csv"));
        f.services.chooseAndOpenTableFile();
        QCOMPARE(f.state.lastTableFile, QStringLiteral("/tmp/KNA1 export.csv"));
        QCOMPARE(f.desktop.starts.size(), 1);
        QCOMPARE(f.desktop.starts.at(0).program, QStringLiteral("/usr/bin/calc"));
        QCOMPARE(f.desktop.starts.at(0).arguments,
                 QStringList{QStringLiteral("/tmp/KNA1 export.csv")});
    }

    // Opening files with their programs

    void openWithAssociatedProgram_data()
    {
        addLanguageColumns();
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("opened");
        QTest::newRow("plain, English") << true << false << "/tmp/kna1.csv"
                                        << "Opening "
                                        << " opened";
        QTest::newRow("blanks, English") << true << false << "/tmp/My Reports/KNA1 2007.csv"
                                         << "Opening "
                                         << " opened";
        QTest::newRow("plain, CT") << false << false << "/tmp/kna1.csv"
                                   << "Opening "
                                   << " opened";
        QTest::newRow("plain, Portuguese") << false << true << "/tmp/kna1.csv"
                                           << "Abrindo "
                                           << " aberto";
        QTest::newRow("both flags end in Portuguese") << true << true << "/tmp/kna1.csv"
                                                      << "Abrindo "
                                                      << " aberto";
    }
    void openWithAssociatedProgram()
    {
        QFETCH(bool, en);
        QFETCH(bool, pt);
        QFETCH(QString, path);
        QFETCH(QString, opening);
        QFETCH(QString, opened);
        Fixture f(en, pt);
        f.desktop.associations.insert(QStringLiteral("csv"),
                                      QStringLiteral("/opt/office/program/scalc"));
        f.services.openWithAssociatedProgram(path);
        // The file goes to the desktop's opener whole, never split into a command line here.
        QCOMPARE(f.desktop.openedUrls, QList<QUrl>{QUrl::fromLocalFile(path)});
        QCOMPARE(f.desktop.starts.size(), 1);
        QCOMPARE(f.desktop.starts.at(0).arguments, QStringList{path});
        // The status texts follow the chosen language.
        QCOMPARE(f.statuses, (QStringList{opening + path + "...", path + opened}));
        QVERIFY(f.desktop.messages.isEmpty());
    }

    // A file that cannot be opened is named, and its folder is offered instead: Yes opens
    // the folder with the desktop's file manager, No leaves it; a folder that cannot be
    // opened either is named too.
    void couldNotOpen_data()
    {
        addLanguageColumns();
        QTest::addColumn<bool>("associated");
        QTest::addColumn<bool>("yes");         // the answer to the folder's offer
        QTest::addColumn<bool>("fileManager"); // a program opens folders
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("opened"); // the addresses handed to the opener
        const QString path = QStringLiteral("/tmp/x y.dat");
        const QString en = "Vub could not open " + path;
        const QString pt = "Vub não pode abrir " + path;
        const QString offer = QStringLiteral("Open the folder that holds it instead?\n/tmp");
        const QString offerPt = QStringLiteral("Abrir a pasta que o contém?\n/tmp");
        QTest::newRow("no program, English, folder declined")
            << true << false << false << false << true << QStringList{en, offer} << 1;
        QTest::newRow("no program, Portuguese, folder declined")
            << false << true << false << false << true << QStringList{pt, offerPt} << 1;
        QTest::newRow("no program, both, folder declined")
            << true << true << false << false << true << QStringList{en, pt, offerPt} << 1;
        QTest::newRow("program fails, English, folder declined")
            << true << false << true << false << true << QStringList{en, offer} << 1;
        QTest::newRow("no program, the folder opened")
            << true << false << false << true << true << QStringList{en, offer} << 2;
        QTest::newRow("no program, nor for the folder")
            << true << false << false << true << false
            << QStringList{en, offer, QStringLiteral("Vub could not open /tmp")} << 2;
    }
    void couldNotOpen()
    {
        QFETCH(bool, en);
        QFETCH(bool, pt);
        QFETCH(bool, associated);
        QFETCH(bool, yes);
        QFETCH(bool, fileManager);
        QFETCH(QStringList, messages);
        QFETCH(int, opened);
        const QString path = QStringLiteral("/tmp/x y.dat");
        Fixture f(en, pt);
        if (associated) {
            f.desktop.associations.insert(QStringLiteral("dat"), QStringLiteral("/bin/viewer"));
            f.desktop.failingPrograms.insert(QStringLiteral("/bin/viewer"));
        }
        if (fileManager)
            f.desktop.associations.insert(QString(), QStringLiteral("/bin/files"));
        // The notices are answered with OK; the offer with Yes or No.
        const int offerAt = static_cast<int>(messages.size()) - (yes && !fileManager ? 2 : 1);
        for (int i = 0; i < offerAt; ++i)
            f.desktop.answers.enqueue(Desktop::Answer::Ok);
        f.desktop.answers.enqueue(yes ? Desktop::Answer::Yes : Desktop::Answer::No);
        f.desktop.answers.enqueue(Desktop::Answer::Ok);
        f.services.openWithAssociatedProgram(path);
        QList<QUrl> urls{QUrl::fromLocalFile(path)};
        if (opened == 2)
            urls.append(QUrl::fromLocalFile(QStringLiteral("/tmp")));
        QCOMPARE(f.desktop.openedUrls, urls);
        QCOMPARE(f.desktop.messageTexts(), messages);
        QCOMPARE(f.desktop.messages.at(offerAt).buttons, Desktop::Buttons::YesNo);
        if (yes && fileManager)
            QCOMPARE(f.desktop.starts.constLast().program, QStringLiteral("/bin/files"));
        // The opening text stays; no "opened" text follows.
        QCOMPARE(f.statuses.size(), 1);
        QVERIFY(f.statuses.first().endsWith(path + "..."));
    }

    // Web pages

    void openUrlHandsTheAddressToTheDesktop()
    {
        Fixture f;
        f.desktop.associations.insert(QStringLiteral("html"), QStringLiteral("/usr/bin/browser"));
        f.services.openUrl(QStringLiteral("https://zorv.example.com/support?a=1&b=2"));
        QCOMPARE(f.desktop.openedUrls,
                 QList<QUrl>{QUrl(QStringLiteral("https://zorv.example.com/support?a=1&b=2"))});
        QCOMPARE(f.desktop.starts.size(), 1);
        QVERIFY(f.desktop.messages.isEmpty());
        QVERIFY(f.statuses.isEmpty());
    }

    void openUrlLeavesTheProgramFolderAlone()
    {
        // No page of our own is written to find the browser: an index.html there stays as it is.
        Fixture f;
        f.desktop.associations.insert(QStringLiteral("html"), QStringLiteral("/usr/bin/browser"));
        const QString page = QDir(f.folder.path()).filePath(QStringLiteral("index.html"));
        {
            QFile old(page);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("<html>old</html>");
        }
        f.services.openUrl(QStringLiteral("https://zorv.example.com/"));
        QFile kept(page);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("<html>old</html>"));
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files), QStringList{"index.html"});
    }

    void browserNotFound_data()
    {
        addLanguageColumns();
        QTest::addColumn<bool>("associated");
        QTest::addColumn<QStringList>("messages");
        const QString en = QStringLiteral("Sorry, I did not find your Browser");
        const QString pt = QStringLiteral("Desculpe, não encontrei o seu Browser");
        QTest::newRow("none, English") << true << false << false << QStringList{en};
        QTest::newRow("none, Portuguese") << false << true << false << QStringList{pt};
        QTest::newRow("none, both") << true << true << false << QStringList{en, pt};
        QTest::newRow("fails, English") << true << false << true << QStringList{en};
    }
    void browserNotFound()
    {
        QFETCH(bool, en);
        QFETCH(bool, pt);
        QFETCH(bool, associated);
        QFETCH(QStringList, messages);
        Fixture f(en, pt);
        if (associated) {
            f.desktop.associations.insert(QStringLiteral("html"), QStringLiteral("/bin/web"));
            f.desktop.failingPrograms.insert(QStringLiteral("/bin/web"));
        }
        f.services.openUrl(QStringLiteral("https://zorv.example.com/"));
        QCOMPARE(f.desktop.messageTexts(), messages);
        QVERIFY(!QFile::exists(QDir(f.folder.path()).filePath(QStringLiteral("index.html"))));
    }

    // SAP Logon

    void sapLogonStoredPathStarts()
    {
        Fixture f;
        f.state.sapLogonPath = QStringLiteral("C:\\SAP\\FrontEnd\\saplogon.exe");
        f.services.startSapLogon();
        QCOMPARE(f.desktop.starts.size(), 1);
        QCOMPARE(f.desktop.starts.at(0).program, QStringLiteral("C:\\SAP\\FrontEnd\\saplogon.exe"));
        QVERIFY(f.desktop.searches.isEmpty());
        QVERIFY(f.desktop.messages.isEmpty());
        QCOMPARE(f.state.sapLogonPath, QStringLiteral("C:\\SAP\\FrontEnd\\saplogon.exe"));
        QCOMPARE(f.desktop.busyDepth, 0);
        QVERIFY(f.desktop.busyCalls >= 2);
    }

    void sapLogonIsSearchedWhenTheStoredPathFails_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("onC");
        QTest::addColumn<QString>("onD");
        QTest::addColumn<QStringList>("searchedRoots");
        QTest::addColumn<QString>("kept");
        QTest::newRow("found on c")
            << "C:\\gone\\saplogon.exe"
            << "c:\\SAP\\saplogon.exe"
            << "d:\\SAP\\saplogon.exe" << QStringList{"c:\\"} << "c:\\SAP\\saplogon.exe";
        QTest::newRow("found on d only after c")
            << "C:\\gone\\saplogon.exe"
            << ""
            << "d:\\Apps\\SAP\\saplogon.exe" << QStringList{"c:\\", "d:\\"}
            << "d:\\Apps\\SAP\\saplogon.exe";
        QTest::newRow("nothing stored yet") << ""
                                            << "c:\\SAP\\saplogon.exe"
                                            << "" << QStringList{"c:\\"} << "c:\\SAP\\saplogon.exe";
    }
    void sapLogonIsSearchedWhenTheStoredPathFails()
    {
        QFETCH(QString, stored);
        QFETCH(QString, onC);
        QFETCH(QString, onD);
        QFETCH(QStringList, searchedRoots);
        QFETCH(QString, kept);
        Fixture f;
        f.state.sapLogonPath = stored;
        if (!stored.isEmpty())
            f.desktop.failingPrograms.insert(stored);
        if (!onC.isEmpty())
            f.desktop.searchResults.insert(QStringLiteral("c:\\|saplogon.exe"), onC);
        if (!onD.isEmpty())
            f.desktop.searchResults.insert(QStringLiteral("d:\\|saplogon.exe"), onD);
        f.services.startSapLogon();

        QStringList roots;
        for (const ScriptedDesktop::Search& search : f.desktop.searches) {
            roots.append(search.root);
            QCOMPARE(search.name, QStringLiteral("saplogon.exe"));
        }
        QCOMPARE(roots, searchedRoots);
        QCOMPARE(f.desktop.starts.last().program, kept);
        QCOMPARE(f.state.sapLogonPath, kept);
        QVERIFY(f.desktop.messages.isEmpty());
        QCOMPARE(f.desktop.busyDepth, 0);
    }

    void sapLogonNotFound_data()
    {
        addLanguageColumns();
        QTest::newRow("English") << true << false;
        QTest::newRow("Portuguese") << false << true;
        QTest::newRow("both: still one message") << true << true;
    }
    void sapLogonNotFound()
    {
        QFETCH(bool, en);
        QFETCH(bool, pt);
        Fixture f(en, pt);
        f.state.sapLogonPath = QStringLiteral("C:\\gone\\saplogon.exe");
        f.desktop.failingPrograms.insert(f.state.sapLogonPath);
        f.services.startSapLogon();
        QCOMPARE(f.desktop.searches.size(), 2);
        QCOMPARE(f.desktop.messageTexts(), QStringList{kSapLogonNotFound});
        QVERIFY(f.state.sapLogonPath.isEmpty());
        QCOMPARE(f.desktop.busyDepth, 0);
        // The pointer is back to normal before the message shows.
        QCOMPARE(f.desktop.busyAtMessage, QList<int>{0});
    }

    void sapLogonFoundButFailingIsKept()
    {
        Fixture f;
        f.state.sapLogonPath = QStringLiteral("C:\\gone\\saplogon.exe");
        f.desktop.failingPrograms.insert(f.state.sapLogonPath);
        f.desktop.searchResults.insert(QStringLiteral("c:\\|saplogon.exe"),
                                       QStringLiteral("c:\\broken\\saplogon.exe"));
        f.desktop.failingPrograms.insert(QStringLiteral("c:\\broken\\saplogon.exe"));
        f.services.startSapLogon();
        QCOMPARE(f.desktop.messageTexts(), QStringList{kSapLogonNotFound});
        QCOMPARE(f.state.sapLogonPath, QStringLiteral("c:\\broken\\saplogon.exe"));
        QCOMPARE(f.desktop.busyDepth, 0);
    }

    // Help and system information

    void help_data()
    {
        QTest::addColumn<bool>("chm");        // zorv.chm in the program's folder
        QTest::addColumn<QString>("viewer");  // the help viewer installed, or empty
        QTest::addColumn<QString>("manual");  // the manual's folder below the test folder, or empty
        QTest::addColumn<bool>("browser");    // a program opens .html files
        QTest::addColumn<QString>("started"); // "viewer", "browser" or empty
        QTest::addColumn<QString>("message"); // a word the one message holds, or empty

        QTest::newRow("help file and viewer: the viewer first") << true << "hh.exe"
                                                                << "help" << true << "viewer"
                                                                << "";
        QTest::newRow("viewer that cannot start names the help file") << true << "broken-viewer"
                                                                      << "help" << true << "viewer"
                                                                      << "zorv.chm";
        QTest::newRow("help file without a viewer: the manual") << true << ""
                                                                << "help" << true << "browser"
                                                                << "";
        QTest::newRow("viewer without a help file: the manual") << false << "hh.exe"
                                                                << "help" << true << "browser"
                                                                << "";
        QTest::newRow("blanks, accents, # and ? in the manual's path are encoded")
            << false << ""
            << "Meus Documentos #1/ajuda é?" << true << "browser"
            << "";
        QTest::newRow("no manual names where it was looked for") << false << "hh.exe"
                                                                 << "" << true << ""
                                                                 << "index.html";
        // Without a browser the message says where the manual is, to open it by hand.
        QTest::newRow("no browser for the manual") << false << ""
                                                   << "help" << false << ""
                                                   << "could not be started: /";
        QTest::newRow("no browser for the manual, its path") << false << ""
                                                             << "help" << false << ""
                                                             << "help/index.html";
    }
    void help()
    {
        QFETCH(bool, chm);
        QFETCH(QString, viewer);
        QFETCH(QString, manual);
        QFETCH(bool, browser);
        QFETCH(QString, started);
        QFETCH(QString, message);
        Fixture f;
        const QString chmFile = QDir(f.folder.path()).filePath(QStringLiteral("zorv.chm"));
        if (chm) {
            QFile file(chmFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        f.desktop.viewer = viewer;
        f.desktop.failingPrograms.insert(QStringLiteral("broken-viewer"));
        if (browser)
            f.desktop.associations.insert(QStringLiteral("html"), QStringLiteral("/usr/bin/web"));
        QTemporaryDir install;
        const QString page = manual.isEmpty()
                                 ? QDir(install.path()).filePath(QStringLiteral("help/index.html"))
                                 : QDir(install.path()).filePath(manual + "/index.html");
        if (!manual.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(page).path()));
            QFile file(page);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        f.services.setManualPage(page);
        f.services.openHelp();

        if (started == u"viewer") {
            QCOMPARE(f.desktop.starts.size(), 1);
            QCOMPARE(f.desktop.starts.at(0).program, viewer);
            QCOMPARE(
                QFileInfo(QDir::fromNativeSeparators(f.desktop.starts.at(0).arguments.value(0))),
                QFileInfo(chmFile));
        } else if (started == u"browser") {
            QCOMPARE(f.desktop.starts.size(), 1);
            QCOMPARE(f.desktop.starts.at(0).program, QStringLiteral("/usr/bin/web"));
            // The desktop's opener gets a file address with every blank and accent encoded.
            QCOMPARE(f.desktop.openedUrls.size(), 1);
            const QString url = QString::fromLatin1(f.desktop.openedUrls.at(0).toEncoded());
            QVERIFY2(url.startsWith(QStringLiteral("file:///")), qPrintable(url));
            QVERIFY2(!url.contains(u' ') && !url.contains(u'é'), qPrintable(url));
            QCOMPARE(QFileInfo(QUrl(url).toLocalFile()), QFileInfo(page));
        } else {
            QVERIFY(f.desktop.starts.isEmpty());
        }
        if (message.isEmpty()) {
            QVERIFY(f.desktop.messages.isEmpty());
        } else {
            QCOMPARE(f.desktop.messages.size(), 1);
            QVERIFY2(f.desktop.messages.at(0).text.contains(message),
                     qPrintable(f.desktop.messages.at(0).text));
        }
    }

    void manualIsFoundBesideTheExecutableOrUnderShare_data()
    {
        QTest::addColumn<QStringList>("files"); // below a temporary prefix
        QTest::addColumn<QString>("found");
        const QString beside = QStringLiteral("bin/help/index.html");
        const QString shared = QStringLiteral("share/zorv/help/index.html");
        QTest::newRow("build tree: beside the executable") << QStringList{beside} << beside;
        QTest::newRow("installed under share/zorv") << QStringList{shared} << shared;
        QTest::newRow("both: the one beside the executable")
            << QStringList{shared, beside} << beside;
        QTest::newRow("a folder of that name is no page")
            << QStringList{QStringLiteral("bin/help/index.html/")} << "";
        QTest::newRow("neither") << QStringList{QStringLiteral("share/doc/zorv/index.html")} << "";
    }
    void manualIsFoundBesideTheExecutableOrUnderShare()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        QTemporaryDir prefix;
        const QDir root(prefix.path());
        QVERIFY(root.mkpath(QStringLiteral("bin")));
        for (const QString& name : files) {
            if (name.endsWith(u'/')) {
                QVERIFY(root.mkpath(name));
                continue;
            }
            QVERIFY(root.mkpath(QFileInfo(name).path()));
            QFile file(root.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString page =
            ShippedFiles::find(root.filePath(QStringLiteral("bin")), ShippedFiles::manualPage());
        QCOMPARE(page, found.isEmpty() ? QString() : root.filePath(found));
    }

    void sysInfo_data()
    {
        addLanguageColumns();
        QTest::addColumn<QString>("tool");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<int>("messages");
        QTest::newRow("found") << true << false << "C:\\msinfo32.exe" << false << 0;
        QTest::newRow("none") << true << false << "" << false << 1;
        QTest::newRow("none, both languages") << true << true << "" << false << 1;
        QTest::newRow("cannot start") << false << true << "C:\\gone\\msinfo32.exe" << true << 1;
    }
    void sysInfo()
    {
        QFETCH(bool, en);
        QFETCH(bool, pt);
        QFETCH(QString, tool);
        QFETCH(bool, fails);
        QFETCH(int, messages);
        Fixture f(en, pt);
        f.desktop.sysInfo = tool;
        if (fails)
            f.desktop.failingPrograms.insert(tool);
        f.services.startSystemInformation();
        QCOMPARE(f.desktop.messages.size(), messages);
        for (const QString& text : f.desktop.messageTexts())
            QCOMPARE(text, QStringLiteral("System Information Is Unavailable At This Time"));
        if (!tool.isEmpty()) {
            QCOMPARE(f.desktop.starts.size(), 1);
            QCOMPARE(f.desktop.starts.at(0).program, tool);
        }
    }

    // Small pieces

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("searched");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("slashes") << "a/b//c"
                                 << "/"
                                 << "_"
                                 << "a_b__c";
        QTest::newRow("none found") << "abc"
                                    << "/"
                                    << "_"
                                    << "abc";
        QTest::newRow("empty text") << ""
                                    << "/"
                                    << "_"
                                    << "";
        QTest::newRow("empty searched text") << "abc"
                                             << ""
                                             << "_"
                                             << "abc";
        QTest::newRow("removal") << "a-b-c"
                                 << "-"
                                 << ""
                                 << "abc";
        QTest::newRow("longer searched text") << "KNA1--KUNNR"
                                              << "--"
                                              << "-"
                                              << "KNA1-KUNNR";
        // Searching again from the start replaces what a replacement newly forms.
        QTest::newRow("new occurrence formed") << "a///b"
                                               << "//"
                                               << "/"
                                               << "a/b";
        QTest::newRow("formed across the join") << "aabb"
                                                << "ab"
                                                << ""
                                                << "";
        // A replacement holding the searched text would never end: each one is replaced once.
        QTest::newRow("replacement holds searched") << "a/b"
                                                    << "/"
                                                    << "//"
                                                    << "a//b";
        QTest::newRow("replacement equals searched") << "a/b/c"
                                                     << "/"
                                                     << "/"
                                                     << "a/b/c";
        QTest::newRow("doubling letters") << "aXa"
                                          << "a"
                                          << "aa"
                                          << "aaXaa";
    }
    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, searched);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QCOMPARE(DesktopServices::replaceAll(text, searched, replacement), expected);
    }

    void userNameIsCutTo255_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("expected");
        QTest::newRow("short") << 5 << 5;
        QTest::newRow("255") << 255 << 255;
        QTest::newRow("256") << 256 << 255;
        QTest::newRow("empty") << 0 << 0;
    }
    void userNameIsCutTo255()
    {
        QFETCH(int, length);
        QFETCH(int, expected);
        Fixture f;
        QString name;
        for (int i = 0; i < length; ++i)
            name.append(QChar(u'a' + i % 26));
        f.desktop.user = name;
        QCOMPARE(f.services.currentUserName(), name.left(expected));
    }
};

QTEST_GUILESS_MAIN(TestDesktopServices)
#include "tst_desktopservices.moc"
