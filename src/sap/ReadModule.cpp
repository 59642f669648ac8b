#include "sap/ReadModule.h"

#include "sap/ReadTableWidths.h"

#include <algorithm>

ReadModule::ReadModule()
    : m_name(QStringLiteral("RFC_READ_TABLE")), m_output(Output::Data),
      m_lineWidth(ReadTableWidths::kDataLine)
{
}

ReadModule::ReadModule(QString name, Output output, int lineWidth)
    : m_name(std::move(name)), m_output(output), m_lineWidth(lineWidth)
{
}

bool ReadModule::isClassic() const
{
    return m_name == u"RFC_READ_TABLE";
}

QStringList ReadModule::tables() const
{
    QStringList names{QStringLiteral("OPTIONS"), QStringLiteral("FIELDS")};
    if (m_output == Output::WidthTables)
        return names + widthTables();
    return names << QStringLiteral("DATA");
}

const std::vector<ReadModule>& ReadModule::wider()
{
    static const std::vector<ReadModule> modules{
        {QStringLiteral("/SAPDS/RFC_READ_TABLE2"), Output::WidthTables,
         ReadTableWidths::kWidestLine},
        {QStringLiteral("/BODS/RFC_READ_TABLE2"), Output::WidthTables,
         ReadTableWidths::kWidestLine},
        {QStringLiteral("/SAPDS/RFC_READ_TABLE"), Output::Data, 2048},
        {QStringLiteral("/BODS/RFC_READ_TABLE"), Output::Data, 2048},
    };
    return modules;
}

bool ReadModule::isKnown(const QString& name)
{
    return name == u"RFC_READ_TABLE" ||
           std::any_of(wider().begin(), wider().end(),
                       [&name](const ReadModule& module) { return module.name() == name; });
}

ReadModule ReadModule::named(const QString& name)
{
    const QString upper = name.trimmed().toUpper();
    for (const ReadModule& module : wider()) {
        if (module.name() == upper)
            return module;
    }
    if (upper.isEmpty() || upper == u"RFC_READ_TABLE")
        return {};
    // Of a customer module only the interface is known, not how wide its DATA lines are.
    return upper.endsWith(u"TABLE2")
               ? ReadModule(upper, Output::WidthTables, ReadTableWidths::kWidestLine)
               : ReadModule(upper, Output::Data, ReadTableWidths::kDataLine);
}

const QStringList& ReadModule::widthTables()
{
    static const QStringList tables{QStringLiteral("TBLOUT128"), QStringLiteral("TBLOUT512"),
                                    QStringLiteral("TBLOUT2048"), QStringLiteral("TBLOUT8192"),
                                    QStringLiteral("TBLOUT30000")};
    return tables;
}

int ReadModule::widthOfTable(const QString& table)
{
    if (!widthTables().contains(table))
        return -1;
    return table.mid(6).toInt();
}

bool ReadModule::holdsRows(const QString& table)
{
    return table == u"DATA" || widthTables().contains(table);
}
