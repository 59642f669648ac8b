#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class RfcFunction;

// Reads the function call of an RFC SOAP request into a function object, as an ABAP system
// does: the function element in the RFC namespace as the first element of the envelope's
// body, unqualified parameters, tables as items of named fields. Elements it does not know are
// skipped; a document type, or nesting deeper than any call needs, refuses the request.
class SoapCallReader
{
public:
    static constexpr int kMaxDepth = 16;

    struct Call {
        bool ok = false;
        QString problem;    // why the request is not a call, when it is not
        QString name;       // the function the request calls
        QString prefix;     // the prefix the request gave the function element
        QStringList tables; // the tables the request carried, in order, each once
    };

    // Parameters and tables go into function only when the request calls that function.
    static Call read(const QByteArray& body, RfcFunction& function);
};
