// The main window's command table: what each menu item and toolbar button does.
#include "window/main/MainWindow.h"

#include "shell/AppState.h"
#include "shell/ConnectionCommands.h"
#include "shell/ControlNames.h"
#include "shell/DesktopServices.h"
#include "shell/DocumentCommands.h"
#include "shell/Language.h"
#include "shell/QueryWindowControl.h"
#include "shell/RecentDocuments.h"
#include "shell/Texts.h"
#include "window/main/AboutBox.h"
#include "window/main/MenuLayout.h"
#include "window/main/OptionsDialog.h"
#include "window/main/WindowArranger.h"

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
        if (QueryWindowControl* window = activeQuery())
            window->perform(QStringLiteral("mremovetable"),
                            {window->currentTreeNode(), QStringLiteral("user")});
    });
    add("msinglesel", [this] { toggleSingleSel(); });
    add("mviewfieldsdetail", [this] { showFieldView(QueryWindowControl::FieldView::Report); });
    add("mviewfieldslist", [this] { showFieldView(QueryWindowControl::FieldView::List); });
    add("mfieldsgridlines", [this] {
        QueryWindowControl* window = activeQuery();
        if (!window)
            return;
        const bool on = !window->fieldGridLines();
        window->setFieldGridLines(on);
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
    QueryWindowControl* window = activeQuery();
    if (window && !window->singleClick()) {
        window->setSingleClick(true);
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
    if (QueryWindowControl* window = activeQuery())
        window->perform(command);
}

QueryWindowControl* MainWindow::activeQuery() const
{
    return dynamic_cast<QueryWindowControl*>(activeQueryWindow());
}

void MainWindow::showFieldView(QueryWindowControl::FieldView view)
{
    if (QueryWindowControl* window = activeQuery())
        window->setFieldView(view);
    const bool report = view == QueryWindowControl::FieldView::Report;
    action(QStringLiteral("mviewfieldsdetail"))->setChecked(report);
    action(QStringLiteral("mviewfieldslist"))->setChecked(!report);
}

void MainWindow::toggleSingleSel()
{
    QueryWindowControl* window = activeQuery();
    if (!window)
        return;
    const bool on = !window->singleClick();
    window->setSingleClick(on);
    window->setTreeSingleSelect(on);
    action(QStringLiteral("msinglesel"))->setChecked(on);
}

void MainWindow::refreshWindowStates()
{
    // Single click, the field list's view and its grid lines belong to each window: the menu
    // shows those of the window that just became active.
    const QueryWindowControl* window = activeQuery();
    if (!window)
        return;
    action(QStringLiteral("msinglesel"))->setChecked(window->singleClick());
    const bool report = window->fieldView() == QueryWindowControl::FieldView::Report;
    action(QStringLiteral("mviewfieldsdetail"))->setChecked(report);
    action(QStringLiteral("mviewfieldslist"))->setChecked(!report);
    action(QStringLiteral("mfieldsgridlines"))->setChecked(window->fieldGridLines());
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
        QAction* entry = fileMenu->addAction(QStringLiteral("&%1 %2").arg(number).arg(path));
        entry->setObjectName(ControlNames::Main::recentDocument(number++));
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
