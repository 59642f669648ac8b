#include "SoapAnswerWriter.h"

#include "sap/soap/SoapEnvelope.h"
#include "shell/XmlText.h"

namespace
{
QByteArray envelopeStart()
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><SOAP-ENV:Envelope "
                             "xmlns:SOAP-ENV=\"") +
           SoapEnvelope::kEnvelopeNamespace + QByteArrayLiteral("\"><SOAP-ENV:Body>");
}

const QByteArray kEnvelopeEnd = "</SOAP-ENV:Body></SOAP-ENV:Envelope>";

// As recorded from ABAP systems: "&" as "&#38;", quotes as they are.
QByteArray escaped(const QString& text)
{
    return XmlText::escaped(text, {XmlText::Ampersand::Numeric, false, false}).toUtf8();
}
} // namespace

SoapAnswerWriter::SoapAnswerWriter(QString function, QString prefix)
    : m_function(SoapEnvelope::elementName(function)),
      m_prefix(prefix.isEmpty() ? QStringLiteral("rfc") : prefix)
{
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
        text += '<' + column + '>' + escaped(row.at(static_cast<size_t>(c))) + "</" + column + '>';
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
    return '<' + name.toUtf8() + '>' + escaped(value) + "</" + name.toUtf8() + ">\n";
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
    const QByteArray name = escaped(exception);
    const QByteArray element = "rfc:" + m_function.toUtf8() + ".Exception";
    // A system failure's own words (out of memory, say) follow its name.
    const QByteArray words =
        message.isEmpty() ? QByteArray() : "<Message>" + escaped(message) + "</Message>";
    return envelopeStart() + "<SOAP-ENV:Fault><faultcode>SOAP-ENV:Client</faultcode><faultstring>" +
           name + "</faultstring><detail><" + element + " xmlns:rfc=\"" + SoapEnvelope::kNamespace +
           "\"><Name>" + name + "</Name>" + words + "</" + element + "></detail></SOAP-ENV:Fault>" +
           kEnvelopeEnd;
}
