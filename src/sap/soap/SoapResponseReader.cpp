#include "SoapResponseReader.h"

#include "RfcFunction.h"

SoapResponseReader::SoapResponseReader(RfcFunction& function) : m_function(function) {}

void SoapResponseReader::feed(const QByteArray& bytes)
{
    if (m_state != State::Reading)
        return;
    m_xml.addData(bytes);
    while (!m_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::Invalid)
            break;
        if (token == QXmlStreamReader::StartElement)
            startElement();
        else if (token == QXmlStreamReader::EndElement)
            endElement();
        else if (token == QXmlStreamReader::Characters && (!m_column.isEmpty() || m_inFault))
            m_text += m_xml.text();
        if (m_state != State::Reading)
            return;
    }
    if (m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
        m_state = State::NotSoap;
        m_problem = m_xml.errorString();
    }
}

void SoapResponseReader::finish()
{
    if (m_state != State::Reading)
        return;
    m_state = State::NotSoap;
    if (m_problem.isEmpty())
        m_problem = m_envelope ? QStringLiteral("the answer ended early")
                               : QStringLiteral("the answer is not a SOAP message");
}

void SoapResponseReader::startElement()
{
    ++m_depth;
    const QStringView name = m_xml.name();
    if (m_depth == 1) {
        m_envelope = name == u"Envelope";
        if (!m_envelope) {
            m_state = State::NotSoap;
            m_problem = QStringLiteral("the answer is not a SOAP message (it starts with <%1>)")
                            .arg(name.toString());
        }
        return;
    }
    if (name == u"Fault" && m_responseDepth == 0) {
        m_inFault = true;
        return;
    }
    if (m_inFault) {
        m_text.clear();
        return;
    }
    if (m_responseDepth == 0) {
        if (name.endsWith(u"Response"))
            m_responseDepth = m_depth;
        return;
    }
    const int level = m_depth - m_responseDepth;
    if (level == 1) {
        const QString table = name.toString();
        if (table == u"FIELDS" || table == u"DATA" || table == u"OPTIONS") {
            m_table = &m_function.Tables(table);
            // DATA rows go to the sink; the other tables are replaced by what the system says.
            if (table != u"DATA")
                *m_table = RfcTable(m_table->columns());
        }
    } else if (level == 2 && m_table && name == u"item") {
        m_inItem = true;
        m_row.assign(static_cast<size_t>(m_table->columns().size()), QString());
    } else if (level == 3 && m_inItem) {
        m_column = name.toString();
        m_text.clear();
    }
}

void SoapResponseReader::endElement()
{
    const QStringView name = m_xml.name();
    if (m_inFault) {
        if (name == u"faultstring")
            m_faultString = m_text.trimmed();
        else if (name == u"Name" && m_detailName.isEmpty())
            m_detailName = m_text.trimmed();
        else if (name == u"Message" && m_faultMessage.isEmpty())
            m_faultMessage = m_text.trimmed();
        else if (name == u"Fault") {
            m_inFault = false;
            m_fault = !m_faultString.isEmpty() ? m_faultString : m_detailName;
            if (m_fault.isEmpty())
                m_fault = QStringLiteral("SYSTEM_FAILURE");
            m_state = State::Fault;
        }
        m_text.clear();
        --m_depth;
        return;
    }
    const int level = m_depth - m_responseDepth;
    if (m_responseDepth > 0) {
        if (level == 3 && m_inItem && !m_column.isEmpty()) {
            const int c = m_table->columnIndex(m_column);
            if (c >= 0)
                m_row[static_cast<size_t>(c)] = m_text;
            m_column.clear();
        } else if (level == 2 && m_inItem) {
            m_table->deliver(std::move(m_row));
            m_row.clear();
            m_inItem = false;
        } else if (level == 1) {
            m_table = nullptr;
        } else if (level == 0) {
            m_responseDepth = 0;
            m_state = State::Done;
        }
    }
    --m_depth;
}
