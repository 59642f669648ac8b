#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// One key field of a table as the dictionary describes it: how two of its values, as a DATA
// line carries them, compare in the database's order, and how a value is written as a literal
// of a WHERE line.
struct KeyField {
    enum class Kind { Text, Decimal, Integer };

    QString name;
    int length = 0;
    QString dataType; // CHAR, NUMC, CLNT, DEC, INT4, RAW ...
    bool client = false;
    Kind kind = Kind::Text;

    // Negative, zero or positive as a sorts before, with or after b.
    int compare(QStringView a, QStringView b) const;
    // The value as a literal, or nothing when it cannot be written as one.
    std::optional<QString> literal(QStringView value) const;

    static KeyField fromDictionary(const QString& name, int length, const QString& dataType);
    static Kind kindOf(const QString& dataType);
};
