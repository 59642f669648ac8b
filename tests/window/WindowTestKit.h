#pragma once

// Shared pieces of the window tests: a query window that records what the main window calls
// on it, recording connection and document commands, and a loaded main window fixture.

#include "AppState.h"
#include "Clock.h"
#include "ConnectionCommands.h"
#include "DocumentCommands.h"
#include "MainWindow.h"
#include "ScriptedDesktop.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWidget>

#include <cmath>
#include <functional>
#include <memory>

// The field list stand-in: only the two properties the Fields menu changes.
class RecordingFieldList : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int View MEMBER View)
    Q_PROPERTY(bool GridLines MEMBER GridLines)
public:
    int View = 3;
    bool GridLines = false;
};

// A query window with every operation the main window routes by name; each call is recorded
// as "Operation(arg,arg)". It can refuse close requests as a Cancel in its save question does.
class RecordingQueryWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool singleClick MEMBER singleClick)

public:
    explicit RecordingQueryWindow(const QString& title = QStringLiteral("Query"))
        : tree(new QTreeWidget(this)), list(new RecordingFieldList)
    {
        setWindowTitle(title);
        tree->setObjectName(QStringLiteral("TreeView1"));
        list->setObjectName(QStringLiteral("ListView1"));
        list->setParent(this);
        for (const char* table : {"KNA1", "MARA", "VBAK"})
            tree->addTopLevelItem(new QTreeWidgetItem({QString::fromLatin1(table)}));
    }

    bool singleClick = true;
    QStringList calls;
    QTreeWidget* tree;
    RecordingFieldList* list;
    int closesToRefuse = 0;
    int closeRequests = 0;

public:
    // Records the commands the main window sends, as a query window would receive them.
    Q_INVOKABLE bool perform(const QString& command, const QStringList& arguments = {})
    {
        record(command, arguments);
        return true;
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closeRequests;
        if (closesToRefuse > 0) {
            --closesToRefuse;
            event->ignore();
            return;
        }
        event->accept();
    }

private:
    void record(const QString& operation, const QStringList& arguments = {})
    {
        calls.append(operation + u'(' + arguments.join(u',') + u')');
    }
};

class RecordingConnection : public ConnectionCommands
{
public:
    QStringList calls;
    bool connectResult = true;

    bool logOn() override
    {
        calls.append(QStringLiteral("logOn"));
        return connectResult;
    }
    void releaseComponents() override { calls.append(QStringLiteral("releaseComponents")); }
    void showSystemInformation() override { calls.append(QStringLiteral("showSystemInformation")); }
    void shutdown() override { calls.append(QStringLiteral("shutdown")); }
};

class RecordingDocuments : public DocumentCommands
{
public:
    QStringList calls;
    int openResult = 0;
    std::function<void()> whileOpening;

    void newQuery() override { calls.append(QStringLiteral("newQuery")); }
    int openQuery() override
    {
        calls.append(QStringLiteral("openQuery"));
        if (whileOpening)
            whileOpening();
        return openResult;
    }
    int openQueryFile(const QString& path) override
    {
        calls.append(QStringLiteral("openQueryFile(") + path + u')');
        return openResult;
    }
    void saveQuery() override { calls.append(QStringLiteral("saveQuery")); }
    void saveQueryAs() override { calls.append(QStringLiteral("saveQueryAs")); }
    void keepUnsavedWork() override { calls.append(QStringLiteral("keepUnsavedWork")); }
};

// A main window over scripted services, with a temporary program folder, on Monday
// 12 March 2007 at 09:30.
struct MainWindowFixture {
    QTemporaryDir folder;
    AppState state;
    ScriptedDesktop desktop;
    FixedClock clock{QDateTime(QDate(2007, 3, 12), QTime(9, 30))};
    RecordingConnection connection;
    RecordingDocuments documents;
    std::unique_ptr<MainWindow> window;

    MainWindowFixture() { state.programVersion = QStringLiteral("0.3.20"); }

    MainWindow& create()
    {
        window = std::make_unique<MainWindow>(state, desktop, clock, folder.path());
        window->setConnectionCommands(&connection);
        window->setDocumentCommands(&documents);
        return *window;
    }

    // Loaded and shown, with the toolbar and status bar on unless a test wants them off.
    MainWindow& loaded(bool show = true)
    {
        if (!window)
            create();
        window->load();
        if (show)
            window->show();
        return *window;
    }

    RecordingQueryWindow* addQueryWindow(const QString& title = QStringLiteral("Query"))
    {
        auto* query = new RecordingQueryWindow(title);
        window->addQueryWindow(query);
        return query;
    }

    QString settingsPath() const { return folder.filePath(QStringLiteral("Zorv.ini")); }

    int px(double twips) const
    {
        return static_cast<int>(std::lround(twips * window->dotsPerInch() / 1440.0));
    }
    double twips(int pixels) const { return pixels * 1440.0 / window->dotsPerInch(); }
};
