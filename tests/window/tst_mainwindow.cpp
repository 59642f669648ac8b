#include "WindowTestKit.h"

#include "shell/AppState.h"
#include "shell/CaptionTable.h"
#include "shell/ControlNames.h"
#include "shell/Language.h"
#include "shell/SettingsFile.h"
#include "shell/Texts.h"
#include "window/common/Icons.h"
#include "window/main/FocusMarkStyle.h"
#include "window/main/MenuLayout.h"
#include "window/main/MenuMnemonics.h"
#include "window/main/ProgressDisplay.h"
#include "window/main/StatusPanels.h"
#include "window/main/WindowPlacement.h"
#include "window/main/WorkspaceFollower.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QStatusBar>
#include <QTest>

#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>

#include <algorithm>

using namespace ControlNames;

namespace
{
// The caption as the user reads it: the mnemonic's "&" is no character.
QString captionOf(const MainWindow& window, const QString& name)
{
    if (QMenu* menu = window.menu(name))
        return MenuMnemonics::visible(menu->title());
    if (QAction* action = window.action(name))
        return MenuMnemonics::visible(action->text());
    return QStringLiteral("<missing %1>").arg(name);
}

// The layout's entry of that name, in any menu.
const MenuLayout::Item* layoutItem(const QVector<MenuLayout::Item>& items, const QString& name)
{
    for (const MenuLayout::Item& item : items) {
        if (item.name == name)
            return &item;
        if (const MenuLayout::Item* found = layoutItem(item.children, name))
            return found;
    }
    return nullptr;
}

// What a menu entry should read before the menu gives it a mnemonic: its caption row in the
// language in force, else the fixed caption of the layout (which carries its own); empty when
// it has neither.
QString layoutCaption(const QString& name, const Language& language)
{
    const BiText row = CaptionTable::text(name);
    if (!row.en.isEmpty())
        return language.pick(row);
    const MenuLayout::Item* item = layoutItem(MenuLayout::menus(), name);
    return item && item->fixed ? Texts::get(*item->fixed).en : QString();
}

// A menu's entries by object name, separators marked with a leading "-".
QStringList entriesOf(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            names.append(u'-' + action->objectName());
        else if (action->menu())
            names.append(action->menu()->objectName());
        else
            names.append(action->objectName());
    }
    return names;
}

QStringList split(const char* names)
{
    return QString::fromLatin1(names).split(u' ');
}

QToolBar* toolbarOf(const MainWindow& window)
{
    return window.findChild<QToolBar*>(Main::kToolbar);
}

QLabel* panel(const MainWindow& window, const QString& name)
{
    return window.findChild<QLabel*>(name);
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loadingSetsCaptionAndStatusPanels()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        QCOMPARE(w.windowTitle(), QStringLiteral("Quillon for SAP R/3"));
        QCOMPARE(w.statusPanels()->connectionText(), QStringLiteral("Disconnected "));
        QCOMPARE(w.statusPanels()->connectionToolTip(), QStringLiteral("maria is not connected "));
        QCOMPARE(panel(w, Main::kMessagePanel)->toolTip(), QStringLiteral("System Message"));
        QCOMPARE(w.statusPanels()->clockText(), QStringLiteral("09:30"));
        const QString longDate = w.statusPanels()->clockToolTip();
        for (const char* part : {"Monday", "March", "12", "2007"})
            QVERIFY2(longDate.contains(QString::fromLatin1(part)), qPrintable(longDate));
    }

    void welcomeFollowsClockAndLanguage_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<bool>("en");
        QTest::addColumn<bool>("pt");
        QTest::addColumn<bool>("ct");
        QTest::addColumn<QString>("welcome");
        QTest::addColumn<bool>("enAfterLoad");
        const QString en = QStringLiteral(" maria. Welcome to Quillon");
        const QString pt = QStringLiteral(" maria. Bem-vindo ao Quillon");
        QTest::newRow("09:30 english")
            << QTime(9, 30) << true << false << false << "Good morning" + en << true;
        QTest::newRow("midnight") << QTime(0, 0) << true << false << false << "Good morning" + en
                                  << true;
        QTest::newRow("12:00 still morning")
            << QTime(12, 0, 59) << true << false << false << "Good morning" + en << true;
        QTest::newRow("12:01") << QTime(12, 1) << true << false << false << "Good afternoon" + en
                               << true;
        QTest::newRow("17:59") << QTime(17, 59) << true << false << false << "Good afternoon" + en
                               << true;
        QTest::newRow("18:00") << QTime(18, 0) << true << false << false << "Good evening" + en
                               << true;
        QTest::newRow("portuguese afternoon")
            << QTime(14, 0) << false << true << false << "Boa tarde" + pt << false;
        QTest::newRow("portuguese evening")
            << QTime(23, 59) << false << true << false << "Boa noite" + pt << false;
        QTest::newRow("no flag forces english")
            << QTime(9, 30) << false << false << false << "Good morning" + en << true;
        QTest::newRow("CT alone is english")
            << QTime(9, 30) << false << false << true << "Good morning" + en << false;
        QTest::newRow("EN and PT end portuguese")
            << QTime(8, 0) << true << true << false << "Bom dia" + pt << true;
    }

    void welcomeFollowsClockAndLanguage()
    {
        QFETCH(QTime, time);
        QFETCH(bool, en);
        QFETCH(bool, pt);
        QFETCH(bool, ct);
        QFETCH(QString, welcome);
        QFETCH(bool, enAfterLoad);
        MainWindowFixture f;
        f.clock.set(QDateTime(QDate(2007, 3, 12), time));
        f.state.languageEnglish = en;
        f.state.languagePortuguese = pt;
        f.state.languageOther = ct;
        MainWindow& w = f.loaded();
        QCOMPARE(w.statusPanels()->message(), welcome);
        QCOMPARE(f.state.languageEnglish, enAfterLoad);
        QCOMPARE(f.state.languagePortuguese, pt);
        QCOMPARE(f.state.languageOther, ct);
    }

    void toolbarAndStatusBarFollowSettings_data()
    {
        QTest::addColumn<bool>("tool");
        QTest::addColumn<bool>("status");
        QTest::newRow("both off") << false << false;
        QTest::newRow("toolbar only") << true << false;
        QTest::newRow("status bar only") << false << true;
        QTest::newRow("both on") << true << true;
    }

    void toolbarAndStatusBarFollowSettings()
    {
        QFETCH(bool, tool);
        QFETCH(bool, status);
        MainWindowFixture f;
        f.state.toolbarShown = tool;
        f.state.statusBarShown = status;
        MainWindow& w = f.loaded();
        QCOMPARE(toolbarOf(w)->isVisible(), tool);
        QCOMPARE(w.statusBar()->isVisible(), status);
        QCOMPARE(w.action(QStringLiteral("mtoolbar"))->isChecked(), tool);
        QCOMPARE(w.action(QStringLiteral("mstatusbar"))->isChecked(), status);
        QCOMPARE(f.state.toolbarShown, tool);
        QCOMPARE(f.state.statusBarShown, status);
    }

    void viewMenuTogglesToolbarAndStatusBar()
    {
        MainWindowFixture f;
        f.state.toolbarShown = true;
        MainWindow& w = f.loaded();
        w.action(QStringLiteral("mtoolbar"))->trigger();
        QVERIFY(!f.state.toolbarShown);
        QVERIFY(!toolbarOf(w)->isVisible());
        QVERIFY(!w.action(QStringLiteral("mtoolbar"))->isChecked());
        w.action(QStringLiteral("mstatusbar"))->trigger();
        QVERIFY(f.state.statusBarShown);
        QVERIFY(w.statusBar()->isVisible());
        QVERIFY(w.action(QStringLiteral("mstatusbar"))->isChecked());
        w.action(QStringLiteral("mtoolbar"))->trigger();
        QVERIFY(f.state.toolbarShown);
        QVERIFY(toolbarOf(w)->isVisible());
        QVERIFY(w.action(QStringLiteral("mtoolbar"))->isChecked());
    }

    void loadingDisablesPasteAndSave()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        for (const char* name : {"mpastetable", "msaveqtable", "msaveasqtable"})
            QVERIFY2(!w.action(QString::fromLatin1(name))->isEnabled(), name);
        QVERIFY(w.action(QStringLiteral("mcuttable"))->isEnabled());
        QVERIFY(!w.progress()->isShown());
    }

    void defaultGeometryIsFourFifthsOfTheScreenCentred_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("window");
        QTest::newRow("1400x900") << QRect(0, 0, 1400, 900) << QRect(140, 90, 1120, 720);
        QTest::newRow("1280x800") << QRect(0, 0, 1280, 800) << QRect(128, 80, 1024, 640);
        QTest::newRow("1920x1080 less a panel")
            << QRect(0, 32, 1920, 1048) << QRect(192, 137, 1536, 838);
        QTest::newRow("a second screen on the right")
            << QRect(1920, 0, 1280, 1024) << QRect(2048, 102, 1024, 819);
        // Four fifths of a small screen would cut the panes' texts.
        QTest::newRow("1152x720: no smaller than 1024x640")
            << QRect(0, 0, 1152, 720) << QRect(64, 40, 1024, 640);
        QTest::newRow("1024x640 less a panel: all of it")
            << QRect(0, 28, 1024, 612) << QRect(0, 28, 1024, 612);
        QTest::newRow("800x600: all of it") << QRect(0, 0, 800, 600) << QRect(0, 0, 800, 600);
    }

    void defaultGeometryIsFourFifthsOfTheScreenCentred()
    {
        QFETCH(QRect, available);
        QFETCH(QRect, window);
        QCOMPARE(MainWindow::defaultGeometry(available), window);
        QVERIFY(available.contains(window));
    }

    void storedGeometryAppliesOnlyNonZeroValues_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("width");
        // Zero: not stored, so the default's measure holds.
        QTest::newRow("nothing stored") << 0 << 0 << 0 << 0;
        QTest::newRow("height but no width") << 0 << 0 << 6000 << 0;
        QTest::newRow("everything") << 1500 << 3000 << 6000 << 9000;
        QTest::newRow("left only") << 0 << 450 << 0 << 0;
    }

    void storedGeometryAppliesOnlyNonZeroValues()
    {
        QFETCH(int, top);
        QFETCH(int, left);
        QFETCH(int, height);
        QFETCH(int, width);
        MainWindowFixture f;
        f.state.windowTop = std::int16_t(top);
        f.state.windowLeft = std::int16_t(left);
        f.state.windowHeight = std::int16_t(height);
        f.state.windowWidth = std::int16_t(width);
        MainWindow& w = f.loaded(false);
        const QRect available = w.screen()->availableGeometry();
        const QRect fallback = MainWindow::defaultGeometry(available);
        // What was stored, then kept on the screen (a small screen's default fills it).
        const QRect expected = WindowPlacement::fitted(
            {QPoint(left ? f.px(left) : fallback.left(), top ? f.px(top) : fallback.top()),
             QSize(width ? f.px(width) : fallback.width(),
                   height ? f.px(height) : fallback.height())},
            available);
        QCOMPARE(w.pos(), expected.topLeft());
        QCOMPARE(w.size(), expected.size());
    }

    // A remembered place from another screen: the window keeps its place and size as far as
    // the screen there is now allows, and no farther.
    void rememberedGeometryIsFittedToTheScreen_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("fitted");
        const QRect small(0, 0, 1024, 640);
        QTest::newRow("inside stays")
            << QRect(100, 50, 800, 500) << small << QRect(100, 50, 800, 500);
        QTest::newRow("exactly the screen") << small << small << small;
        QTest::newRow("from a 1280x800 screen: too big")
            << QRect(128, 80, 1024, 640) << small << QRect(0, 0, 1024, 640);
        QTest::newRow("from a 1280x800 screen: bigger than this one")
            << QRect(100, 60, 1200, 760) << small << QRect(0, 0, 1024, 640);
        QTest::newRow("right part off the screen moves left")
            << QRect(600, 100, 800, 400) << small << QRect(224, 100, 800, 400);
        QTest::newRow("status bar below the screen moves up")
            << QRect(50, 400, 800, 500) << small << QRect(50, 140, 800, 500);
        QTest::newRow("above and left of the screen")
            << QRect(-300, -40, 640, 480) << small << QRect(0, 0, 640, 480);
        QTest::newRow("under a panel at the top")
            << QRect(0, 0, 1024, 600) << QRect(0, 32, 1024, 608) << QRect(0, 32, 1024, 600);
        QTest::newRow("a second screen on the right")
            << QRect(3000, 900, 1280, 300) << QRect(1920, 0, 1024, 640)
            << QRect(1920, 340, 1024, 300);
    }
    void rememberedGeometryIsFittedToTheScreen()
    {
        QFETCH(QRect, window);
        QFETCH(QRect, available);
        QFETCH(QRect, fitted);
        QCOMPARE(WindowPlacement::fitted(window, available), fitted);
    }

    // Stored in twips from a larger screen, the window still opens wholly on this one.
    void storedGeometryOffTheScreenOpensOnIt()
    {
        MainWindowFixture f;
        f.create();
        const QRect available = f.window->screen()->availableGeometry();
        f.state.windowLeft = std::int16_t(f.twips(available.right() - 100));
        f.state.windowTop = std::int16_t(f.twips(available.top() + 40));
        f.state.windowWidth = std::int16_t(f.twips(available.width() + 256));
        f.state.windowHeight = std::int16_t(f.twips(300));
        MainWindow& w = f.loaded(false);
        QCOMPARE(w.size().width(), available.width());
        QVERIFY(std::abs(w.size().height() - 300) <= 1);
        QVERIFY(available.contains(QRect(w.pos(), w.size())));
    }

    void loadingClosesTheSplash()
    {
        MainWindowFixture f;
        f.create();
        QWidget splash;
        splash.show();
        f.window->load(&splash);
        QVERIFY(!splash.isVisible());
    }

    void menusHoldEveryItemInOrder()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded(false);
        QStringList tops;
        for (const QAction* top : w.menuBar()->actions())
            tops.append(top->menu() ? top->menu()->objectName() : top->objectName());
        QCOMPARE(tops, split("mr3system mfile mtable mfields mmytable moptions mver mjanela "
                             "mauxilio"));
        const QList<std::pair<const char*, const char*>> expected = {
            {"mr3system",
             "mconectar mdesconectar msapsysinfo -m11 msaplogon -m12 mopcoes -m13 msair"},
            {"mfile", "mnewqtable mopenqtable -m601 msaveqtable msaveasqtable -m602 "
                      "mabrirtabelas -m603 mcloseqtable"},
            {"mtable", "mntable -m611 mcuttable mpastetable -m612 mremovetable mrename -m613 "
                       "msinglesel"},
            {"mntable", "mnewtable mnewfolder mnewroot"},
            {"mfields", "mcopytomytable mprintfields -m621 mviewfields mfieldsgridlines"},
            {"mviewfields", "mviewfieldsdetail mviewfieldslist"},
            {"mmytable", "mqpreview mprintfieldsmytable mprintpreview mcloseqpreview -m631 "
                         "mimportmytable mopenmytable -m632 mrows mcloserows -m633 mmovedown "
                         "mmoveup mremovefield mremoveallfields"},
            {"moptions", "mshowoption mprintoptions -m641 mremoveoption mremovealloptions"},
            {"mver", "mtoolbar mstatusbar"},
            {"mjanela", "mvertical mhorizontal mtabular"},
            {"mauxilio", "mauxiliogeral msobrevub mvub"},
            {"mvub", "mvubhp msupport"},
        };
        for (const auto& [menu, items] : expected) {
            QVERIFY2(w.menu(QString::fromLatin1(menu)), menu);
            QCOMPARE(entriesOf(w.menu(QString::fromLatin1(menu))), split(items));
        }
        for (const char* checkable : {"msinglesel", "mviewfieldsdetail", "mviewfieldslist",
                                      "mfieldsgridlines", "mtoolbar", "mstatusbar"})
            QVERIFY2(w.action(QString::fromLatin1(checkable))->isCheckable(), checkable);
    }

    void shortcutsPerformTheirItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("done"); // what the call records
        QTest::newRow("new") << "mnewqtable" << QKeySequence(Qt::CTRL | Qt::Key_N) << "newQuery";
        QTest::newRow("open") << "mopenqtable" << QKeySequence(Qt::CTRL | Qt::Key_O) << "openQuery";
        QTest::newRow("save") << "msaveqtable" << QKeySequence(Qt::CTRL | Qt::Key_S) << "saveQuery";
        QTest::newRow("save as") << "msaveasqtable"
                                 << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S) << "saveQueryAs";
        QTest::newRow("preview") << "mqpreview" << QKeySequence(Qt::Key_F5) << "mqpreview()";
        QTest::newRow("export") << "mimportmytable" << QKeySequence(Qt::CTRL | Qt::Key_E)
                                << "mimportmytable()";
        QTest::newRow("close the window")
            << "mcloseqtable" << QKeySequence(Qt::CTRL | Qt::Key_W) << "closed";
        QTest::newRow("help") << "mauxiliogeral" << QKeySequence(Qt::Key_F1) << "help";
        QTest::newRow("exit") << "msair" << QKeySequence(Qt::CTRL | Qt::Key_Q) << "shutdown";
    }

    void shortcutsPerformTheirItems()
    {
        QFETCH(QString, item);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, done);
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        RecordingQueryWindow* query = f.addQueryWindow();
        // The menu shows the keys beside the item.
        QCOMPARE(w.action(item)->shortcut(), keys);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keySequence(&w, keys);
        if (done == u"closed")
            QTRY_COMPARE(w.workspace()->subWindowList().size(), 0);
        else if (done == u"help") // no manual in the fixture's folder: it says so
            QCOMPARE(f.desktop.starts.size() + f.desktop.messages.size(), 1);
        else if (done.endsWith(u')'))
            QCOMPARE(query->calls, QStringList{done});
        else if (done == u"shutdown")
            QCOMPARE(f.connection.calls, QStringList{done});
        else
            QCOMPARE(f.documents.calls, QStringList{done});
    }

    // The menus and the toolbar against the caption table and the menu layout, in each
    // language: what the user reads is the table's text with the mnemonic the menu gives it.
    void menusAndToolbarShowTheCaptionTable_data()
    {
        QTest::addColumn<bool>("portuguese");
        QTest::newRow("English") << false;
        QTest::newRow("Portuguese") << true;
    }
    void menusAndToolbarShowTheCaptionTable()
    {
        QFETCH(bool, portuguese);
        MainWindowFixture f;
        MainWindow& w = f.loaded(false);
        f.state.languageEnglish = !portuguese;
        f.state.languagePortuguese = portuguese;
        w.applyCaptions();
        const Language language(f.state);
        QStringList problems;
        QSet<QString> entries;
        std::function<void(const QList<QAction*>&, const QString&)> walk =
            [&](const QList<QAction*>& actions, const QString& path) {
                QList<QAction*> shown;
                QStringList names;
                QStringList captions;
                for (QAction* action : actions) {
                    if (action->isSeparator())
                        continue;
                    const QString name =
                        action->menu() ? action->menu()->objectName() : action->objectName();
                    entries.insert(name);
                    const QString caption = layoutCaption(name, language);
                    if (caption.isEmpty())
                        problems.append(path + name + QStringLiteral(": no caption row"));
                    shown.append(action);
                    names.append(name);
                    captions.append(caption);
                    if (action->shortcut() != MenuLayout::shortcut(name))
                        problems.append(path + name + QStringLiteral(": shortcut ") +
                                        action->shortcut().toString());
                    if (action->menu())
                        walk(action->menu()->actions(), path + name + u'/');
                }
                const QStringList marked = MenuMnemonics::assign(captions);
                for (qsizetype i = 0; i < shown.size(); ++i) {
                    if (shown.at(i)->text() != marked.at(i))
                        problems.append(
                            QStringLiteral("%1%2: \"%3\", not \"%4\"")
                                .arg(path, names.at(i), shown.at(i)->text(), marked.at(i)));
                }
            };
        walk(w.menuBar()->actions(), QString());
        QVERIFY(entries.size() > 60);
        for (const CaptionTable::Row& row : CaptionTable::rows()) {
            // The options dialog's rows are checked with the dialog.
            if (row.control.startsWith(Options::kDialog))
                continue;
            if (row.kind == CaptionTable::Kind::Caption) {
                if (!entries.contains(row.control))
                    problems.append(row.control + QStringLiteral(": a caption no menu shows"));
                continue;
            }
            const QObject* target = w.findChild<QObject*>(row.control);
            const auto* action = qobject_cast<const QAction*>(target);
            const auto* widget = qobject_cast<const QWidget*>(target);
            const QString tip = action ? action->toolTip() : widget ? widget->toolTip() : QString();
            if (tip != language.pick(row.text))
                problems.append(row.control + QStringLiteral(": tip \"%1\"").arg(tip));
        }
        // Every toolbar button has its tip in the table.
        for (const MenuLayout::ToolButton& button : MenuLayout::toolbar()) {
            if (!button.key.isEmpty() &&
                CaptionTable::text(button.key, CaptionTable::Kind::ToolTip).en.isEmpty())
                problems.append(button.key + QStringLiteral(": no tip row"));
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }

    // A few captions written out as users see them, so that a wrong table is caught too.
    void captionsAsUsersSeeThem_data()
    {
        QTest::addColumn<bool>("portuguese");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("connect") << false << "mconectar"
                                 << "Connect...";
        QTest::newRow("export") << false << "mimportmytable"
                                << "Import Table";
        QTest::newRow("fixed in both") << true << "msapsysinfo"
                                       << "SAP System Information";
        QTest::newRow("feminine new") << true << "mntable"
                                      << "Nova";
        QTest::newRow("kept spelling") << true << "mshowoption"
                                       << "Mostar Opções";
        QTest::newRow("help menu") << true << "mauxilio"
                                   << "Auxílio";
    }
    void captionsAsUsersSeeThem()
    {
        QFETCH(bool, portuguese);
        QFETCH(QString, name);
        QFETCH(QString, shown);
        MainWindowFixture f;
        f.state.languageEnglish = !portuguese;
        f.state.languagePortuguese = portuguese;
        MainWindow& w = f.loaded(false);
        QCOMPARE(captionOf(w, name), shown);
        QCOMPARE(w.windowTitle(), QStringLiteral("Quillon for SAP R/3"));
        // The first menu's own mnemonic, as the fixed caption carries it.
        QCOMPARE(w.menu(QStringLiteral("mr3system"))->title(), QStringLiteral("&R/3 System"));
    }

    // Every menu title and item opens by Alt (or, in an open menu, by itself) and a letter
    // of its own in either language, and the letter is one the caption shows.
    void everyMenuHasAMnemonic_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "EN";
        QTest::newRow("Portuguese") << "PT";
    }

    void everyMenuHasAMnemonic()
    {
        QFETCH(QString, language);
        MainWindowFixture f;
        MainWindow& w = f.loaded(false);
        f.state.languageEnglish = language == u"EN";
        f.state.languagePortuguese = language == u"PT";
        w.applyCaptions();
        w.applyCaptions(); // once more, as the options dialog does: still one mark each
        QStringList problems;
        std::function<void(const QList<QAction*>&, const QString&)> check =
            [&](const QList<QAction*>& actions, const QString& where) {
                QSet<QChar> keys;
                for (const QAction* action : actions) {
                    if (action->isSeparator())
                        continue;
                    const QString text = action->text();
                    const QKeySequence mnemonic = QKeySequence::mnemonic(text);
                    const QString shown = MenuMnemonics::visible(text);
                    if (mnemonic.isEmpty() || text.count(u'&') != 1) {
                        problems.append(where + u'/' + text);
                    } else {
                        const QChar key = text.at(text.indexOf(u'&') + 1).toUpper();
                        if (keys.contains(key))
                            problems.append(where + u'/' + text + QStringLiteral(" (twice)"));
                        keys.insert(key);
                    }
                    if (shown.contains(u'&'))
                        problems.append(where + u'/' + shown + QStringLiteral(" (shows &)"));
                    if (action->menu())
                        check(action->menu()->actions(), where + u'/' + shown);
                }
            };
        check(w.menuBar()->actions(), QString());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        // The fixed mnemonic stays, the others follow their captions.
        QCOMPARE(w.menu(QStringLiteral("mr3system"))->title(), QStringLiteral("&R/3 System"));
        QCOMPARE(w.menu(QStringLiteral("mfile"))->title(),
                 language == u"EN" ? QStringLiteral("&File") : QStringLiteral("&Arquivo"));
    }

    // F10, or Alt alone, takes the keyboard to the menu bar from wherever the focus is: the
    // main window itself or a widget of a query window inside its workspace. The same key again
    // closes the menu; Alt with a letter stays the letter's menu, and Shift+F10 is no F10.
    void menuBarByF10OrAlt_data()
    {
        QTest::addColumn<bool>("queryWindow");
        QTest::addColumn<bool>("useAlt");
        QTest::newRow("F10, no query window") << false << false;
        QTest::newRow("F10 in a query window") << true << false;
        QTest::newRow("Alt, no query window") << false << true;
        QTest::newRow("Alt in a query window") << true << true;
    }
    void menuBarByF10OrAlt()
    {
        QFETCH(bool, queryWindow);
        QFETCH(bool, useAlt);
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QWidget* focus = &w;
        if (queryWindow) {
            RecordingQueryWindow* query = f.addQueryWindow();
            query->tree->setFocus();
            QTRY_VERIFY(query->tree->hasFocus());
            focus = query->tree;
        }
        const auto press = [&] {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : focus;
            if (useAlt) {
                QTest::keyPress(target, Qt::Key_Alt, Qt::AltModifier);
                QTest::keyRelease(target, Qt::Key_Alt);
            } else {
                QTest::keyClick(target, Qt::Key_F10);
            }
        };
        QVERIFY(!w.menuBar()->activeAction());
        press();
        QAction* first = w.menu(QStringLiteral("mr3system"))->menuAction();
        QTRY_COMPARE(w.menuBar()->activeAction(), first);
        // Alt marks the first menu; Down opens it. F10 opens it at once.
        if (useAlt)
            QTest::keyClick(w.menuBar(), Qt::Key_Down);
        QTRY_VERIFY(w.menu(QStringLiteral("mr3system"))->isVisible());
        // The arrows go on along the bar.
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
        QTRY_VERIFY(w.menu(QStringLiteral("mfile"))->isVisible());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTest::keyClick(w.menuBar(), Qt::Key_Escape);
        QTRY_VERIFY(!w.menuBar()->activeAction());
        QTRY_VERIFY(!QApplication::activePopupWidget());
        // Keys that only look alike open nothing.
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : focus;
        QTest::keyClick(target, Qt::Key_F10, Qt::ShiftModifier);
        QTest::keyPress(target, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyClick(target, Qt::Key_X, Qt::AltModifier);
        QTest::keyRelease(target, Qt::Key_Alt);
        QCoreApplication::processEvents();
        QVERIFY(!w.menu(QStringLiteral("mr3system"))->isVisible());
        QVERIFY(!w.menuBar()->activeAction());
    }

    // Tool buttons and lists carry a mark while they have the keyboard focus, and lose it with
    // the focus.
    void theFocusIsMarked_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("tool button") << "button";
        QTest::newRow("list") << "list";
    }
    void theFocusIsMarked()
    {
        QFETCH(QString, kind);
        FocusMarkStyle style;
        QWidget window;
        window.resize(320, 200);
        auto* other = new QLineEdit(&window);
        other->setGeometry(10, 160, 100, 24);
        QWidget* marked = nullptr;
        if (kind == u"button") {
            auto* button = new QToolButton(&window);
            button->setIcon(Icons::get(QStringLiteral("preview")));
            button->setAutoRaise(true);
            button->setGeometry(10, 10, 40, 40);
            marked = button;
        } else {
            auto* list = new QTreeWidget(&window);
            list->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("KNA1")}));
            list->setGeometry(10, 10, 200, 120);
            marked = list;
        }
        marked->setStyle(&style);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QRgb highlight = marked->palette().color(QPalette::Highlight).rgb();
        const auto highlighted = [&] {
            const QImage image = marked->grab().toImage();
            int count = 0;
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, 0) == highlight || image.pixel(x, 1) == highlight;
            return count;
        };
        other->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(other->hasFocus());
        const int without = highlighted();
        marked->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(marked->hasFocus());
        // The top edge is highlighted across most of its width.
        QTRY_VERIFY2(highlighted() > without + marked->width() / 2,
                     qPrintable(QStringLiteral("%1 then %2").arg(without).arg(highlighted())));
        other->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(highlighted(), without);
    }

    void mnemonicsAreChosenPerMenu_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("marked");
        QTest::newRow("word starts first") << QStringList{"Copy to My Table", "Print Fields"}
                                           << QStringList{"&Copy to My Table", "&Print Fields"};
        QTest::newRow("a taken letter: the next word")
            << QStringList{"Print Fields", "Print Preview", "Print Options"}
            << QStringList{"&Print Fields", "P&rint Preview", "Print &Options"};
        QTest::newRow("no free word start: any letter")
            << QStringList{"File", "Fields"} << QStringList{"&File", "F&ields"};
        QTest::newRow("an own mnemonic is kept and reserved")
            << QStringList{"Remove", "&Rename"} << QStringList{"R&emove", "&Rename"};
        QTest::newRow("a plain ampersand stays one")
            << QStringList{"Save & Close"} << QStringList{"&Save && Close"};
        QTest::newRow("accents, case-blind")
            << QStringList{"Opções", "opcao"} << QStringList{"&Opções", "o&pcao"};
        QTest::newRow("nothing left") << QStringList{"A", "a"} << QStringList{"&A", "a"};
    }

    void mnemonicsAreChosenPerMenu()
    {
        QFETCH(QStringList, captions);
        QFETCH(QStringList, marked);
        QCOMPARE(MenuMnemonics::assign(captions), marked);
        QCOMPARE(MenuMnemonics::assign(marked), marked);
        for (qsizetype i = 0; i < captions.size(); ++i)
            // The text shown is the caption's, less a mark it carried itself.
            QCOMPARE(
                MenuMnemonics::visible(marked.at(i)),
                QString(captions.at(i)).remove(QRegularExpression(QStringLiteral("&(?=\\w)"))));
    }

    void portugueseWinsOverCtFromTheSettings()
    {
        MainWindowFixture f;
        f.state.languageOther = true;
        f.state.languagePortuguese = true;
        MainWindow& w = f.loaded(false);
        QCOMPARE(captionOf(w, QStringLiteral("mfile")), QStringLiteral("Arquivo"));
        QCOMPARE(w.toolButton(QStringLiteral("Conectar"))->toolTip(),
                 QStringLiteral("Conectar R/3 System"));
        QCOMPARE(panel(w, Main::kMessagePanel)->toolTip(), QStringLiteral("Mensagem do Sistema"));
        QCOMPARE(w.statusPanels()->message(),
                 QStringLiteral("Bom dia maria. Bem-vindo ao Quillon"));
    }

    void toolbarHasFifteenButtons_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("portuguese");
        const auto row = [](int index, const char* key, const char* en, const char* pt) {
            QTest::addRow("%d %s", index, key) << index << QString::fromLatin1(key)
                                               << QString::fromUtf8(en) << QString::fromUtf8(pt);
        };
        row(1, "Conectar", "Connect to R/3 System", "Conectar R/3 System");
        row(2, "SapLogon", "SAP Logon", "SAP Logon");
        row(3, "Opcoes", "Options", "Opções");
        row(4, "", "", "");
        row(5, "NewQTable", "New Quillon", "Novo Quillon");
        row(6, "OpenQTable", "Open Quillon", "Abrir Quillon");
        row(7, "Save", "Save Quillon", "Save Quillon");
        row(8, "AbrirTabelas", "Open Table in Excel", "Abrir Tabela no Excel");
        row(9, "", "", "");
        row(10, "Preview", "Preview", "Visualizar");
        row(11, "ImportMyTable", "Import Table", "Importar Tabela");
        row(12, "OpenMyTable", "Open Table", "Abrir Tabela");
        row(13, "", "", "");
        row(14, "Auxilio", "Help - Contents", "Auxílio Geral");
        row(15, "Sair", "Exit", "Encerrar");
    }

    void toolbarHasFifteenButtons()
    {
        QFETCH(int, index);
        QFETCH(QString, key);
        QFETCH(QString, english);
        QFETCH(QString, portuguese);
        MainWindowFixture f;
        MainWindow& w = f.loaded(false);
        const QList<QAction*> buttons = toolbarOf(w)->actions();
        QVERIFY(buttons.size() >= 15);
        QAction* button = buttons.at(index - 1);
        if (key.isEmpty()) {
            QVERIFY(button->isSeparator());
            return;
        }
        QCOMPARE(button->objectName(), key);
        QVERIFY(!button->isSeparator());
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->toolTip(), english);
        f.state.languageEnglish = false;
        f.state.languagePortuguese = true;
        w.applyCaptions();
        QCOMPARE(button->toolTip(), portuguese);
    }

    void menuPicturesSitAtTheirPositions()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded(false);
        QStringList withPictures;
        for (const QAction* top : w.menuBar()->actions()) {
            for (const QAction* item : top->menu()->actions()) {
                if (!item->icon().isNull())
                    withPictures.append(item->objectName());
            }
        }
        QCOMPARE(withPictures,
                 split("mconectar msaplogon mopcoes msair mnewqtable mopenqtable msaveqtable "
                       "mabrirtabelas mcopytomytable mqpreview mimportmytable mopenmytable "
                       "mmovedown mmoveup mremovefield mauxiliogeral"));
    }

    void statusPanelOneTakesWidthBeyondTheReserve()
    {
        MainWindowFixture f;
        f.state.statusBarShown = true;
        MainWindow& w = f.loaded();
        w.resize(900, 500);
        QTRY_COMPARE(w.statusPanels()->messageWidth(), f.px(f.twips(w.width()) - 2680));
        w.resize(700, 500);
        QTRY_COMPARE(w.width(), 700);
        QTRY_COMPARE(w.statusPanels()->messageWidth(), f.px(f.twips(700) - 2680));
    }

    void narrowWindowLeavesStatusPanelOne()
    {
        MainWindowFixture f;
        f.state.statusBarShown = true;
        MainWindow& w = f.loaded();
        // The menus would keep the window wider than the reserve; a user-set minimum lifts that.
        w.setMinimumWidth(1);
        w.resize(600, 400);
        QTRY_COMPARE(w.statusPanels()->messageWidth(), f.px(f.twips(600) - 2680));
        const int before = w.statusPanels()->messageWidth();
        w.resize(f.px(2680) - 1, 400);
        QTest::qWait(20);
        QCOMPARE(w.width(), f.px(2680) - 1);
        QCOMPARE(w.statusPanels()->messageWidth(), before);
    }

    void rightClickOnStatusBarPopsUpTheR3Menu()
    {
        MainWindowFixture f;
        f.state.statusBarShown = true;
        MainWindow& w = f.loaded();
        QMenu* r3 = w.menu(QStringLiteral("mr3system"));
        for (QWidget* target : {static_cast<QWidget*>(w.statusBar()),
                                static_cast<QWidget*>(panel(w, Main::kMessagePanel)),
                                w.findChild<QWidget*>(Main::kConnectionPanel)}) {
            QVERIFY(!r3->isVisible());
            QTest::mousePress(target, Qt::RightButton, {}, QPoint(3, 3));
            QTRY_VERIFY(r3->isVisible());
            r3->close();
        }
        QTest::mousePress(w.statusBar(), Qt::LeftButton, {}, QPoint(3, 3));
        QTest::qWait(20);
        QVERIFY(!r3->isVisible());
    }

    void savingMenusFollowQueryWindows()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        for (const char* name : {"mtable", "mfields", "mmytable", "moptions"})
            w.menu(QString::fromLatin1(name))->setEnabled(false);
        w.action(QStringLiteral("mcloseqtable"))->setEnabled(false);
        QPointer<RecordingQueryWindow> query = f.addQueryWindow();
        for (const char* name : {"msaveqtable", "msaveasqtable", "mcloseqtable"})
            QVERIFY2(w.action(QString::fromLatin1(name))->isEnabled(), name);
        for (const char* name : {"mtable", "mfields", "mmytable", "moptions"})
            QVERIFY2(w.menu(QString::fromLatin1(name))->isEnabled(), name);
        w.action(QStringLiteral("mcloseqtable"))->trigger();
        QTRY_VERIFY(query.isNull());
        QTRY_VERIFY(!w.action(QStringLiteral("msaveqtable"))->isEnabled());
        QVERIFY(!w.action(QStringLiteral("msaveasqtable"))->isEnabled());
        // The document menus stay enabled; only Save and Save As follow the last window.
        QVERIFY(w.menu(QStringLiteral("mtable"))->isEnabled());
    }

    void closeWritesTheSettingsOnceWithTheGeometry()
    {
        MainWindowFixture f;
        f.state.windowTop = 1500;
        f.state.windowLeft = 3000;
        f.state.windowHeight = 6000;
        f.state.windowWidth = 9000;
        f.state.listSeparator = QStringLiteral("|");
        MainWindow& w = f.loaded();
        w.move(f.px(1800), f.px(1200));
        QVERIFY(!QFile::exists(f.settingsPath()));
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        AppState written;
        QVERIFY(SettingsFile::readFile(f.settingsPath(), written).ok);
        QCOMPARE(int(written.windowLeft), qRound(f.twips(f.px(1800))));
        QCOMPARE(int(written.windowTop), qRound(f.twips(f.px(1200))));
        QCOMPARE(int(written.windowHeight), qRound(f.twips(f.px(6000))));
        QCOMPARE(int(written.windowWidth), qRound(f.twips(f.px(9000))));
        QCOMPARE(written.listSeparator, QStringLiteral("|"));
        QVERIFY(written.languageEnglish);

        // A second close request or the window's end writes nothing more.
        QVERIFY(QFile::remove(f.settingsPath()));
        QCloseEvent again;
        QApplication::sendEvent(&w, &again);
        QVERIFY(again.isAccepted());
        f.window.reset();
        QVERIFY(!QFile::exists(f.settingsPath()));
    }

    void geometryThatDoesNotFitIsNotStored()
    {
        MainWindowFixture f;
        f.state.windowLeft = 3000;
        f.state.windowTop = 1500;
        MainWindow& w = f.loaded();
        // 2500 pixels is well above 32767 twips at any usual resolution.
        w.move(2500 * qMax(1, qRound(w.dotsPerInch() / 96.0)), f.px(1500));
        QVERIFY(w.close());
        AppState written;
        QVERIFY(SettingsFile::readFile(f.settingsPath(), written).ok);
        QCOMPARE(written.windowLeft, std::int16_t(3000));
        QCOMPARE(int(written.windowTop), qRound(f.twips(f.px(1500))));
    }

    void minimisedWindowKeepsTheStoredGeometry()
    {
        MainWindowFixture f;
        f.state.windowTop = 1500;
        f.state.windowLeft = 3000;
        f.state.windowHeight = 6000;
        f.state.windowWidth = 9000;
        MainWindow& w = f.loaded();
        w.move(f.px(600), f.px(450));
        w.showMinimized();
        QVERIFY(w.close());
        AppState written;
        QVERIFY(SettingsFile::readFile(f.settingsPath(), written).ok);
        QCOMPARE(written.windowTop, std::int16_t(1500));
        QCOMPARE(written.windowLeft, std::int16_t(3000));
        QCOMPARE(written.windowHeight, std::int16_t(6000));
        QCOMPARE(written.windowWidth, std::int16_t(9000));
    }

    void queryWindowsFollowTheWorkspace_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QRect>("after"); // the workspace after, from (0, 0) as before
        QTest::addColumn<QRect>("expected");
        const QRect before(0, 0, 800, 500);
        QTest::newRow("filling it, it grows")
            << before << QRect(0, 0, 1200, 700) << QRect(0, 0, 1200, 700);
        QTest::newRow("a step in, it grows")
            << QRect(24, 24, 776, 476) << QRect(0, 0, 1200, 700) << QRect(24, 24, 1176, 676);
        QTest::newRow("filling it, it shrinks")
            << before << QRect(0, 0, 600, 400) << QRect(0, 0, 600, 400);
        QTest::newRow("short of its right edge")
            << QRect(0, 0, 700, 500) << QRect(0, 0, 1200, 700) << QRect(0, 0, 700, 500);
        QTest::newRow("short of its bottom edge")
            << QRect(0, 0, 800, 450) << QRect(0, 0, 1200, 700) << QRect(0, 0, 800, 450);
        QTest::newRow("it shrinks past the window's corner")
            << QRect(700, 400, 100, 100) << QRect(0, 0, 600, 400) << QRect(700, 400, 100, 100);
    }
    void queryWindowsFollowTheWorkspace()
    {
        QFETCH(QRect, window);
        QFETCH(QRect, after);
        QFETCH(QRect, expected);
        QCOMPARE(WorkspaceFollower::followed(window, QRect(0, 0, 800, 500), after), expected);
    }

    // Maximising the main window or resizing it takes the query windows along: one that took
    // the workspace keeps it, one a step in keeps its step, a maximised one stays maximised,
    // one put elsewhere stays where it was.
    void queryWindowsFollowTheMainWindow()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        w.resize(900, 600);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QWidget* viewport = w.workspace()->viewport();
        QMdiSubWindow* filling = w.addQueryWindow(new RecordingQueryWindow(QStringLiteral("One")));
        QMdiSubWindow* stepped = w.addQueryWindow(new RecordingQueryWindow(QStringLiteral("Two")));
        QMdiSubWindow* placed = w.addQueryWindow(new RecordingQueryWindow(QStringLiteral("Three")));
        placed->setGeometry(10, 10, 200, 150);
        QCOMPARE(filling->geometry(), viewport->rect());
        QCOMPARE(stepped->geometry(), viewport->rect().adjusted(24, 24, 0, 0));
        const QSize small = viewport->size();
        w.resize(1200, 760);
        QTRY_VERIFY(viewport->width() > small.width() && viewport->height() > small.height());
        QTRY_COMPARE(filling->geometry(), viewport->rect());
        QCOMPARE(stepped->geometry(), viewport->rect().adjusted(24, 24, 0, 0));
        QCOMPARE(placed->geometry(), QRect(10, 10, 200, 150));
        // Maximised in a maximised main window, and back.
        stepped->showMaximized();
        w.showMaximized();
        QTRY_VERIFY(w.isMaximized());
        QTRY_COMPARE(stepped->geometry(), viewport->rect());
        QVERIFY(stepped->isMaximized());
        const QSize large = viewport->size();
        w.showNormal();
        w.resize(1000, 640);
        QTRY_VERIFY(viewport->size() != large);
        QTRY_COMPARE(stepped->geometry(), viewport->rect());
        QVERIFY(stepped->isMaximized());
    }

    // The documents open at the end are kept while their windows are still open: by Exit
    // (once per close request, as a refused one leaves them open) or from outside.
    void openDocumentsAreKeptBeforeTheWindowsGo_data()
    {
        QTest::addColumn<bool>("fromOutside");
        QTest::newRow("Exit") << false;
        QTest::newRow("the end of the desktop session") << true;
    }
    void openDocumentsAreKeptBeforeTheWindowsGo()
    {
        QFETCH(bool, fromOutside);
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        QPointer<RecordingQueryWindow> query = f.addQueryWindow();
        QList<bool> openWhenKept;
        f.documents.whileKeeping = [&] { openWhenKept.append(query && query->closeRequests == 0); };
        if (fromOutside) {
            w.endSession();
        } else {
            query->closesToRefuse = 1;
            QVERIFY(!w.close());
            query->closeRequests = 0;
            QVERIFY(w.close());
        }
        QCOMPARE(openWhenKept, QList<bool>(fromOutside ? 1 : 2, true));
        QCOMPARE(f.documents.calls.count(QStringLiteral("keepOpenDocuments")), openWhenKept.size());
    }

    void closeLogsOffAndDisconnects()
    {
        MainWindowFixture f;
        f.state.connected = true;
        MainWindow& w = f.loaded();
        QVERIFY(w.close());
        QCOMPARE(f.connection.calls, QStringList{QStringLiteral("shutdown")});
        QVERIFY(!f.state.connected);
        QVERIFY(QFile::exists(f.settingsPath()));
    }

    void cancelInAQueryWindowStopsThatCloseOnly()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        QPointer<RecordingQueryWindow> first = f.addQueryWindow(QStringLiteral("First"));
        QPointer<RecordingQueryWindow> second = f.addQueryWindow(QStringLiteral("Second"));
        second->closesToRefuse = 1;
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(!QFile::exists(f.settingsPath()));
        QCOMPARE(second->closeRequests, 1);

        // The next close request asks the remaining windows again.
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QVERIFY(QFile::exists(f.settingsPath()));
        QVERIFY(first.isNull() || first->closeRequests == 1);
        if (second)
            QCOMPARE(second->closeRequests, 2);
    }

    void exitClosesEvenAfterARefusal()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        QPointer<RecordingQueryWindow> query = f.addQueryWindow();
        query->closesToRefuse = 1;
        QVERIFY(!w.close());
        w.action(QStringLiteral("msair"))->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(query.isNull() || query->closeRequests == 2);
        QVERIFY(QFile::exists(f.settingsPath()));
    }

    void exitIsRefusedByAQueryWindow()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        RecordingQueryWindow* query = f.addQueryWindow();
        query->closesToRefuse = 1;
        w.action(QStringLiteral("msair"))->trigger();
        QVERIFY(w.isVisible());
        QCOMPARE(query->closeRequests, 1);
        QVERIFY(!QFile::exists(f.settingsPath()));
    }

    void tilingPlacesWindowsSideBySideOrStacked_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("count");
        QTest::newRow("vertical, two") << QStringLiteral("mvertical") << 2;
        QTest::newRow("vertical, three") << QStringLiteral("mvertical") << 3;
        QTest::newRow("horizontal, two") << QStringLiteral("mhorizontal") << 2;
        QTest::newRow("horizontal, three") << QStringLiteral("mhorizontal") << 3;
    }

    void tilingPlacesWindowsSideBySideOrStacked()
    {
        QFETCH(QString, command);
        QFETCH(int, count);
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        w.resize(900, 600);
        for (int i = 0; i < count; ++i)
            f.addQueryWindow(QStringLiteral("Q%1").arg(i));
        w.action(command)->trigger();
        QList<QRect> rects;
        for (const QMdiSubWindow* sub : w.workspace()->subWindowList())
            rects.append(sub->geometry());
        std::sort(rects.begin(), rects.end(),
                  [](const QRect& a, const QRect& b) { return a.x() + a.y() < b.x() + b.y(); });
        const QRect area = w.workspace()->viewport()->rect();
        const bool sideBySide = command == u"mvertical";
        int covered = 0;
        for (int i = 0; i < count; ++i) {
            const QRect& r = rects.at(i);
            if (sideBySide) {
                QCOMPARE(r.top(), area.top());
                QCOMPARE(r.height(), area.height());
                QCOMPARE(r.left(), area.left() + covered);
                covered += r.width();
            } else {
                QCOMPARE(r.left(), area.left());
                QCOMPARE(r.width(), area.width());
                QCOMPARE(r.top(), area.top() + covered);
                covered += r.height();
            }
        }
        QCOMPARE(covered, sideBySide ? area.width() : area.height());
    }

    void cascadeStepsEachWindowDownAndRight()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        w.resize(900, 600);
        for (int i = 0; i < 3; ++i)
            f.addQueryWindow(QStringLiteral("Q%1").arg(i));
        w.action(QStringLiteral("mvertical"))->trigger();
        w.action(QStringLiteral("mtabular"))->trigger();
        QList<QPoint> corners;
        for (const QMdiSubWindow* sub : w.workspace()->subWindowList())
            corners.append(sub->pos());
        std::sort(corners.begin(), corners.end(),
                  [](const QPoint& a, const QPoint& b) { return a.y() < b.y(); });
        QCOMPARE(corners.size(), 3);
        for (int i = 1; i < 3; ++i) {
            QVERIFY(corners.at(i).x() > corners.at(i - 1).x());
            QVERIFY(corners.at(i).y() > corners.at(i - 1).y());
        }
    }

    void windowMenuListsTheOpenWindows()
    {
        MainWindowFixture f;
        MainWindow& w = f.loaded();
        QMenu* windows = w.menu(QStringLiteral("mjanela"));
        Q_EMIT windows->aboutToShow();
        QCOMPARE(windows->actions().size(), 3);
        f.addQueryWindow(QStringLiteral("Sales"));
        QPointer<RecordingQueryWindow> stock = f.addQueryWindow(QStringLiteral("Stock"));
        for (int shown = 0; shown < 2; ++shown) {
            Q_EMIT windows->aboutToShow();
            const QList<QAction*> entries = windows->actions();
            QCOMPARE(entries.size(), 6);
            QVERIFY(entries.at(3)->isSeparator());
            QCOMPARE(entries.at(4)->text(), QStringLiteral("&1 Sales"));
            QCOMPARE(entries.at(5)->text(), QStringLiteral("&2 Stock"));
            QVERIFY(!entries.at(4)->isChecked());
            QVERIFY(entries.at(5)->isChecked());
        }
        windows->actions().at(4)->trigger();
        QCOMPARE(w.activeQueryWindow()->windowTitle(), QStringLiteral("Sales"));

        w.workspace()->setActiveSubWindow(w.workspace()->subWindowList().at(1));
        w.action(QStringLiteral("mcloseqtable"))->trigger();
        QTRY_VERIFY(stock.isNull());
        Q_EMIT windows->aboutToShow();
        QCOMPARE(windows->actions().size(), 5);
        QCOMPARE(windows->actions().at(4)->text(), QStringLiteral("&1 Sales"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
