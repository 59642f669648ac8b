#include "sap/soap/SoapEnvelope.h"

#include "sap/RfcFunction.h"
#include "shell/XmlText.h"

QString SoapEnvelope::elementName(const QString& name)
{
    QString element = name;
    return element.replace(u'/', QStringLiteral("_-"));
}

QString SoapEnvelope::nameOfElement(QStringView element)
{
    return element.toString().replace(QStringLiteral("_-"), QStringLiteral("/"));
}

QByteArray SoapEnvelope::request(const RfcFunction& function)
{
    const QString element = elementName(function.name());
    QString xml =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
            "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">"
            "<SOAP-ENV:Body><urn:") +
        element + QStringLiteral(" xmlns:urn=\"") + QString::fromLatin1(kNamespace) +
        QStringLiteral("\">");
    // Parameters left empty take the function's defaults.
    for (const auto& [name, parameter] : function.imports()) {
        if (parameter.value.isEmpty())
            continue;
        xml += u'<' + name + u'>' + XmlText::escaped(parameter.value) + QStringLiteral("</") +
               name + u'>';
    }
    // A table the request leaves out does not come back.
    const QStringList tables = function.interfaceTables();
    const RfcTable untouched;
    for (const QString& table : tables) {
        const RfcTable* found = function.findTable(table);
        const RfcTable& rows = found ? *found : untouched;
        xml += u'<' + table + u'>';
        for (const RfcTable::Row& row : rows.rows()) {
            xml += QStringLiteral("<item>");
            for (int c = 0; c < rows.columns().size(); ++c) {
                const QString& value = row[static_cast<size_t>(c)];
                if (value.isEmpty())
                    continue;
                const QString& column = rows.columns().at(c);
                xml += u'<' + column + u'>' + XmlText::escaped(value) + QStringLiteral("</") +
                       column + u'>';
            }
            xml += QStringLiteral("</item>");
        }
        xml += QStringLiteral("</") + table + u'>';
    }
    xml += QStringLiteral("</urn:") + element +
           QStringLiteral("></SOAP-ENV:Body></SOAP-ENV:Envelope>");
    return xml.toUtf8();
}
