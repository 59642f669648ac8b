#include "StandinContainer.h"

#include "sap/ReadModule.h"

#include <algorithm>

StandinContainer::StandinContainer(Kind kind, QString name, std::vector<Field> fields)
    : m_kind(kind), m_name(std::move(name)), m_fields(std::move(fields))
{
    for (const Field& field : m_fields)
        m_values.push_back(field.length == 0 ? QStringLiteral("0") : QString());
}

std::unique_ptr<StandinContainer> StandinContainer::readTableFunction(const QString& name)
{
    const ReadModule module = ReadModule::named(name);
    const bool widthTables = module.output() == ReadModule::Output::WidthTables;
    std::vector<Field> parameters{{QStringLiteral("QUERY_TABLE"), 30},
                                  {QStringLiteral("DELIMITER"), 1},
                                  {QStringLiteral("NO_DATA"), 1},
                                  {QStringLiteral("ROWSKIPS"), 0},
                                  {QStringLiteral("ROWCOUNT"), 0}};
    if (widthTables)
        parameters.push_back({QStringLiteral("OUT_TABLE"), 30});
    std::unique_ptr<StandinContainer> function(
        new StandinContainer(Kind::Function, name, std::move(parameters)));
    const auto add = [&function](const char* table, std::vector<Field> fields) {
        function->m_children.emplace_back(
            new StandinContainer(Kind::Table, QLatin1String(table), std::move(fields)));
    };
    add("OPTIONS", {{QStringLiteral("TEXT"), 72}});
    add("FIELDS", {{QStringLiteral("FIELDNAME"), 30},
                   {QStringLiteral("OFFSET"), 6},
                   {QStringLiteral("LENGTH"), 6},
                   {QStringLiteral("TYPE"), 1},
                   {QStringLiteral("FIELDTEXT"), 60}});
    if (!widthTables) {
        add("DATA", {{QStringLiteral("WA"), module.lineWidth()}});
        return function;
    }
    for (const QString& table : ReadModule::widthTables())
        function->m_children.emplace_back(new StandinContainer(
            Kind::Table, table, {{QStringLiteral("WA"), ReadModule::widthOfTable(table)}}));
    return function;
}

int StandinContainer::fieldIndex(const QString& name) const
{
    const auto found = std::find_if(m_fields.begin(), m_fields.end(),
                                    [&name](const Field& field) { return field.name == name; });
    return found == m_fields.end() ? -1 : int(found - m_fields.begin());
}

void StandinContainer::setValue(int index, const QString& value)
{
    const int length = m_fields[size_t(index)].length;
    QString kept = length > 0 ? value.left(length) : value;
    qsizetype end = kept.size();
    while (end > 0 && kept.at(end - 1) == u' ')
        --end;
    kept.truncate(end);
    m_values[size_t(index)] = std::move(kept);
}

StandinContainer* StandinContainer::table(const QString& name) const
{
    for (const auto& child : m_children) {
        if (m_kind == Kind::Function && child->m_name == name)
            return child.get();
    }
    return nullptr;
}

StandinContainer* StandinContainer::appendRow()
{
    m_children.emplace_back(new StandinContainer(Kind::Row, m_name, m_fields));
    m_current = int(m_children.size()) - 1;
    return m_children.back().get();
}

bool StandinContainer::moveTo(size_t index)
{
    if (index >= m_children.size())
        return false;
    m_current = int(index);
    return true;
}

StandinContainer* StandinContainer::currentRow() const
{
    return m_current < 0 ? nullptr : m_children[size_t(m_current)].get();
}

void StandinContainer::clearRows()
{
    m_children.clear();
    m_current = -1;
}
