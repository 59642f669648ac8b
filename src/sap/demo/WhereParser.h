#pragma once

#include "sap/demo/DemoDictionary.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

// Turns OPTIONS lines (an Open SQL WHERE condition) into an SQLite condition with every
// literal bound as a parameter. Field names are checked against the table; anything it does
// not understand is rejected, never passed on.
class WhereParser
{
public:
    using Value = std::variant<QString, double, qint64, QByteArray>;

    struct Result {
        bool ok = true;
        QString sql; // empty: no condition
        std::vector<Value> bindings;
        QString error; // what was wrong, for tests and logs
    };

    static constexpr int kMaxDepth = 64;

    static Result parse(const QStringList& lines, const DemoDictionary::Table& table);
};
