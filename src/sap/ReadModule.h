#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A function module that reads table rows with RFC_READ_TABLE's imports, OPTIONS and FIELDS:
// RFC_READ_TABLE itself (DATA lines of 512 characters), a module of the same interface with
// wider DATA lines, or one of RFC_READ_TABLE2's interface, which returns each row in the
// narrowest of its tables TBLOUT128 ... TBLOUT30000 that holds it and names that table in
// OUT_TABLE.
class ReadModule
{
public:
    enum class Output { Data, WidthTables };

    // RFC_READ_TABLE.
    ReadModule();
    ReadModule(QString name, Output output, int lineWidth);

    const QString& name() const { return m_name; }
    Output output() const { return m_output; }
    int lineWidth() const { return m_lineWidth; }
    bool isClassic() const;
    // The tables of its interface: OPTIONS, FIELDS and those it returns rows in.
    QStringList tables() const;
    bool operator==(const ReadModule&) const = default;

    // The modules systems are known to carry, widest first; RFC_READ_TABLE is not among them.
    static const std::vector<ReadModule>& wider();
    // RFC_READ_TABLE or one of wider().
    static bool isKnown(const QString& name);
    // A module the user named: its interface from its name's ending ("...TABLE2"), as the
    // known modules are named.
    static ReadModule named(const QString& name);

    // The tables of RFC_READ_TABLE2's interface, narrowest first, and their line widths.
    static const QStringList& widthTables();
    static int widthOfTable(const QString& table); // -1 for any other table
    // The tables a module of either interface returns rows in.
    static bool holdsRows(const QString& table);

private:
    QString m_name;
    Output m_output;
    int m_lineWidth;
};
