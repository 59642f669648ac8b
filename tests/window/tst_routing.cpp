#include "WindowTestKit.h"
#include "shell/ControlNames.h"

#include "shell/DesktopServices.h"
#include "window/main/AboutBox.h"
#include "window/main/MenuMnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace ControlNames;

namespace
{
const QString kChosen = QStringLiteral("/data/chosen.csv");

// A desktop that knows SAP Logon, a browser, a spreadsheet and has one file to choose.
void prepareDesktop(MainWindowFixture& f)
{
    f.state.sapLogonPath = QStringLiteral("C:\\SAP\\saplogon.exe");
    f.desktop.associations.insert(QStringLiteral("html"), QStringLiteral("/usr/bin/browser"));
    f.desktop.associations.insert(QStringLiteral("csv"), QStringLiteral("/usr/bin/calc"));
    f.desktop.files.enqueue(kChosen);
}

// Everything the commands reached, in one list: query window calls, document and connection
// commands, programs started and messages shown.
QStringList observed(const MainWindowFixture& f, const QList<RecordingQueryWindow*>& windows)
{
    QStringList all;
    for (const RecordingQueryWindow* window : windows) {
        for (const QString& call : window->calls)
            all.append(window->windowTitle() + u':' + call);
    }
    for (const QString& call : f.documents.calls)
        all.append(QStringLiteral("documents:") + call);
    for (const QString& call : f.connection.calls)
        all.append(QStringLiteral("connection:") + call);
    for (const ScriptedDesktop::Start& start : f.desktop.starts)
        all.append(QStringLiteral("start:") +
                   (QStringList{start.program} + start.arguments).join(u' '));
    for (const QString& text : f.desktop.messageTexts())
        all.append(QStringLiteral("message:") + text);
    return all;
}

// The manual shipped with the program, as an installation has it, in the fixture's folder.
void useManual(MainWindowFixture& f, MainWindow& w)
{
    QVERIFY(QDir(f.folder.path()).mkpath(QStringLiteral("help")));
    QFile page(QDir(f.folder.path()).filePath(QStringLiteral("help/index.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    w.services().setManualPage(page.fileName());
}

void clearRecords(MainWindowFixture& f, RecordingQueryWindow* window)
{
    window->calls.clear();
    f.documents.calls.clear();
    f.connection.calls.clear();
    f.desktop.starts.clear();
    f.desktop.messages.clear();
}

QToolButton* buttonFor(const MainWindow& w, const QString& key)
{
    auto* toolbar = w.findChild<QToolBar*>(Main::kToolbar);
    return qobject_cast<QToolButton*>(toolbar->widgetForAction(w.toolButton(key)));
}

// Hands the modal window to handle as soon as one is up; handle must close it.
void whenModal(const std::function<void(QWidget*)>& handle)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, handle] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            handle(modal);
        }
    });
    timer->start();
}

void addCommandRows()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("expected");
    const auto row = [](const char* command, const QString& expected) {
        QTest::newRow(command) << QString::fromLatin1(command) << QStringList{expected};
    };
    row("mnewtable", "Query:mnewtable()");
    row("mnewfolder", "Query:mnewfolder()");
    row("mnewroot", "Query:mnewroot()");
    row("mcuttable", "Query:mcuttable()");
    row("mpastetable", "Query:mpastetable()");
    row("mremovetable", "Query:mremovetable(MARA,user)");
    row("mrename", "Query:mrename()");
    row("mcopytomytable", "Query:mcopytomytable()");
    row("mprintfields", "Query:mprintfields()");
    row("mqpreview", "Query:mqpreview()");
    row("mprintfieldsmytable", "Query:mprintfieldsmytable()");
    row("mprintpreview", "Query:mprintpreview()");
    row("mcloseqpreview", "Query:mcloseqpreview()");
    row("mimportmytable", "Query:mimportmytable()");
    row("mrows", "Query:mrows()");
    row("mcloserows", "Query:mcloserows()");
    row("mmovedown", "Query:mmovedown()");
    row("mmoveup", "Query:mmoveup()");
    row("mremovefield", "Query:mremovefield()");
    row("mremoveallfields", "Query:mremoveallfields()");
    row("mshowoption", "Query:mshowoption()");
    row("mprintoptions", "Query:mprintoptions()");
    row("mremoveoption", "Query:mremoveoption()");
    row("mremovealloptions", "Query:mremovealloptions()");
    row("mconectar", "connection:logOn");
    row("mdesconectar", "connection:releaseComponents");
    row("msapsysinfo", "connection:showSystemInformation");
    row("mnewqtable", "documents:newQuery");
    row("mopenqtable", "documents:openQuery");
    row("msaveqtable", "documents:saveQuery");
    row("msaveasqtable", "documents:saveQueryAs");
    row("msaplogon", "start:C:\\SAP\\saplogon.exe");
    row("mabrirtabelas", "start:/usr/bin/calc " + kChosen);
    row("mopenmytable", "start:/usr/bin/calc " + kChosen);
    row("mauxiliogeral", "start:/usr/bin/browser <folder>/help/index.html");
    row("mvubhp", "start:/usr/bin/browser https://zorv.example.com/");
    row("msupport", "start:/usr/bin/browser https://zorv.example.com/support");
}

const char* const kRoutedCommands[] = {
    "mnewtable",
    "mnewfolder",
    "mnewroot",
    "mcuttable",
    "mpastetable",
    "mremovetable",
    "mrename",
    "msinglesel",
    "mcopytomytable",
    "mprintfields",
    "mviewfieldsdetail",
    "mviewfieldslist",
    "mfieldsgridlines",
    "mqpreview",
    "mprintfieldsmytable",
    "mprintpreview",
    "mcloseqpreview",
    "mimportmytable",
    "mrows",
    "mcloserows",
    "mmovedown",
    "mmoveup",
    "mremovefield",
    "mremoveallfields",
    "mshowoption",
    "mprintoptions",
    "mremoveoption",
    "mremovealloptions",
    "mcloseqtable",
};
} // namespace

class TestRouting : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void menuItemsReachTheirTargets_data() { addCommandRows(); }

    void menuItemsReachTheirTargets()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, expected);
        MainWindowFixture f;
        prepareDesktop(f);
        MainWindow& w = f.loaded();
        useManual(f, w);
        RecordingQueryWindow* query = f.addQueryWindow();
        query->tree->setCurrentItem(query->tree->topLevelItem(1));
        if (command == u"mpastetable") {
            w.action(QStringLiteral("mcuttable"))->trigger();
            clearRecords(f, query);
        }
        QVERIFY(w.action(command)->isEnabled());
        w.action(command)->trigger();
        expected.replaceInStrings(QStringLiteral("<folder>"), f.folder.path());
        QCOMPARE(observed(f, {query}), expected);
    }

    void toolbarButtonsPerformTheirCommands_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char* key, const QString& expected) {
            QTest::newRow(key) << QString::fromLatin1(key) << QStringList{expected};
        };
        row("Conectar", "connection:logOn");
        row("SapLogon", "start:C:\\SAP\\saplogon.exe");
        row("NewQTable", "documents:newQuery");
        row("OpenQTable", "documents:openQuery");
        row("Save", "documents:saveQuery");
        row("AbrirTabelas", "start:/usr/bin/calc " + kChosen);
        row("Preview", "Query:mqpreview()");
        row("ImportMyTable", "Query:mimportmytable()");
        row("OpenMyTable", "start:/usr/bin/calc " + kChosen);
        row("Auxilio", "start:/usr/bin/browser <folder>/help/index.html");
    }

    void toolbarButtonsPerformTheirCommands()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, expected);
        MainWindowFixture f;
        prepareDesktop(f);
        f.state.toolbarShown = true;
        MainWindow& w = f.loaded();
        useManual(f, w);
        RecordingQueryWindow* query = f.addQueryWindow();
        QToolButton* button = buttonFor(w, key);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        expected.replaceInStrings(QStringLiteral("<folder>"), f.folder.path());
        QCOMPARE(observed(f, {query}), expected);
    }

    void saveButtonWorksWhileTheSaveItemIsDisabled()
    {
        MainWindowFixture f;
        f.state.toolbarShown = true;
        MainWindow& w = f.loaded();
        QVERIFY(!w.action(QStringLiteral("msaveqtable"))->isEnabled());
        w.action(QStringLiteral("msaveqtable"))->trigger();
        QVERIFY(f.documents.calls.isEmpty());
        QTest::mouseClick(buttonFor(w, QStringLiteral("Save")), Qt::LeftButton);
        QCOMPARE(f.documents.calls, QStringList{QStringLiteral("saveQuery")});
    }

    void exitButtonClosesTheWindow()
    {
        MainWindowFixture f;
        f.state.toolbarShown = true;
        MainWindow& w = f.loaded();
        QTest::mouseClick(buttonFor(w, QStringLiteral("Sair")), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(QFile::exists(f.settingsPath()));
    }

    void separatorsAndUnknownKeysDoNothing()
    {
        MainWindowFixture f;
        prepareDesktop(f);
        f.state.toolbarShown = true;
        MainWindow& w = f.loaded();
        RecordingQueryWindow* query = f.addQueryWindow();
        auto* toolbar = w.findChild<QToolBar*>(Main::kToolbar);
        const QList<QAction*> buttons = toolbar->actions().mid(0, 15);
        int separators = 0;
        for (QAction* button : buttons) {
            if (!button->isSeparator())
                continue;
            ++separators;
            button->trigger();
            if (QWidget* widget = toolbar->widgetForAction(button))
                QTest::mouseClick(widget, Qt::LeftButton);
        }
        QCOMPARE(separators, 3);
        w.performKey(QString());
        w.performKey(QStringLiteral("Nothing"));
        QVERIFY(w.isVisible());
        QCOMPARE(observed(f, {query}), QStringList());
    }

    void commandsGoToTheActiveWindowOnly()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        RecordingQueryWindow* first = f.addQueryWindow(QStringLiteral("First"));
        RecordingQueryWindow* second = f.addQueryWindow(QStringLiteral("Second"));
        w.action(QStringLiteral("mqpreview"))->trigger();
        w.workspace()->setActiveSubWindow(w.workspace()->subWindowList().at(0));
        w.action(QStringLiteral("mrows"))->trigger();
        QCOMPARE(observed(f, {first, second}), QStringList({QStringLiteral("First:mrows()"),
                                                            QStringLiteral("Second:mqpreview()")}));
    }

    void removeTableWithoutSelectionSendsAnEmptyNode()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        RecordingQueryWindow* query = f.addQueryWindow();
        query->tree->setCurrentItem(nullptr);
        w.action(QStringLiteral("mremovetable"))->trigger();
        QCOMPARE(query->calls, QStringList{QStringLiteral("mremovetable(,user)")});
    }

    void pasteIsOfferedOnlyAfterACut_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("enabledAfter");
        QTest::newRow("cut") << QStringLiteral("mcuttable") << true;
        QTest::newRow("paste") << QStringLiteral("mpastetable") << false;
        QTest::newRow("new table") << QStringLiteral("mnewtable") << false;
        QTest::newRow("new folder") << QStringLiteral("mnewfolder") << false;
        QTest::newRow("new root") << QStringLiteral("mnewroot") << false;
        QTest::newRow("remove") << QStringLiteral("mremovetable") << false;
        QTest::newRow("rename") << QStringLiteral("mrename") << false;
        QTest::newRow("single click") << QStringLiteral("msinglesel") << true;
        QTest::newRow("preview") << QStringLiteral("mqpreview") << true;
        QTest::newRow("new document") << QStringLiteral("mnewqtable") << true;
    }

    void pasteIsOfferedOnlyAfterACut()
    {
        QFETCH(QString, command);
        QFETCH(bool, enabledAfter);
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        f.addQueryWindow();
        QAction* paste = w.action(QStringLiteral("mpastetable"));
        QVERIFY(!paste->isEnabled());
        w.action(QStringLiteral("mcuttable"))->trigger();
        QVERIFY(paste->isEnabled());
        w.action(command)->trigger();
        QCOMPARE(paste->isEnabled(), enabledAfter);
    }

    void withoutAQueryWindowRoutedCommandsDoNothing()
    {
        MainWindowFixture f;
        prepareDesktop(f);
        MainWindow& w = f.loaded();
        const auto runAll = [&] {
            for (const char* command : kRoutedCommands)
                w.perform(QString::fromLatin1(command));
        };
        runAll();
        QCOMPARE(observed(f, {}), QStringList());
        QVERIFY(!w.action(QStringLiteral("msinglesel"))->isChecked());

        // Once the last window is gone, nothing is left to route to.
        QPointer<RecordingQueryWindow> query = f.addQueryWindow();
        w.action(QStringLiteral("mcloseqtable"))->trigger();
        QTRY_VERIFY(query.isNull());
        runAll();
        QCOMPARE(observed(f, {}), QStringList());
        QVERIFY(w.isVisible());
    }

    void singleClickTogglesTheTreeAndTheCheckMark()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        RecordingQueryWindow* query = f.addQueryWindow();
        QAction* item = w.action(QStringLiteral("msinglesel"));
        for (const bool expected : {false, true, false}) {
            item->trigger();
            QCOMPARE(query->opensOnSingleClick, expected);
            QCOMPARE(query->tree->property("SingleSel"), QVariant(expected));
            QCOMPARE(query->tree->property("HotTracking"), QVariant(expected));
            QCOMPARE(item->isChecked(), expected);
        }
    }

    void fieldViewsSwapTheirCheckMarks()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        RecordingQueryWindow* query = f.addQueryWindow();
        QAction* detail = w.action(QStringLiteral("mviewfieldsdetail"));
        QAction* list = w.action(QStringLiteral("mviewfieldslist"));
        list->trigger();
        QCOMPARE(query->list->View, 2);
        QVERIFY(list->isChecked());
        QVERIFY(!detail->isChecked());
        detail->trigger();
        QCOMPARE(query->list->View, 3);
        QVERIFY(detail->isChecked());
        QVERIFY(!list->isChecked());
        // A second click on the item in force keeps it checked.
        detail->trigger();
        QCOMPARE(query->list->View, 3);
        QVERIFY(detail->isChecked());
    }

    void gridlinesToggle()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        RecordingQueryWindow* query = f.addQueryWindow();
        QAction* item = w.action(QStringLiteral("mfieldsgridlines"));
        item->trigger();
        QVERIFY(query->list->GridLines);
        QVERIFY(item->isChecked());
        item->trigger();
        QVERIFY(!query->list->GridLines);
        QVERIFY(!item->isChecked());
    }

    // Single click, the field view and the grid lines belong to each window: the menu's check
    // marks follow the window that becomes active, however it does.
    void checkMarksFollowTheActiveWindow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("by the workspace") << "workspace";
        QTest::newRow("by the Window menu") << "menu";
    }
    void checkMarksFollowTheActiveWindow()
    {
        QFETCH(QString, how);
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        RecordingQueryWindow* plain = f.addQueryWindow(QStringLiteral("Plain"));
        plain->opensOnSingleClick = false;
        RecordingQueryWindow* clicked = f.addQueryWindow(QStringLiteral("Clicked"));
        clicked->opensOnSingleClick = false;
        // Set through the menu on the active window only.
        w.action(QStringLiteral("msinglesel"))->trigger();
        w.action(QStringLiteral("mviewfieldslist"))->trigger();
        w.action(QStringLiteral("mfieldsgridlines"))->trigger();
        QVERIFY(clicked->opensOnSingleClick);
        QCOMPARE(clicked->list->View, 2);
        QVERIFY(clicked->list->GridLines);
        QVERIFY(!plain->opensOnSingleClick);

        const auto activate = [&](QWidget* query) {
            auto* sub = qobject_cast<QMdiSubWindow*>(query->parentWidget());
            if (how == u"workspace") {
                w.workspace()->setActiveSubWindow(sub);
                return;
            }
            QMenu* windows = w.menu(QStringLiteral("mjanela"));
            Q_EMIT windows->aboutToShow();
            for (QAction* entry : windows->actions()) {
                if (entry->text().endsWith(query->windowTitle()))
                    entry->trigger();
            }
        };
        const auto checks = [&w] {
            return QList<bool>{w.action(QStringLiteral("msinglesel"))->isChecked(),
                               w.action(QStringLiteral("mviewfieldsdetail"))->isChecked(),
                               w.action(QStringLiteral("mviewfieldslist"))->isChecked(),
                               w.action(QStringLiteral("mfieldsgridlines"))->isChecked()};
        };
        activate(plain);
        QCOMPARE(w.activeQueryWindow(), plain);
        QCOMPARE(checks(), (QList<bool>{false, true, false, false}));
        activate(clicked);
        QCOMPARE(w.activeQueryWindow(), clicked);
        QCOMPARE(checks(), (QList<bool>{true, false, true, true}));
        // Toggling acts on the active window's own state.
        w.action(QStringLiteral("msinglesel"))->trigger();
        QVERIFY(!clicked->opensOnSingleClick);
        activate(plain);
        w.action(QStringLiteral("msinglesel"))->trigger();
        QVERIFY(plain->opensOnSingleClick);
        QVERIFY(!clicked->opensOnSingleClick);
    }

    void openingADocumentSwitchesSingleClickOff_data()
    {
        QTest::addColumn<int>("openResult");
        QTest::addColumn<bool>("documentSingleClick");
        QTest::addColumn<bool>("chSslAfter");
        QTest::addColumn<bool>("checkAfter");
        QTest::addColumn<QVariant>("treeSingleSel");
        QTest::newRow("opened, single click off")
            << 1 << false << false << false << QVariant(false);
        QTest::newRow("opened, single click on") << 1 << true << true << true << QVariant();
        QTest::newRow("cancelled") << 0 << false << false << true << QVariant();
    }

    void openingADocumentSwitchesSingleClickOff()
    {
        QFETCH(int, openResult);
        QFETCH(bool, documentSingleClick);
        QFETCH(bool, chSslAfter);
        QFETCH(bool, checkAfter);
        QFETCH(QVariant, treeSingleSel);
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        // An earlier window left the check mark on.
        RecordingQueryWindow* earlier = f.addQueryWindow(QStringLiteral("Earlier"));
        earlier->opensOnSingleClick = false;
        w.action(QStringLiteral("msinglesel"))->trigger();
        QVERIFY(w.action(QStringLiteral("msinglesel"))->isChecked());

        RecordingQueryWindow* opened = nullptr;
        f.documents.openResult = openResult;
        f.documents.whileOpening = [&] {
            opened = f.addQueryWindow(QStringLiteral("Opened"));
            opened->opensOnSingleClick = documentSingleClick;
        };
        w.action(QStringLiteral("mopenqtable"))->trigger();
        QVERIFY(opened);
        QCOMPARE(opened->opensOnSingleClick, chSslAfter);
        QCOMPARE(w.action(QStringLiteral("msinglesel"))->isChecked(), checkAfter);
        QCOMPARE(opened->tree->property("SingleSel"), treeSingleSel);
        QCOMPARE(opened->tree->property("HotTracking"), treeSingleSel);
        QVERIFY(earlier->opensOnSingleClick);
    }

    void connectStoresItsOutcome_data()
    {
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("result");
        QTest::newRow("connects") << false << true;
        QTest::newRow("fails") << false << false;
        QTest::newRow("fails while connected") << true << false;
    }

    void connectStoresItsOutcome()
    {
        QFETCH(bool, before);
        QFETCH(bool, result);
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        f.state.connected = before;
        f.connection.connectResult = result;
        w.action(QStringLiteral("mconectar"))->trigger();
        QCOMPARE(f.state.connected, result);
        QCOMPARE(w.connectToSystem(), result);
        QCOMPARE(f.connection.calls.size(), 2);
    }

    void doubleClickOnConnectionPanelConnectsWhileDisconnected()
    {
        MainWindowFixture f;
        f.state.statusBarShown = true;
        MainWindow& w = f.loaded();
        auto* panel = w.findChild<QWidget*>(Main::kConnectionPanel);
        QVERIFY(panel);
        QTest::mouseDClick(panel, Qt::LeftButton);
        QCOMPARE(f.connection.calls, QStringList{QStringLiteral("logOn")});
        QVERIFY(f.state.connected);
        QTest::mouseDClick(panel, Qt::LeftButton);
        QCOMPARE(f.connection.calls.size(), 1);
        // Elsewhere on the status bar a double click does nothing.
        f.state.connected = false;
        QTest::mouseDClick(w.findChild<QLabel*>(Main::kMessagePanel), Qt::LeftButton);
        QCOMPARE(f.connection.calls.size(), 1);
    }

    void optionsButtonChangesLanguageAtOnce()
    {
        MainWindowFixture f;
        f.state.toolbarShown = true;
        f.state.listSeparator = QStringLiteral(";");
        MainWindow& w = f.loaded();
        QString fileMenuWhileOpen;
        QString tipWhileOpen;
        bool wasOptions = false;
        whenModal([&](QWidget* modal) {
            wasOptions = modal->objectName() == Options::kDialog;
            if (auto* portuguese = modal->findChild<QRadioButton*>(Options::kPortuguese))
                portuguese->click();
            fileMenuWhileOpen = MenuMnemonics::visible(w.menu(QStringLiteral("mfile"))->title());
            tipWhileOpen = w.toolButton(QStringLiteral("Conectar"))->toolTip();
            modal->close(); // the close box: no OK
        });
        QTest::mouseClick(buttonFor(w, QStringLiteral("Opcoes")), Qt::LeftButton);
        QVERIFY(wasOptions);
        QCOMPARE(fileMenuWhileOpen, QStringLiteral("Arquivo"));
        QCOMPARE(tipWhileOpen, QStringLiteral("Conectar R/3 System"));
        QCOMPARE(MenuMnemonics::visible(w.action(QStringLiteral("mopcoes"))->text()),
                 QStringLiteral("Opções..."));
        QVERIFY(f.state.languagePortuguese);
        QVERIFY(!f.state.languageEnglish);
        QCOMPARE(f.state.listSeparator, QStringLiteral(";"));
    }

    void aboutItemShowsTheAboutBoxModal()
    {
        MainWindowFixture f;
        f.state.languagePortuguese = true;
        MainWindow& w = f.loaded();
        QString caption;
        QString warning;
        bool modal = false;
        whenModal([&](QWidget* box) {
            caption = box->windowTitle();
            modal = box->isModal();
            if (auto* about = qobject_cast<AboutBox*>(box))
                warning = about->legalWarning();
            if (auto* ok = box->findChild<QAbstractButton*>(About::kOk))
                ok->click();
        });
        w.action(QStringLiteral("msobrevub"))->trigger();
        QCOMPARE(caption, QStringLiteral("Sobre o VUB"));
        QVERIFY(modal);
        QVERIFY2(warning.startsWith(QStringLiteral("Aviso")), qPrintable(warning));
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestRouting)
#include "tst_routing.moc"
