#pragma once

#include "sap/ReadTableWidths.h"
#include "shell/BiText.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

class RfcFunction;
class RfcTable;

// Reads an RFC SOAP answer as it arrives: the tables of the function's response element go
// into the function's tables (rows straight to their sinks), values it expects as results into
// its results, a fault gives the exception's
// name. Only the response of the function called, in the RFC namespace, is an answer; its
// prefix and the order of its tables may be anything. Whatever the server sends, the reader
// holds a bounded amount of it: a value longer than any field, a markup token that never
// ends, nesting deeper than any answer, or more rows than the call can return refuse the
// answer.
class SoapResponseReader
{
public:
    enum class State { Reading, Done, Fault, NotSoap };

    // Far more than the markup of any value: an answer that goes this long without completing
    // one piece of markup is refused, since the XML reader keeps an unfinished piece whole.
    static constexpr qsizetype kLongestToken = 64 * 1024;
    static constexpr int kMaxDepth = 32;
    // Rows of FIELDS or OPTIONS kept at most: more than any table has fields.
    static constexpr int kMaxDescriptionRows = 10000;

    explicit SoapResponseReader(RfcFunction& function);

    void feed(const QByteArray& bytes);
    // Called when the body has ended: a document still open is not a valid answer.
    void finish();
    State state() const { return m_state; }
    const QString& fault() const { return m_fault; }
    // The fault's own text beyond the exception's name (a system failure's message), if any.
    const QString& faultMessage() const { return m_faultMessage; }
    const BiText& problem() const { return m_problem; }
    // Rows read so far, of every table: the answer's progress.
    qint64 rowsRead() const { return m_rowsRead; }

private:
    void feedPiece(const QByteArray& piece);
    void startElement();
    void endElement();
    void startInResponse(int level);
    void endInResponse(int level);
    void refuse(const BiText& problem);

    RfcFunction& m_function;
    QXmlStreamReader m_xml;
    State m_state = State::Reading;
    int m_depth = 0;
    bool m_envelope = false;
    bool m_inBody = false;
    int m_responseDepth = 0; // depth of the function's response element; 0 outside it
    RfcTable* m_table = nullptr;
    QString m_tableName;
    QString m_result; // the result parameter being read, if any
    // No value of the table being read is longer: its line width, 512 for the others.
    qsizetype m_longestValue = ReadTableWidths::kDataLine;
    int m_tableRows = 0;
    qint64 m_rowLimit = -1; // DATA rows the call can return; -1 for any number
    bool m_inItem = false;
    QString m_column;
    QString m_text;
    std::vector<QString> m_row;
    bool m_inFault = false;
    QString m_faultString;
    QString m_detailName;
    QString m_fault;
    QString m_faultMessage;
    BiText m_problem;
    qint64 m_rowsRead = 0;
    qsizetype m_bytesWithoutToken = 0;
};
