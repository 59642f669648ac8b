// The main window's command table: what each menu item and toolbar button does.
#include "MainWindow.h"

#include "AboutBox.h"
#include "AppState.h"
#include "CommandRouter.h"
#include "ConnectionCommands.h"
#include "DesktopServices.h"
#include "DocumentCommands.h"
#include "Language.h"
#include "MenuLayout.h"
#include "OptionsDialog.h"
#include "RecentDocuments.h"
#include "Texts.h"
#include "WindowArranger.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

namespace
{
enum Arrangement { kTileVertical, kTileHorizontal, kCascade };
}

void MainWindow::registerCommands()
{
    const auto add = [this](const char* name, std::function<void()> command) {
        m_commands.insert(QString::fromLatin1(name), std::move(command));
    };
    add("mconectar", [this] { connectToSystem(); });
    add("mdesconectar", [this] {
        if (m_connection)
            m_connection->releaseComponents();
        if (m_documents)
            m_documents->connectionClosed();
    });
    add("msapsysinfo", [this] {
        if (m_connection)
            m_connection->showSystemInformation();
    });
    add("msaplogon", [this] { m_services->startSapLogon(); });
    add("mopcoes", [this] {
        OptionsDialog dialog(
            m_state, [this] { applyCaptions(); }, this);
        dialog.exec();
    });
    add("msair", [this] { close(); });
    add("mnewqtable", [this] {
        if (m_documents)
            m_documents->newQuery();
    });
    add("mopenqtable", [this] {
        if (m_documents && m_documents->openQuery() == 1)
            documentOpened();
    });
    add("msaveqtable", [this] {
        if (m_documents)
            m_documents->saveQuery();
    });
    add("msaveasqtable", [this] {
        if (m_documents)
            m_documents->saveQueryAs();
    });
    add("mabrirtabelas", [this] { m_services->chooseAndOpenTableFile(); });
    add("mcloseqtable", [this] {
        if (QMdiSubWindow* sub = m_mdi->currentSubWindow())
            sub->close();
    });
    add("mremovetable", [this] {
        action(QStringLiteral("mpastetable"))->setEnabled(false);
        QWidget* window = activeQueryWindow();
        if (!window)
            return;
        const auto* tree = window->findChild<QAbstractItemView*>(QStringLiteral("TreeView1"));
        // Nodes carry their key beside the text they show; a plain view has only the text.
        const QModelIndex current = tree ? tree->currentIndex() : QModelIndex();
        const QVariant key = current.data(Qt::UserRole);
        const QString node = key.isValid() ? key.toString() : current.data().toString();
        CommandRouter::send(window, QStringLiteral("mremovetable"), {node, QStringLiteral("user")});
    });
    add("msinglesel", [this] { toggleSingleSel(); });
    add("mviewfieldsdetail", [this] {
        setViewProperty("ListView1", "View", 3);
        action(QStringLiteral("mviewfieldsdetail"))->setChecked(true);
        action(QStringLiteral("mviewfieldslist"))->setChecked(false);
    });
    add("mviewfieldslist", [this] {
        setViewProperty("ListView1", "View", 2);
        action(QStringLiteral("mviewfieldslist"))->setChecked(true);
        action(QStringLiteral("mviewfieldsdetail"))->setChecked(false);
    });
    add("mfieldsgridlines", [this] {
        QWidget* window = activeQueryWindow();
        QObject* list = window ? window->findChild<QObject*>(QStringLiteral("ListView1")) : nullptr;
        if (!list)
            return;
        const bool on = !list->property("GridLines").toBool();
        list->setProperty("GridLines", on);
        action(QStringLiteral("mfieldsgridlines"))->setChecked(on);
    });
    add("mopenmytable", [this] {
        if (m_services->chooseFileToOpen(m_state.lastExportFile, DesktopServices::kTableFilter) ==
            1)
            m_services->openWithAssociatedProgram(m_services->dialogFileName());
    });
    add("mtoolbar", [this] { toggleToolbar(); });
    add("mstatusbar", [this] { toggleStatusBar(); });
    add("mvertical", [this] { arrange(kTileVertical); });
    add("mhorizontal", [this] { arrange(kTileHorizontal); });
    add("mtabular", [this] { arrange(kCascade); });
    add("mauxiliogeral", [this] { m_services->openHelp(); });
    add("msobrevub", [this] {
        AboutBox about(m_state, *m_services, this);
        about.exec();
    });
    add("mvubhp", [this] { m_services->openUrl(Texts::homePage()); });
    add("msupport", [this] { m_services->openUrl(Texts::supportPage()); });
}

void MainWindow::documentOpened()
{
    QWidget* window = activeQueryWindow();
    if (window && !window->property("singleClick").toBool()) {
        window->setProperty("singleClick", true);
        perform(QStringLiteral("msinglesel"));
    }
}

void MainWindow::perform(const QString& command)
{
    if (const auto found = m_commands.constFind(command); found != m_commands.constEnd()) {
        found.value()();
        return;
    }
    routeToActive(command);
}

void MainWindow::performKey(const QString& key)
{
    const QString command = MenuLayout::commandForKey(key);
    if (!command.isEmpty())
        perform(command);
}

void MainWindow::routeToActive(const QString& command)
{
    // Paste is offered only between a Cut and the next tree command.
    if (command == u"mcuttable")
        action(QStringLiteral("mpastetable"))->setEnabled(true);
    else if (command.startsWith(u"mnew") || command == u"mpastetable" || command == u"mrename")
        action(QStringLiteral("mpastetable"))->setEnabled(false);
    CommandRouter::send(activeQueryWindow(), command);
}

void MainWindow::setViewProperty(const char* control, const char* property, const QVariant& value)
{
    QWidget* window = activeQueryWindow();
    if (QObject* target =
            window ? window->findChild<QObject*>(QString::fromLatin1(control)) : nullptr)
        target->setProperty(property, value);
}

void MainWindow::toggleSingleSel()
{
    QWidget* window = activeQueryWindow();
    if (!window)
        return;
    const bool on = !window->property("singleClick").toBool();
    window->setProperty("singleClick", on);
    if (QObject* tree = window->findChild<QObject*>(QStringLiteral("TreeView1"))) {
        tree->setProperty("SingleSel", on);
        tree->setProperty("HotTracking", on);
    }
    action(QStringLiteral("msinglesel"))->setChecked(on);
}

void MainWindow::refreshWindowStates()
{
    // Single click, the field list's view and its grid lines belong to each window: the menu
    // shows those of the window that just became active.
    QWidget* window = activeQueryWindow();
    if (!window)
        return;
    action(QStringLiteral("msinglesel"))->setChecked(window->property("singleClick").toBool());
    if (const QObject* list = window->findChild<QObject*>(QStringLiteral("ListView1"))) {
        const QVariant view = list->property("View");
        if (view.isValid()) {
            action(QStringLiteral("mviewfieldsdetail"))->setChecked(view.toInt() == 3);
            action(QStringLiteral("mviewfieldslist"))->setChecked(view.toInt() == 2);
        }
        action(QStringLiteral("mfieldsgridlines"))
            ->setChecked(list->property("GridLines").toBool());
    }
}

void MainWindow::toggleToolbar()
{
    m_state.toolbarShown = !m_state.toolbarShown;
    m_toolbar->setVisible(m_state.toolbarShown);
    action(QStringLiteral("mtoolbar"))->setChecked(m_state.toolbarShown);
}

void MainWindow::toggleStatusBar()
{
    m_state.statusBarShown = !m_state.statusBarShown;
    statusBar()->setVisible(m_state.statusBarShown);
    action(QStringLiteral("mstatusbar"))->setChecked(m_state.statusBarShown);
}

void MainWindow::arrange(int how)
{
    if (how == kCascade) {
        m_mdi->cascadeSubWindows();
        return;
    }
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (!sub->isMinimized() && sub->isVisible())
            windows.append(sub);
    }
    const auto rects =
        WindowArranger::tile(m_mdi->viewport()->rect(), int(windows.size()),
                             how == kTileVertical ? WindowArranger::Tiling::Vertical
                                                  : WindowArranger::Tiling::Horizontal);
    for (int i = 0; i < windows.size(); ++i) {
        windows.at(i)->showNormal();
        windows.at(i)->setGeometry(rects.at(i));
    }
}

void MainWindow::refreshWindowMenu()
{
    QMenu* windowMenu = menu(QStringLiteral("mjanela"));
    for (QAction* old : m_windowListActions) {
        windowMenu->removeAction(old);
        old->deleteLater();
    }
    m_windowListActions.clear();
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    if (windows.isEmpty())
        return;
    m_windowListActions.append(windowMenu->addSeparator());
    int number = 1;
    for (QMdiSubWindow* sub : windows) {
        QAction* entry =
            windowMenu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(sub->windowTitle()));
        entry->setCheckable(true);
        entry->setChecked(sub == m_mdi->currentSubWindow());
        connect(entry, &QAction::triggered, this, [this, sub] { m_mdi->setActiveSubWindow(sub); });
        m_windowListActions.append(entry);
    }
}

void MainWindow::refreshRecentDocuments()
{
    QMenu* fileMenu = menu(QStringLiteral("mfile"));
    for (QAction* old : m_recentActions) {
        fileMenu->removeAction(old);
        old->deleteLater();
    }
    m_recentActions.clear();
    const QStringList paths = RecentDocuments(RecentDocuments::pathIn(m_programFolder)).paths();
    if (paths.isEmpty())
        return;
    m_recentActions.append(fileMenu->addSeparator());
    int number = 1;
    for (const QString& path : paths) {
        QAction* entry = fileMenu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(path));
        entry->setObjectName(QStringLiteral("recent%1").arg(number - 1));
        connect(entry, &QAction::triggered, this, [this, path] { openRecent(path); });
        m_recentActions.append(entry);
    }
}

void MainWindow::openRecent(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        const Language language(m_state);
        RecentDocuments(RecentDocuments::pathIn(m_programFolder)).remove(path);
        m_desktop.message(language.pick(Texts::get(TextId::RecentDocumentGone)).arg(path),
                          Desktop::Buttons::Ok, Desktop::Icon::Warning,
                          language.pick(Texts::get(TextId::TitleRecentDocuments)));
        return;
    }
    if (m_documents && m_documents->openQueryFile(path) == 1)
        documentOpened();
}
