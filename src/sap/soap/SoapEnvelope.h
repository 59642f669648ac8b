#pragma once

#include <QByteArray>
#include <QString>

class RfcFunction;

// The SOAP request that calls a function through an ABAP system's RFC SOAP service: only the
// function element is in the RFC namespace, parameters unqualified, every table of the
// function's interface sent (empty ones too), every value escaped.
class SoapEnvelope
{
public:
    static constexpr const char* kNamespace = "urn:sap-com:document:sap:rfc:functions";
    static constexpr const char* kEnvelopeNamespace = "http://schemas.xmlsoap.org/soap/envelope/";

    static QByteArray request(const RfcFunction& function);
    // A name as an element names it: ABAP writes a namespace's "/" as "_-"
    // (/SAPDS/RFC_READ_TABLE2 is <_-SAPDS_-RFC_READ_TABLE2>), and reads it back so.
    static QString elementName(const QString& name);
    static QString nameOfElement(QStringView element);
};
