#pragma once

#include "ScriptedDesktop.h"
#include "query/read/ReadPlan.h"
#include "sap/LogonPrompt.h"
#include "sap/SapConnection.h"
#include "sap/SystemDestinationFactory.h"
#include "sap/TableReader.h"
#include "sap/demo/DemoSystem.h"
#include "shell/AppState.h"
#include "shell/Clock.h"
#include "window/main/MainWindow.h"
#include "window/query/FieldList.h"
#include "window/query/QueryContext.h"
#include "window/query/QueryWindow.h"
#include "window/query/QueryWorkspace.h"
#include "window/query/ReportListView.h"

#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QQueue>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A logon dialog for tests: answers from a queue (nothing: the user cancels).
class ScriptedLogon : public LogonPrompt
{
public:
    QQueue<std::optional<LogonData>> answers;
    QStringList errors; // the error shown with each question
    QStringList errorsPt;
    int asked = 0;

    std::optional<LogonData> ask(const LogonData&, const BiText& error) override
    {
        ++asked;
        errors.append(error.en);
        errorsPt.append(error.pt);
        return answers.isEmpty() ? std::nullopt : answers.dequeue();
    }

    static LogonData demo(const QString& user = QStringLiteral("DEMO"),
                          const QString& language = QStringLiteral("EN"))
    {
        LogonData data;
        data.system = LogonData::demoSystemName();
        data.client = QStringLiteral("100");
        data.user = user;
        data.password = QStringLiteral("welcome");
        data.language = language;
        return data;
    }
};

// The whole program around the query windows, as main() wires it, with a scripted desktop and
// logon, a fixed clock and a temporary program folder holding the demo database.
class QueryTestKit
{
public:
    QueryTestKit()
        : clock(QDateTime(QDate(2007, 3, 12), QTime(9, 30))),
          window(state, desktop, clock, home.path()), connection(window, factory, logon),
          reader(window, connection), context{window, reader, home.path()}, workspace(context)
    {
        // The demo database is built in the program folder on the first logon: a copy of one built
        // for the whole test program is there already.
        seedDemoDatabase(home.path());
        qputenv("ZORV_HOME", home.path().toLocal8Bit());
        window.setConnectionCommands(&connection);
        window.setDocumentCommands(&workspace);
        window.load();
        window.show();
    }

    ~QueryTestKit()
    {
        window.setDocumentCommands(nullptr);
        window.setConnectionCommands(nullptr);
    }

    bool connect()
    {
        logon.answers.enqueue(ScriptedLogon::demo());
        return window.connectToSystem();
    }

    // Closes every query window without the save question.
    void closeAllWindows()
    {
        const auto windows = window.workspace()->subWindowList();
        for (QMdiSubWindow* sub : windows) {
            if (auto* query = qobject_cast<QueryWindow*>(sub->widget()))
                workspace.setModified(query, false);
        }
        window.workspace()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Copies fields to My Table table by table, in the order given; "KNA1-*" is every field.
    [[nodiscard]] static bool copyFields(QueryWindow* window, const QStringList& keys)
    {
        ReportListView* fields = window->fields().view();
        for (const QString& key : keys) {
            if (!window->fields().addTableFields(ReadPlan::tableOf(key)))
                return false;
            fields->clearSelection();
            bool found = false;
            for (QTreeWidgetItem* item : fields->itemsInOrder()) {
                const bool wanted = key.endsWith(u'*') ? item->text(0).startsWith(key.chopped(1))
                                                       : item->text(0) == key;
                item->setSelected(wanted);
                found = found || wanted;
            }
            if (!found)
                return false;
            window->perform(QStringLiteral("mcopytomytable"));
        }
        return true;
    }

    // A build takes seconds (far longer under the sanitizers); a copy, milliseconds.
    static void seedDemoDatabase(const QString& folder)
    {
        static QTemporaryDir built;
        static const bool ok = [] {
            qputenv("ZORV_HOME", built.path().toLocal8Bit());
            QString error;
            return !qEnvironmentVariableIsSet("ZORV_DEMO_SCALE") &&
                   DemoSystem::ensureDatabase(&error);
        }();
        if (ok)
            QFile::copy(QDir(built.path()).filePath(QStringLiteral("demo.sqlite")),
                        QDir(folder).filePath(QStringLiteral("demo.sqlite")));
    }

    QueryWindow* newWindow()
    {
        workspace.newQuery();
        return qobject_cast<QueryWindow*>(window.activeQueryWindow());
    }

    QTemporaryDir home;
    AppState state;
    ScriptedDesktop desktop;
    FixedClock clock;
    MainWindow window;
    SystemDestinationFactory factory;
    ScriptedLogon logon;
    SapConnection connection;
    TableReader reader;
    QueryContext context;
    QueryWorkspace workspace;
};

// The fixture of the tests that drive query windows: one program connected to the demo system
// for the whole test program, with an editor for text files, and each test's windows closed
// after it. A test class adds its own init().
class QueryWindowTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<QueryTestKit> m_kit;
    QueryWindow* m_window = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        m_kit = std::make_unique<QueryTestKit>();
        QVERIFY(m_kit->connect());
        m_kit->desktop.associations.insert(QStringLiteral("txt"),
                                           QStringLiteral("/usr/bin/editor"));
    }

    void cleanup()
    {
        m_kit->closeAllWindows();
        m_window = nullptr;
    }
};
