#pragma once

#include "sap/RfcTable.h"

#include <QByteArray>
#include <QString>

// Writes RFC SOAP answers in the layout recorded from ABAP systems: the SOAP-ENV prefix in
// answers and faults, the response element under the prefix the request gave the function,
// each table item on a line of its own, an empty table as one empty element, "&" as "&#38;".
// Pieces are written separately so that a long table can be sent as its rows come.
class SoapAnswerWriter
{
public:
    SoapAnswerWriter(QString function, QString prefix);

    QByteArray start() const;
    static QByteArray tableStart(const QString& table);
    static QByteArray item(const RfcTable& table, const RfcTable::Row& row);
    static QByteArray tableEnd(const QString& table);
    static QByteArray emptyTable(const QString& table);
    // A whole table, or its empty element when it has no rows.
    static QByteArray table(const QString& name, const RfcTable& table);
    // A value the function returns.
    static QByteArray parameter(const QString& name, const QString& value);
    QByteArray end() const;

    // The fault of an exception of the function, as HTTP 500 carries it.
    QByteArray fault(const QString& exception, const QString& message = {}) const;

private:
    QString m_function;
    QString m_prefix;
};
