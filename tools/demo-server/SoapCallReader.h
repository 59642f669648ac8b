#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class RfcFunction;

// Reads the function call of an RFC SOAP request into a function object, as an ABAP system
// does: the function element in the RFC namespace as the first element of the envelope's
// body, unqualified parameters, tables as items of named fields. Elements it does not know are
// skipped; a document type, nesting deeper than any call needs, or a table longer than a
// system takes, refuses the request.
class SoapCallReader
{
public:
    static constexpr int kMaxDepth = 16;
    // Rows of one table in a request: far above what a read sends (a query holds at most 999
    // option lines), far below what would make the server's memory matter.
    static constexpr int kMaxTableRows = 10000;

    struct Call {
        bool ok = false;
        QString problem;    // why the request is not a call, when it is not
        QString name;       // the function the request calls
        QString prefix;     // the prefix the request gave the function element
        QStringList tables; // the tables the request carried, in order, each once
        QString overlong;   // the table with more rows than kMaxTableRows, when one has
    };

    // Parameters and tables go into function only when the request calls that function.
    static Call read(const QByteArray& body, RfcFunction& function);
};
