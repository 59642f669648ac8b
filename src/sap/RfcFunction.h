#pragma once

#include "sap/RfcTable.h"
#include "shell/BiText.h"

#include <QString>

#include <atomic>
#include <map>

class RfcDestination;

// One import parameter of a function: its value is written by the caller.
struct RfcParameter {
    QString value;
};

// A function object of the function control: parameters and tables by name, then call().
class RfcFunction
{
public:
    RfcFunction(QString name, RfcDestination* destination);

    const QString& name() const { return m_name; }
    // Sets an import parameter of the called function (what the caller passes in).
    void setImport(const QString& parameter, const QString& value);
    RfcTable& table(const QString& table);
    bool call();
    const QString& exception() const { return m_exception; }

    // For destinations.
    QString importValue(const QString& parameter) const;
    bool hasImport(const QString& parameter) const;
    // message: the system's own words (one form), or Zorv's sentence in both languages.
    void setException(const QString& exception, const BiText& message = {})
    {
        m_exception = exception;
        m_message = message;
    }
    void setException(const QString& exception, const QString& message)
    {
        setException(exception, BiText::same(message));
    }
    // What went wrong beyond the exception's name (a network error, say); often empty.
    const QString& message() const { return m_message.en; }
    const BiText& messageText() const { return m_message; }
    // The call failed because the way to the system broke (no answer, a connection closed
    // midway), not because the system refused it: the same call may pass a moment later.
    void setConnectionLost(bool lost) { m_connectionLost = lost; }
    bool connectionLost() const { return m_connectionLost; }
    const std::map<QString, RfcParameter>& imports() const { return m_imports; }
    // Every table the caller has touched.
    const std::map<QString, RfcTable>& tables() const { return m_tables; }
    // The tables that travel with a call, empty ones too (a table left out does not come
    // back): those of a known read module's interface, those declared, and those touched.
    void declareTables(const QStringList& tables) { m_declared = tables; }
    QStringList interfaceTables() const;

    // Values the function returns (its exporting parameters): the caller names those it wants,
    // destinations fill them.
    void expectResult(const QString& parameter) { m_results[parameter]; }
    const std::map<QString, QString>& results() const { return m_results; }
    void setResult(const QString& parameter, const QString& value);
    QString result(const QString& parameter) const;
    // The table if the caller has touched it, else nothing.
    const RfcTable* findTable(const QString& table) const
    {
        const auto found = m_tables.find(table);
        return found == m_tables.end() ? nullptr : &found->second;
    }
    // A caller may stop a long call from another thread; destinations look between rows.
    void setCancel(const std::atomic<bool>* cancel) { m_cancel = cancel; }
    bool cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }
    // The table's columns as the read modules' interfaces declare them; none for other tables.
    static QStringList columnsOf(const QString& table);

private:
    QString m_name;
    RfcDestination* m_destination;
    std::map<QString, RfcParameter> m_imports;
    std::map<QString, RfcTable> m_tables;
    std::map<QString, QString> m_results;
    QStringList m_declared;
    QString m_exception;
    BiText m_message;
    bool m_connectionLost = false;
    const std::atomic<bool>* m_cancel = nullptr;
};
