#include "sap/RfcFunction.h"

#include "sap/ReadModule.h"
#include "sap/RfcDestination.h"

RfcFunction::RfcFunction(QString name, RfcDestination* destination)
    : m_name(std::move(name)), m_destination(destination)
{
    if (ReadModule::isKnown(m_name))
        m_declared = ReadModule::named(m_name).tables();
}

QStringList RfcFunction::interfaceTables() const
{
    QStringList names = m_declared;
    for (const auto& [name, table] : m_tables) {
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}

QStringList RfcFunction::columnsOf(const QString& table)
{
    if (table == u"OPTIONS")
        return {QStringLiteral("TEXT")};
    if (table == u"FIELDS")
        return {QStringLiteral("FIELDNAME"), QStringLiteral("OFFSET"), QStringLiteral("LENGTH"),
                QStringLiteral("TYPE"), QStringLiteral("FIELDTEXT")};
    if (ReadModule::holdsRows(table))
        return {QStringLiteral("WA")};
    if (table == u"IT_TABLES") // EM_GET_NUMBER_OF_ENTRIES
        return {QStringLiteral("TABNAME"), QStringLiteral("TABROWS")};
    return {};
}

void RfcFunction::setResult(const QString& parameter, const QString& value)
{
    m_results[parameter] = value;
}

QString RfcFunction::result(const QString& parameter) const
{
    const auto found = m_results.find(parameter);
    return found == m_results.end() ? QString() : found->second;
}

void RfcFunction::setImport(const QString& parameter, const QString& value)
{
    m_imports[parameter].value = value;
}

RfcTable& RfcFunction::table(const QString& table)
{
    auto found = m_tables.find(table);
    if (found == m_tables.end())
        found = m_tables.emplace(table, RfcTable(columnsOf(table))).first;
    return found->second;
}

QString RfcFunction::importValue(const QString& parameter) const
{
    const auto found = m_imports.find(parameter);
    return found == m_imports.end() ? QString() : found->second.value;
}

bool RfcFunction::hasImport(const QString& parameter) const
{
    return m_imports.count(parameter) > 0;
}

bool RfcFunction::call()
{
    m_exception.clear();
    m_message = {};
    m_connectionLost = false;
    if (!m_destination) {
        m_exception = QStringLiteral("SYSTEM_FAILURE");
        return false;
    }
    return m_destination->call(*this);
}
