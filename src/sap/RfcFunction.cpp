#include "sap/RfcFunction.h"

#include "sap/RfcDestination.h"

RfcFunction::RfcFunction(QString name, RfcDestination* destination)
    : m_name(std::move(name)), m_destination(destination)
{
}

QStringList RfcFunction::columnsOf(const QString& function, const QString& table)
{
    if (function == u"RFC_READ_TABLE") {
        if (table == u"OPTIONS")
            return {QStringLiteral("TEXT")};
        if (table == u"FIELDS")
            return {QStringLiteral("FIELDNAME"), QStringLiteral("OFFSET"), QStringLiteral("LENGTH"),
                    QStringLiteral("TYPE"), QStringLiteral("FIELDTEXT")};
        if (table == u"DATA")
            return {QStringLiteral("WA")};
    }
    return {};
}

RfcParameter& RfcFunction::exportParameter(const QString& parameter)
{
    return m_exports[parameter];
}

RfcTable& RfcFunction::table(const QString& table)
{
    auto found = m_tables.find(table);
    if (found == m_tables.end())
        found = m_tables.emplace(table, RfcTable(columnsOf(m_name, table))).first;
    return found->second;
}

QString RfcFunction::exportValue(const QString& parameter) const
{
    const auto found = m_exports.find(parameter);
    return found == m_exports.end() ? QString() : found->second.value;
}

bool RfcFunction::hasExport(const QString& parameter) const
{
    return m_exports.count(parameter) > 0;
}

bool RfcFunction::call()
{
    m_exception.clear();
    m_message.clear();
    if (!m_destination) {
        m_exception = QStringLiteral("SYSTEM_FAILURE");
        return false;
    }
    return m_destination->call(*this);
}
