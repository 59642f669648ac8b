#include "SoapCallReader.h"

#include "sap/RfcFunction.h"
#include "sap/soap/SoapEnvelope.h"

#include <QHash>
#include <QXmlStreamReader>

#include <vector>

namespace
{
// Levels below the envelope: 1 the envelope, 2 its body, 3 the function, 4 a parameter or a
// table, 5 a table's item, 6 a field of the item.
enum Level { kEnvelope = 1, kBody = 2, kFunction = 3, kParameter = 4, kItem = 5, kField = 6 };

class Reader
{
public:
    Reader(const QByteArray& body, RfcFunction& function) : m_xml(body), m_function(function) {}

    SoapCallReader::Call read()
    {
        while (!m_xml.atEnd() && m_call.problem.isEmpty()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::DTD:
                m_call.problem = QStringLiteral("a document type declaration is not accepted");
                break;
            case QXmlStreamReader::StartElement:
                start();
                break;
            case QXmlStreamReader::EndElement:
                end();
                break;
            case QXmlStreamReader::Characters:
                if (m_textDepth == m_depth)
                    m_text += m_xml.text();
                break;
            default:
                break;
            }
        }
        if (m_call.problem.isEmpty() && m_xml.hasError())
            m_call.problem = m_xml.errorString();
        if (m_call.problem.isEmpty() && m_call.name.isEmpty())
            m_call.problem = QStringLiteral("the body holds no function call");
        m_call.ok = m_call.problem.isEmpty();
        return m_call;
    }

private:
    bool inFunction() const { return m_functionSeen && !m_functionDone; }

    void start()
    {
        ++m_depth;
        m_textDepth = -1;
        if (m_depth > SoapCallReader::kMaxDepth) {
            m_call.problem = QStringLiteral("elements nest deeper than a call does");
            return;
        }
        const QStringView name = m_xml.name();
        const QStringView space = m_xml.namespaceUri();
        const QLatin1String soap(SoapEnvelope::kEnvelopeNamespace);
        if (m_depth == kEnvelope) {
            if (name != u"Envelope" || space != soap)
                m_call.problem = QStringLiteral("the request is not a SOAP envelope");
        } else if (m_depth == kBody) {
            m_inBody = name == u"Body" && space == soap;
        } else if (m_depth == kFunction && m_inBody && !m_functionSeen) {
            m_functionSeen = true;
            if (space != QLatin1String(SoapEnvelope::kNamespace)) {
                m_call.problem = QStringLiteral("the body holds no RFC function call");
                return;
            }
            m_call.name = SoapEnvelope::nameOfElement(name);
            m_call.prefix = m_xml.prefix().toString();
            m_calls = m_call.name == m_function.name();
        } else if (m_depth == kParameter && inFunction()) {
            m_element = name.toString();
            m_isTable = !RfcFunction::columnsOf(m_element).isEmpty();
            if (m_isTable && !m_call.tables.contains(m_element)) {
                m_call.tables.append(m_element);
                if (m_calls)
                    m_function.table(m_element);
            }
            collectText();
        } else if (m_depth == kItem && inFunction() && m_isTable && name == u"item") {
            if (++m_rows[m_element] > SoapCallReader::kMaxTableRows) {
                m_call.overlong = m_element;
                m_call.problem = m_element + QStringLiteral(" has more rows than a call takes");
                return;
            }
            m_inItem = m_calls;
            if (m_inItem)
                m_row.assign(static_cast<size_t>(m_function.table(m_element).columns().size()),
                             QString());
        } else if (m_depth == kField && m_inItem) {
            m_column = m_function.table(m_element).columnIndex(name.toString());
            collectText();
        }
    }

    void end()
    {
        if (m_depth == kField && m_inItem && m_textDepth == kField && m_column >= 0) {
            m_row[static_cast<size_t>(m_column)] = m_text;
        } else if (m_depth == kItem && m_inItem) {
            m_function.table(m_element).deliver(std::move(m_row));
            m_row.clear();
            m_inItem = false;
        } else if (m_depth == kParameter && inFunction()) {
            if (!m_isTable && m_calls && m_textDepth == kParameter)
                m_function.setImport(m_element, m_text);
            m_isTable = false;
        } else if (m_depth == kFunction && inFunction()) {
            m_functionDone = true;
        }
        m_textDepth = -1;
        --m_depth;
    }

    void collectText()
    {
        m_textDepth = m_depth;
        m_text.clear();
    }

    QXmlStreamReader m_xml;
    RfcFunction& m_function;
    SoapCallReader::Call m_call;
    int m_depth = 0;
    bool m_inBody = false;
    bool m_functionSeen = false;
    bool m_functionDone = false;
    bool m_calls = false; // the request calls the function being filled
    QString m_element;    // the parameter or table being read
    bool m_isTable = false;
    bool m_inItem = false;
    int m_column = -1;
    std::vector<QString> m_row;
    QHash<QString, int> m_rows; // items read of each table
    int m_textDepth = -1;       // the depth whose text is collected; -1 when none is
    QString m_text;
};
} // namespace

SoapCallReader::Call SoapCallReader::read(const QByteArray& body, RfcFunction& function)
{
    return Reader(body, function).read();
}
