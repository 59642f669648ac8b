#pragma once

#include <QString>
#include <QStringList>

// One option line as the editor row holds it: field, operator, value and conjunction, joined by
// single blanks. Splits a line back into its parts so it can be changed in the editor, and finds
// the field key a typed field name stands for.
struct OptionLineParts {
    QString field;
    QString op;
    QString value;
    QString conjunction;

    QString line() const;
    // The parts of a line, the operator one of the given ones; a line that does not follow the
    // editor's pattern keeps what follows its field in the value.
    static OptionLineParts split(const QString& line, const QStringList& operators);
    // The keys a typed field stands for: the key itself in any case, else every key whose field
    // name it is ("kunnr" for KNA1-KUNNR). More than one means the name is in several tables.
    static QStringList keysFor(const QString& typed, const QStringList& keys);
};
