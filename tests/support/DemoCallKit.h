#pragma once

#include "sap/RfcDestination.h"
#include "sap/RfcFunction.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoSystem.h"

#include <QStringList>

#include <memory>

// The demo system as the tests call it: a logged-on destination, and one RFC_READ_TABLE call
// as the tests write it, with what came back in text.

// The demo database of DemoSystem::databasePath() logged on as user (password "welcome",
// client 100) in language; nothing when the logon fails.
inline std::unique_ptr<DemoDestination> demoLogon(const QString& user = QStringLiteral("DEMO"),
                                                  const QString& language = QStringLiteral("EN"))
{
    auto destination = std::make_unique<DemoDestination>(DemoSystem::databasePath());
    LogonData data;
    data.user = user;
    data.password = QStringLiteral("welcome");
    data.client = QStringLiteral("100");
    data.language = language;
    if (!destination->logon(data).ok)
        return nullptr;
    return destination;
}

struct Outcome {
    bool ok = false;
    QString exception;
    QStringList fields; // FIELDNAME OFFSET LENGTH TYPE FIELDTEXT, tab-separated
    QStringList data;   // WA
};

struct Request {
    QString table;
    QStringList fields = {};
    QStringList options = {};
    QString delimiter = {};
    QString noData = {};
    QString rowCount = {};
    QString rowSkips = {};
};

inline Outcome call(RfcDestination& destination, const Request& request)
{
    RfcFunction function(QStringLiteral("RFC_READ_TABLE"), &destination);
    function.setImport(QStringLiteral("QUERY_TABLE"), request.table);
    function.setImport(QStringLiteral("DELIMITER"), request.delimiter);
    function.setImport(QStringLiteral("NO_DATA"), request.noData);
    function.setImport(QStringLiteral("ROWCOUNT"), request.rowCount);
    function.setImport(QStringLiteral("ROWSKIPS"), request.rowSkips);
    RfcTable& fields = function.table(QStringLiteral("FIELDS"));
    for (const QString& name : request.fields) {
        fields.appendRow();
        fields.setValue(fields.rowCount(), QStringLiteral("FIELDNAME"), name);
    }
    RfcTable& options = function.table(QStringLiteral("OPTIONS"));
    for (const QString& line : request.options) {
        options.appendRow();
        options.setValue(options.rowCount(), QStringLiteral("TEXT"), line);
    }
    function.table(QStringLiteral("DATA"));
    Outcome outcome;
    outcome.ok = function.call();
    outcome.exception = function.exception();
    for (const auto& row : function.table(QStringLiteral("FIELDS")).rows())
        outcome.fields.append(QStringList(row.begin(), row.end()).join(u'\t'));
    for (const auto& row : function.table(QStringLiteral("DATA")).rows())
        outcome.data.append(row.at(0));
    return outcome;
}
