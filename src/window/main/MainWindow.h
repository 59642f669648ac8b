#pragma once

#include "shell/QtTranslations.h"
#include "shell/QueryWindowControl.h"
#include "shell/ShellHost.h"

#include <QHash>
#include <QMainWindow>

#include <functional>
#include <memory>

class Clock;
class ConnectionCommands;
class Desktop;
class DesktopServices;
class DocumentCommands;
class ProgressDisplay;
class QMdiArea;
class QMdiSubWindow;
class QShortcut;
class StatusPanels;

// The main window. It owns the menus, toolbar, status bar and progress display, runs the
// program-wide commands and routes query commands to the active query window.
class MainWindow : public QMainWindow, public ShellHost
{
    Q_OBJECT
public:
    static constexpr int kStatusReserveTwips = 2680;
    // Where the window opens while nothing is stored: four fifths of the screen's free area,
    // in its middle.
    static QRect defaultGeometry(const QRect& available);

    MainWindow(AppState& state, Desktop& desktop, const Clock& clock, QString programFolder,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    void setConnectionCommands(ConnectionCommands* commands) { m_connection = commands; }
    void setDocumentCommands(DocumentCommands* commands) { m_documents = commands; }
    // The loading steps; closes the splash at the end.
    void load(QWidget* splash = nullptr);
    // The one write of what the session holds: the trees and unsaved queries of the open
    // windows, the window's place, the settings file. Safe at any moment, and repeated.
    void writeSession();
    // The program ends without asking anyone (a stop signal, the end of the desktop session):
    // the session is written, the windows go without questions, the connection is closed.
    void endSession();

    void perform(const QString& command); // a menu item's command
    void performKey(const QString& key);  // a toolbar button's key
    QMdiSubWindow* addQueryWindow(QWidget* window) override;
    QWidget* activeQueryWindow() const override;
    void setCommandEnabled(const QString& command, bool enabled) override;
    bool commandEnabled(const QString& command) const override;
    void popupMenu(const QString& menu, const QPoint& globalPos,
                   const QList<QAction*>& own = {}) override;
    QMdiArea* workspace() const { return m_mdi; }

    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;
    QAction* toolButton(const QString& key) const;
    StatusPanels* statusPanels() const { return m_status; }
    ProgressDisplay* progress() const { return m_progress; }
    double dotsPerInch() const;

    void applyCaptions();
    void showWelcome();

    // ShellHost
    AppState& state() override { return m_state; }
    DesktopServices& services() override { return *m_services; }
    void setStatusText(const QString& text) override;
    void setConnectionPanel(ConnectionImage image, const QString& text,
                            const QString& toolTip) override;
    void setConnectionImage(ConnectionImage image) override;
    bool connectToSystem() override;
    void enableDocumentMenus() override;
    void disableSaveMenus() override;
    void startProgress(const QString& kind) override;
    void advanceProgress(int percent) override;
    void endProgress() override;
    void setProgressCancel(std::function<void()> cancel) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void registerCommands();
    void applyStoredGeometry();
    void storeGeometry();
    void unload();
    void closeConnection();
    void refreshWindowStates();
    void routeToActive(const QString& command);
    QueryWindowControl* activeQuery() const;
    void showFieldView(QueryWindowControl::FieldView view);
    void toggleToolbar();
    void toggleStatusBar();
    void toggleSingleSel();
    void arrange(int how);
    void refreshWindowMenu();
    void refreshRecentDocuments();
    void openRecent(const QString& path);
    void documentOpened();
    void showDisconnectedPanel();

    AppState& m_state;
    Desktop& m_desktop;
    const Clock& m_clock;
    QString m_programFolder;
    std::unique_ptr<DesktopServices> m_services;
    ConnectionCommands* m_connection = nullptr;
    DocumentCommands* m_documents = nullptr;
    QMdiArea* m_mdi;
    QToolBar* m_toolbar;
    StatusPanels* m_status;
    ProgressDisplay* m_progress;
    QtTranslations m_qtTexts;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QMenu*> m_menus;
    QHash<QString, QAction*> m_buttons;
    QHash<QString, std::function<void()>> m_commands;
    QList<QAction*> m_windowListActions;
    QList<QAction*> m_recentActions;
    QShortcut* m_escape = nullptr;
    bool m_unloaded = false;
};
