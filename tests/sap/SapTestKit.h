#pragma once

// Fakes for the connection and table reader tests: the main window as the SAP layer sees it,
// a scripted logon dialog and destination factories that fail or record on demand.

#include "ScriptedDesktop.h"
#include "sap/DestinationFactory.h"
#include "sap/LogonPrompt.h"
#include "sap/RfcFunction.h"
#include "sap/SystemDestinationFactory.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoSystem.h"
#include "shell/AppState.h"
#include "shell/ConnectionCommands.h"
#include "shell/DesktopServices.h"
#include "shell/StatusHost.h"

#include <QList>
#include <QMap>
#include <QQueue>

#include <optional>

// The SAP layer needs no more of the main window than this.
class FakeHost : public StatusHost
{
public:
    struct Panel {
        ConnectionImage image;
        QString text;
        QString toolTip;
    };

    FakeHost()
        : m_services(desktop, appState, QString(),
                     [this](const QString& text) { statusTexts.append(text); })
    {
        appState.languageEnglish = true;
    }

    AppState& state() override { return appState; }
    DesktopServices& services() override { return m_services; }
    void setStatusText(const QString& text) override { statusTexts.append(text); }
    void setConnectionPanel(ConnectionImage image, const QString& text,
                            const QString& toolTip) override
    {
        panels.append({image, text, toolTip});
    }
    void setConnectionImage(ConnectionImage) override {}
    // As the main window does: the outcome of logOn becomes connected.
    bool connectToSystem() override
    {
        ++connectClicks;
        appState.connected = commands ? commands->logOn() : false;
        return appState.connected;
    }
    void startProgress(const QString&) override {}
    void advanceProgress(int) override {}
    void endProgress() override {}

    ScriptedDesktop desktop;
    AppState appState;
    ConnectionCommands* commands = nullptr;
    QStringList statusTexts;
    QList<Panel> panels;
    int connectClicks = 0;

private:
    DesktopServices m_services;
};

// The logon dialog: answers from a queue (an empty queue cancels) and records each question.
class ScriptedPrompt : public LogonPrompt
{
public:
    struct Question {
        LogonData defaults;
        QString error;
    };

    std::optional<LogonData> ask(const LogonData& defaults, const BiText& error) override
    {
        questions.append({defaults, error.en});
        if (answers.isEmpty())
            return std::nullopt;
        return answers.dequeue();
    }

    QQueue<std::optional<LogonData>> answers;
    QList<Question> questions;
};

inline LogonData demoLogon(const QString& user = QStringLiteral("DEMO"),
                           const QString& password = QStringLiteral("welcome"),
                           const QString& language = QStringLiteral("EN"))
{
    LogonData data;
    data.system = LogonData::demoSystemName();
    data.client = QStringLiteral("100");
    data.user = user;
    data.password = password;
    data.language = language;
    return data;
}

// The system's factory, able to refuse set-up or the n-th destination, and recording the
// inputs of every call.
class TestFactory : public DestinationFactory
{
public:
    struct Call {
        QString function;
        QMap<QString, QString> exports;
        QStringList fieldNames;
        QStringList optionLines;
    };

    bool available(QString* reason) override
    {
        if (!setUp) {
            *reason = QStringLiteral("switched off by the test");
            return false;
        }
        return m_system.available(reason);
    }

    std::unique_ptr<RfcDestination> create(const LogonData& data, BiText* error) override
    {
        ++creations;
        if (creations == failCreation) {
            *error = BiText::same(QStringLiteral("refused by the test"));
            return nullptr;
        }
        std::unique_ptr<RfcDestination> inner = m_system.create(data, error);
        if (!inner)
            return nullptr;
        return std::make_unique<Recording>(std::move(inner), calls);
    }

    bool setUp = true;
    int failCreation = 0; // the creation (counted from 1) that fails
    int creations = 0;
    QList<Call> calls;

private:
    class Recording : public RfcDestination
    {
    public:
        Recording(std::unique_ptr<RfcDestination> inner, QList<Call>& calls)
            : m_inner(std::move(inner)), m_calls(calls)
        {
        }
        LogonResult logon(const LogonData& data) override { return m_inner->logon(data); }
        void logoff() override { m_inner->logoff(); }
        QString details() const override { return m_inner->details(); }
        bool call(RfcFunction& function) override
        {
            Call call;
            call.function = function.name();
            for (const char* name :
                 {"QUERY_TABLE", "NO_DATA", "ROWCOUNT", "ROWSKIPS", "DELIMITER"}) {
                if (function.hasImport(QLatin1String(name)))
                    call.exports.insert(QLatin1String(name),
                                        function.importValue(QLatin1String(name)));
            }
            const RfcTable& fields = function.table(QStringLiteral("FIELDS"));
            for (int r = 1; r <= fields.rowCount(); ++r)
                call.fieldNames.append(fields.value(r, QStringLiteral("FIELDNAME")));
            // A catalogue read sends no options; asking for them here adds an empty table.
            const RfcTable& options = function.table(QStringLiteral("OPTIONS"));
            for (int r = 1; r <= options.rowCount(); ++r)
                call.optionLines.append(options.value(r, QStringLiteral("TEXT")));
            m_calls.append(call);
            return m_inner->call(function);
        }

    private:
        std::unique_ptr<RfcDestination> m_inner;
        QList<Call>& m_calls;
    };

    SystemDestinationFactory m_system;
};
