#pragma once

// Shared pieces of the window tests: a query window that records what the main window calls
// on it, recording connection and document commands, and a loaded main window fixture.

#include "ScriptedDesktop.h"
#include "shell/AppState.h"
#include "shell/Clock.h"
#include "shell/ConnectionCommands.h"
#include "shell/DocumentCommands.h"
#include "shell/QueryWindowControl.h"
#include "window/main/MainWindow.h"

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

// The field list stand-in: only the two states the Fields menu changes.
struct RecordingFieldList {
    int View = 3;
    bool GridLines = false;
};

// A query window with every operation the main window routes to it; each command is recorded
// as "Operation(arg,arg)". It can refuse close requests as a Cancel in its save question does.
// The tree's selection states are properties of its tree, so a test sees whether they were set.
class RecordingQueryWindow : public QWidget, public QueryWindowControl
{
    Q_OBJECT

public:
    explicit RecordingQueryWindow(const QString& title = QStringLiteral("Query"))
        : tree(new QTreeWidget(this)), list(std::make_unique<RecordingFieldList>())
    {
        setWindowTitle(title);
        for (const char* table : {"KNA1", "MARA", "VBAK"})
            tree->addTopLevelItem(new QTreeWidgetItem({QString::fromLatin1(table)}));
    }

    bool opensOnSingleClick = true;
    QStringList calls;
    QTreeWidget* tree;
    std::unique_ptr<RecordingFieldList> list;
    int closesToRefuse = 0;
    int closeRequests = 0;

public:
    // Records the commands the main window sends, as a query window would receive them.
    bool perform(const QString& command, const QStringList& arguments = {}) override
    {
        record(command, arguments);
        return true;
    }
    QString currentTreeNode() const override
    {
        const QTreeWidgetItem* current = tree->currentItem();
        return current ? current->text(0) : QString();
    }
    bool singleClick() const override { return opensOnSingleClick; }
    void setSingleClick(bool on) override { opensOnSingleClick = on; }
    void setTreeSingleSelect(bool on) override
    {
        tree->setProperty("SingleSel", on);
        tree->setProperty("HotTracking", on);
    }
    FieldView fieldView() const override
    {
        return list->View == 2 ? FieldView::List : FieldView::Report;
    }
    void setFieldView(FieldView view) override { list->View = view == FieldView::List ? 2 : 3; }
    bool fieldGridLines() const override { return list->GridLines; }
    void setFieldGridLines(bool on) override { list->GridLines = on; }

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
    void keepOpenDocuments() override
    {
        calls.append(QStringLiteral("keepOpenDocuments"));
        if (whileKeeping)
            whileKeeping();
    }
    std::function<void()> whileKeeping;
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
