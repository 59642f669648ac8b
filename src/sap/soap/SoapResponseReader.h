#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

class RfcFunction;
class RfcTable;

// Reads an RFC SOAP answer as it arrives: the tables of the response element go into the
// function's tables (DATA rows straight to its sink), a fault gives the exception's name.
// Elements are matched by local name, so any prefix and any order of the tables will do.
class SoapResponseReader
{
public:
    enum class State { Reading, Done, Fault, NotSoap };

    explicit SoapResponseReader(RfcFunction& function);

    void feed(const QByteArray& bytes);
    // Called when the body has ended: a document still open is not a valid answer.
    void finish();
    State state() const { return m_state; }
    const QString& fault() const { return m_fault; }
    // The fault's own text beyond the exception's name (a system failure's message), if any.
    const QString& faultMessage() const { return m_faultMessage; }
    const QString& problem() const { return m_problem; }

private:
    void startElement();
    void endElement();

    RfcFunction& m_function;
    QXmlStreamReader m_xml;
    State m_state = State::Reading;
    int m_depth = 0;
    bool m_envelope = false;
    int m_responseDepth = 0; // depth of the function's response element; 0 outside it
    RfcTable* m_table = nullptr;
    bool m_inItem = false;
    QString m_column;
    QString m_text;
    std::vector<QString> m_row;
    bool m_inFault = false;
    QString m_faultString;
    QString m_detailName;
    QString m_fault;
    QString m_faultMessage;
    QString m_problem;
};
