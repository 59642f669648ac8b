#include "sap/soap/SoapEnvelope.h"

#include "sap/RfcFunction.h"

namespace
{
const char* const kTables[] = {"OPTIONS", "FIELDS", "DATA"};
}

QString SoapEnvelope::escape(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            escaped += QStringLiteral("&amp;");
            break;
        case u'<':
            escaped += QStringLiteral("&lt;");
            break;
        case u'>':
            escaped += QStringLiteral("&gt;");
            break;
        case u'"':
            escaped += QStringLiteral("&quot;");
            break;
        case u'\'':
            escaped += QStringLiteral("&apos;");
            break;
        case u'\r':
            escaped += QStringLiteral("&#13;");
            break; // a parser would make it \n
        default:
            // XML 1.0 cannot carry other control characters at all, not even as references.
            if (c.unicode() < 0x20 && c != u'\t' && c != u'\n')
                escaped += u'?';
            else
                escaped += c;
        }
    }
    return escaped;
}

QByteArray SoapEnvelope::request(const RfcFunction& function)
{
    QString xml =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
            "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">"
            "<SOAP-ENV:Body><urn:") +
        function.name() + QStringLiteral(" xmlns:urn=\"") + QString::fromLatin1(kNamespace) +
        QStringLiteral("\">");
    // Parameters left empty take the function's defaults.
    for (const auto& [name, parameter] : function.exports()) {
        if (parameter.value.isEmpty())
            continue;
        xml += u'<' + name + u'>' + escape(parameter.value) + QStringLiteral("</") + name + u'>';
    }
    for (const char* tableName : kTables) {
        const QString table = QString::fromLatin1(tableName);
        xml += u'<' + table + u'>';
        if (const RfcTable* rows = function.findTable(table)) {
            for (const RfcTable::Row& row : rows->rows()) {
                xml += QStringLiteral("<item>");
                for (int c = 0; c < rows->columns().size(); ++c) {
                    const QString& value = row[static_cast<size_t>(c)];
                    if (value.isEmpty())
                        continue;
                    const QString& column = rows->columns().at(c);
                    xml +=
                        u'<' + column + u'>' + escape(value) + QStringLiteral("</") + column + u'>';
                }
                xml += QStringLiteral("</item>");
            }
        }
        xml += QStringLiteral("</") + table + u'>';
    }
    xml += QStringLiteral("</urn:") + function.name() +
           QStringLiteral("></SOAP-ENV:Body></SOAP-ENV:Envelope>");
    return xml.toUtf8();
}
