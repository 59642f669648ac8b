#include "SoapAnswerWriter.h"

#include "sap/soap/SoapEnvelope.h"

namespace
{
QByteArray envelopeStart()
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><SOAP-ENV:Envelope "
                             "xmlns:SOAP-ENV=\"") +
           SoapEnvelope::kEnvelopeNamespace + QByteArrayLiteral("\"><SOAP-ENV:Body>");
}

const QByteArray kEnvelopeEnd = "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
} // namespace

SoapAnswerWriter::SoapAnswerWriter(QString function, QString prefix)
    : m_function(SoapEnvelope::elementName(function)),
      m_prefix(prefix.isEmpty() ? QStringLiteral("rfc") : prefix)
{
}

QByteArray SoapAnswerWriter::escape(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            escaped += QStringLiteral("&#38;");
            break;
        case u'<':
            escaped += QStringLiteral("&lt;");
            break;
        case u'>':
            escaped += QStringLiteral("&gt;");
            break;
        case u'\r':
            escaped += QStringLiteral("&#13;");
            break;
        default:
            // XML 1.0 cannot carry other control characters at all.
            escaped += c.unicode() < 0x20 && c != u'\t' && c != u'\n' ? QChar(u'?') : c;
        }
    }
    return escaped.toUtf8();
}

QByteArray SoapAnswerWriter::start() const
{
    const QByteArray prefix = m_prefix.toUtf8();
    return envelopeStart() + '<' + prefix + ':' + m_function.toUtf8() +
           ".Response xmlns:" + prefix + "=\"" + SoapEnvelope::kNamespace + "\">";
}

QByteArray SoapAnswerWriter::tableStart(const QString& table)
{
    return '<' + table.toUtf8() + ">\n";
}

QByteArray SoapAnswerWriter::item(const RfcTable& table, const RfcTable::Row& row)
{
    QByteArray text = "<item>";
    for (qsizetype c = 0; c < table.columns().size(); ++c) {
        const QByteArray column = table.columns().at(c).toUtf8();
        text += '<' + column + '>' + escape(row.at(static_cast<size_t>(c))) + "</" + column + '>';
    }
    return text + "</item>\n";
}

QByteArray SoapAnswerWriter::tableEnd(const QString& table)
{
    return "</" + table.toUtf8() + '>';
}

QByteArray SoapAnswerWriter::emptyTable(const QString& table)
{
    return '<' + table.toUtf8() + "/>";
}

QByteArray SoapAnswerWriter::parameter(const QString& name, const QString& value)
{
    return '<' + name.toUtf8() + '>' + escape(value) + "</" + name.toUtf8() + ">\n";
}

QByteArray SoapAnswerWriter::table(const QString& name, const RfcTable& table)
{
    if (table.rowCount() == 0)
        return emptyTable(name);
    QByteArray text = tableStart(name);
    for (const RfcTable::Row& row : table.rows())
        text += item(table, row);
    return text + tableEnd(name);
}

QByteArray SoapAnswerWriter::end() const
{
    return "</" + m_prefix.toUtf8() + ':' + m_function.toUtf8() + ".Response>" + kEnvelopeEnd;
}

QByteArray SoapAnswerWriter::fault(const QString& exception, const QString& message) const
{
    const QByteArray name = escape(exception);
    const QByteArray element = "rfc:" + m_function.toUtf8() + ".Exception";
    // A system failure's own words (out of memory, say) follow its name.
    const QByteArray words =
        message.isEmpty() ? QByteArray() : "<Message>" + escape(message) + "</Message>";
    return envelopeStart() + "<SOAP-ENV:Fault><faultcode>SOAP-ENV:Client</faultcode><faultstring>" +
           name + "</faultstring><detail><" + element + " xmlns:rfc=\"" + SoapEnvelope::kNamespace +
           "\"><Name>" + name + "</Name>" + words + "</" + element + "></detail></SOAP-ENV:Fault>" +
           kEnvelopeEnd;
}
