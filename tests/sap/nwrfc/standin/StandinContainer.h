#pragma once

#include <QString>

#include <memory>
#include <vector>

// A data container as the library hands them out, by pointer: a function (its imports and
// tables), a table (its rows) or a row (its fields). Values are kept as the system keeps CHAR
// fields: cut to the field's length, trailing blanks dropped; an integer as its digits.
class StandinContainer
{
public:
    enum class Kind { Function, Table, Row };
    struct Field {
        QString name;
        int length; // in characters; 0 for an integer
    };

    // The interface of the read module of that name (RFC_READ_TABLE's, or RFC_READ_TABLE2's
    // for a name that ends so).
    static std::unique_ptr<StandinContainer> readTableFunction(const QString& name);

    Kind kind() const { return m_kind; }
    const QString& name() const { return m_name; }
    const std::vector<Field>& fields() const { return m_fields; }
    int fieldIndex(const QString& name) const;
    const QString& value(int index) const { return m_values[size_t(index)]; }
    void setValue(int index, const QString& value);

    StandinContainer* table(const QString& name) const;
    const std::vector<std::unique_ptr<StandinContainer>>& rows() const { return m_children; }
    StandinContainer* appendRow();
    bool moveTo(size_t index);
    StandinContainer* currentRow() const;
    void clearRows();

private:
    StandinContainer(Kind kind, QString name, std::vector<Field> fields);

    Kind m_kind;
    QString m_name;
    std::vector<Field> m_fields;
    std::vector<QString> m_values;
    std::vector<std::unique_ptr<StandinContainer>> m_children; // tables or rows
    int m_current = -1;                                        // the last appended or moved to
};
