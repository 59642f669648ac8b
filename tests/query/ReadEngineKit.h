#pragma once

// What the read engine's tests share: plans of demo tables, what the demo's database holds,
// a sink that counts the rows it gets, and a destination in front of the demo that records
// calls and lets a test change the system between them.

#include "query/read/ReadPlan.h"
#include "query/read/RowSink.h"
#include "sap/LogonData.h"
#include "sap/RfcFunction.h"
#include "sap/demo/DemoDestination.h"
#include "sap/demo/DemoDictionary.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <numeric>
#include <sqlite3.h>

namespace engine
{
// My Table holding these fields of a demo table (all of its text fields when none are named).
inline ReadPlan planOf(const QString& table, const QStringList& names = {},
                       const QStringList& options = {})
{
    const DemoDictionary::Table* definition = DemoDictionary::instance().table(table);
    QVector<ReadPlan::Field> items;
    for (const DemoDictionary::Field& field : definition->fields) {
        const bool text = field.letter == u"C" || field.letter == u"N" || field.letter == u"D";
        if (names.isEmpty() ? text : names.contains(field.name))
            items.append({table + u'-' + field.name, field.letter, field.length, field.textEn});
    }
    ReadPlan plan;
    plan.build(items, options, nullptr);
    return plan;
}

// A row as the tests compare it: the values without trailing blanks, joined.
inline QString rowText(const QStringList& values)
{
    QStringList trimmed;
    for (QString value : values) {
        while (value.endsWith(u' '))
            value.chop(1);
        trimmed.append(value);
    }
    return trimmed.join(QChar(0x1F));
}

// What the database holds for the plan's fields of client 100, cut to the fields' lengths: the
// rows an exact read must return, as a multiset.
inline QHash<QString, int> rowsInDatabase(const QString& path, const ReadPlan& plan,
                                          const QString& where = {})
{
    QHash<QString, int> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return rows;
    QStringList columns;
    for (const ReadPlan::Field& field : plan.fields())
        columns.append(u'"' + field.name() + u'"');
    const QString sql = QStringLiteral("SELECT %1 FROM \"%2\" WHERE MANDT = '100'%3")
                            .arg(columns.join(u','), plan.pieces().front().table,
                                 where.isEmpty() ? QString() : QStringLiteral(" AND ") + where);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr);
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        QStringList values;
        for (int c = 0; c < plan.fieldCount(); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            values.append(QString::fromUtf8(text ? text : "").left(plan.fields().at(c).length));
        }
        ++rows[rowText(values)];
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// How many rows a tally of rows holds.
inline int rowsOf(const QHash<QString, int>& tally)
{
    return std::accumulate(tally.cbegin(), tally.cend(), 0);
}

inline bool execute(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK)
        return false;
    sqlite3_busy_timeout(db, 10000); // other sessions may be reading
    const bool ok =
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Counts the rows it gets, and whether they came in the order of their first values.
class TallySink : public RowSink
{
public:
    bool row(const QStringView* values, const char* present, int count) override
    {
        QStringList texts;
        for (int k = 0; k < count; ++k)
            texts.append(present[k] ? values[k].toString() : QString());
        const QString text = rowText(texts);
        if (rows > 0 && text <= last)
            inOrder = false;
        last = text;
        ++tally[text];
        ++rows;
        return true;
    }
    bool finish() override
    {
        finished = true;
        return true;
    }
    void abandon() override { abandoned = true; }

    QHash<QString, int> tally;
    QString last;
    qint64 rows = 0;
    bool inOrder = true;
    bool finished = false;
    bool abandoned = false;
};

// The demo system as a test sees it: calls recorded, and hooks before and after each.
class WatchedDestination : public RfcDestination
{
public:
    struct Call {
        QString function;
        QString table;
        QStringList fields;
        QStringList options;
        QString rowCount;
    };

    explicit WatchedDestination(RfcDestination& inner) : m_inner(inner) {}

    LogonResult logon(const LogonData& data) override { return m_inner.logon(data); }
    void logoff() override { m_inner.logoff(); }
    QString details() const override { return m_inner.details(); }
    bool call(RfcFunction& function) override
    {
        Call call;
        call.function = function.name();
        call.table = function.importValue(QStringLiteral("QUERY_TABLE"));
        call.rowCount = function.importValue(QStringLiteral("ROWCOUNT"));
        const RfcTable& fields = function.table(QStringLiteral("FIELDS"));
        for (int r = 1; r <= fields.rowCount(); ++r)
            call.fields.append(fields.value(r, QStringLiteral("FIELDNAME")));
        const RfcTable& options = function.table(QStringLiteral("OPTIONS"));
        for (int r = 1; r <= options.rowCount(); ++r)
            call.options.append(options.value(r, QStringLiteral("TEXT")));
        calls.append(call);
        if (before && !before(static_cast<int>(calls.size()), function))
            return false;
        const bool ok = m_inner.call(function);
        if (after)
            after(static_cast<int>(calls.size()), function);
        return ok;
    }

    QList<Call> calls;
    // May change the call, or fail it (returning false after setting an exception).
    std::function<bool(int call, RfcFunction& function)> before;
    std::function<void(int call, RfcFunction& function)> after;

private:
    RfcDestination& m_inner;
};

// A further logon of the system, watched the same way, that owns what it watches.
class WatchedSession : public WatchedDestination
{
public:
    explicit WatchedSession(std::unique_ptr<RfcDestination> inner)
        : WatchedDestination(*inner), m_owned(std::move(inner))
    {
    }

private:
    std::unique_ptr<RfcDestination> m_owned;
};

inline LogonData demoLogon(const QString& user = QStringLiteral("DEMO"))
{
    LogonData data;
    data.user = user;
    data.password = QStringLiteral("welcome");
    data.client = QStringLiteral("100");
    data.language = QStringLiteral("EN");
    return data;
}
} // namespace engine
