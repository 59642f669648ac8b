#include "sap/soap/SoapResponseReader.h"
#include "shell/FaultTexts.h"

#include "sap/ReadModule.h"
#include "sap/RfcFunction.h"
#include "sap/soap/SoapEnvelope.h"

namespace
{
// Pieces small enough that a token which never ends is noticed soon after the limit.
constexpr qsizetype kPieceBytes = 16 * 1024;
// A fault's texts are kept up to this length; the rest is of no use to anyone.
constexpr qsizetype kLongestFaultText = 4096;

qint64 rowLimitOf(const RfcFunction& function)
{
    const QString noData = function.importValue(QStringLiteral("NO_DATA"));
    if (!noData.isEmpty() && noData.front() != u' ')
        return 0;
    const qint64 rowCount = function.importValue(QStringLiteral("ROWCOUNT")).trimmed().toLongLong();
    return rowCount > 0 ? rowCount : -1;
}
} // namespace

SoapResponseReader::SoapResponseReader(RfcFunction& function)
    : m_function(function), m_rowLimit(rowLimitOf(function))
{
}

void SoapResponseReader::feed(const QByteArray& bytes)
{
    for (qsizetype at = 0; at < bytes.size() && m_state == State::Reading; at += kPieceBytes)
        feedPiece(bytes.mid(at, kPieceBytes));
}

void SoapResponseReader::feedPiece(const QByteArray& piece)
{
    m_xml.addData(piece);
    m_bytesWithoutToken += piece.size();
    while (!m_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::Invalid)
            break;
        m_bytesWithoutToken = 0;
        if (token == QXmlStreamReader::DTD) {
            // SOAP messages carry no document type; one that does could declare entities that
            // put markup of its own into the rows.
            refuse(FaultTexts::get(FaultText::DocumentType));
            return;
        }
        if (token == QXmlStreamReader::StartElement)
            startElement();
        else if (token == QXmlStreamReader::EndElement)
            endElement();
        else if (token == QXmlStreamReader::Characters &&
                 (!m_column.isEmpty() || m_inFault || !m_result.isEmpty())) {
            m_text += m_xml.text();
            if (m_inFault)
                m_text.truncate(kLongestFaultText);
            else if (m_text.size() > m_longestValue)
                refuse(FaultTexts::get(FaultText::ValueTooLong)
                           .arg(m_tableName, QString::number(m_longestValue)));
        }
        if (m_state != State::Reading)
            return;
    }
    if (m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        refuse(BiText::same(m_xml.errorString()));
    else if (m_bytesWithoutToken > kLongestToken)
        refuse(FaultTexts::get(FaultText::TokenTooLong).arg(QString::number(kLongestToken / 1024)));
}

void SoapResponseReader::finish()
{
    if (m_state != State::Reading)
        return;
    refuse(FaultTexts::get(m_envelope ? FaultText::EndedEarly : FaultText::NotSoap));
}

void SoapResponseReader::refuse(const BiText& problem)
{
    m_state = State::NotSoap;
    m_problem = problem;
}

void SoapResponseReader::startElement()
{
    ++m_depth;
    if (m_depth > kMaxDepth) {
        refuse(FaultTexts::get(FaultText::NestedTooDeep));
        return;
    }
    const QStringView name = m_xml.name();
    const QLatin1String soap(SoapEnvelope::kEnvelopeNamespace);
    if (m_depth == 1) {
        m_envelope = name == u"Envelope" && m_xml.namespaceUri() == soap;
        if (!m_envelope)
            refuse(FaultTexts::get(FaultText::NotSoapStartsWith)
                       .arg(m_xml.qualifiedName().toString()));
        return;
    }
    if (m_depth == 2) {
        m_inBody = name == u"Body" && m_xml.namespaceUri() == soap;
        return;
    }
    if (m_inFault) {
        m_text.clear();
        return;
    }
    if (m_responseDepth > 0) {
        startInResponse(m_depth - m_responseDepth);
        return;
    }
    if (m_depth != 3 || !m_inBody)
        return;
    if (name == u"Fault" && m_xml.namespaceUri() == soap) {
        m_inFault = true;
        return;
    }
    // Another function's answer, or one from outside the RFC namespace, is no answer to ours.
    if (name !=
            QString(SoapEnvelope::elementName(m_function.name()) + QStringLiteral(".Response")) ||
        m_xml.namespaceUri() != QLatin1String(SoapEnvelope::kNamespace)) {
        const BiText space =
            m_xml.namespaceUri().isEmpty()
                ? FaultTexts::get(FaultText::NoNamespace)
                : FaultTexts::get(FaultText::Namespace).arg(m_xml.namespaceUri().toString());
        const BiText text = FaultTexts::get(FaultText::OtherResponse);
        const QString element = m_xml.qualifiedName().toString();
        refuse({text.en.arg(element, space.en, m_function.name()),
                text.pt.arg(element, space.pt, m_function.name())});
        return;
    }
    m_responseDepth = m_depth;
}

void SoapResponseReader::startInResponse(int level)
{
    const QStringView name = m_xml.name();
    if (level == 1) {
        const QString table = name.toString();
        m_table = nullptr;
        m_result.clear();
        m_text.clear();
        if (m_function.results().count(table) > 0) {
            m_result = table;
        } else if (table == u"FIELDS" || table == u"OPTIONS" || ReadModule::holdsRows(table) ||
                   m_function.findTable(table)) {
            m_table = &m_function.table(table);
            m_tableName = table;
            m_tableRows = 0;
            // A line is as wide as its table, or as the module's DATA line.
            const int width = ReadModule::widthOfTable(table);
            m_longestValue = width > 0          ? width
                             : table == u"DATA" ? ReadModule::named(m_function.name()).lineWidth()
                                                : ReadTableWidths::kDataLine;
            // Rows go to the sink; the other tables are replaced by what the system says.
            if (!ReadModule::holdsRows(table))
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
    if (m_inFault) {
        const QStringView name = m_xml.name();
        if (name == u"faultstring")
            m_faultString = m_text.trimmed();
        else if (name == u"Name" && m_detailName.isEmpty())
            m_detailName = m_text.trimmed();
        else if (name == u"Message" && m_faultMessage.isEmpty())
            m_faultMessage = m_text.trimmed();
        else if (name == u"Fault" && m_depth == 3) {
            m_inFault = false;
            m_fault = !m_faultString.isEmpty() ? m_faultString : m_detailName;
            if (m_fault.isEmpty())
                m_fault = QStringLiteral("SYSTEM_FAILURE");
            m_state = State::Fault;
        }
        m_text.clear();
    } else if (m_responseDepth > 0) {
        endInResponse(m_depth - m_responseDepth);
    } else if (m_depth == 2 && m_inBody) {
        refuse(FaultTexts::get(FaultText::NoResponse).arg(m_function.name()));
    }
    --m_depth;
}

void SoapResponseReader::endInResponse(int level)
{
    if (level == 3 && m_inItem && !m_column.isEmpty()) {
        const int c = m_table->columnIndex(m_column);
        if (c >= 0)
            m_row[static_cast<size_t>(c)] = m_text;
        m_column.clear();
    } else if (level == 2 && m_inItem) {
        m_inItem = false;
        ++m_tableRows;
        const bool data = ReadModule::holdsRows(m_tableName);
        if (data && m_rowLimit >= 0 && m_tableRows > m_rowLimit) {
            refuse(m_rowLimit == 0 ? FaultTexts::get(FaultText::RowsNotAskedFor)
                                   : FaultTexts::get(FaultText::MoreRowsThanAsked)
                                         .arg(QString::number(m_rowLimit)));
            return;
        }
        if (!data && m_tableRows > kMaxDescriptionRows) {
            refuse(FaultTexts::get(FaultText::TooManyDescriptionRows)
                       .arg(QString::number(kMaxDescriptionRows), m_tableName));
            return;
        }
        ++m_rowsRead;
        m_table->deliver(std::move(m_row));
        m_row.clear();
    } else if (level == 1) {
        if (!m_result.isEmpty())
            m_function.setResult(m_result, m_text.trimmed());
        m_result.clear();
        m_table = nullptr;
    } else if (level == 0) {
        m_responseDepth = 0;
        m_state = State::Done;
    }
}
