#include "ByteSlices.h"
#include "sap/RfcFunction.h"
#include "sap/soap/SoapResponseReader.h"

#include <QRandomGenerator>
#include <QTest>

namespace
{
const QByteArray kRfc = "urn:sap-com:document:sap:rfc:functions";

QByteArray envelope(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">"
           "<SOAP-ENV:Body>" +
           body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

// prefix "rfc" or "urn": a prefixed element; "": a default namespace; "-": no namespace at all.
QByteArray response(const QByteArray& prefix, const QByteArray& tables)
{
    const QByteArray tag = prefix.isEmpty() || prefix == "-" ? QByteArray("RFC_READ_TABLE.Response")
                                                             : prefix + ":RFC_READ_TABLE.Response";
    QByteArray declaration;
    if (prefix.isEmpty())
        declaration = " xmlns=\"" + kRfc + '"';
    else if (prefix != "-")
        declaration = " xmlns:" + prefix + "=\"" + kRfc + '"';
    return envelope('<' + tag + declaration + '>' + tables + "</" + tag + '>');
}

QByteArray fieldItem(const QByteArray& name, const QByteArray& offset, const QByteArray& length,
                     const QByteArray& type, const QByteArray& text)
{
    return "<item><FIELDNAME>" + name + "</FIELDNAME><OFFSET>" + offset + "</OFFSET><LENGTH>" +
           length + "</LENGTH><TYPE>" + type + "</TYPE><FIELDTEXT>" + text + "</FIELDTEXT></item>";
}

const QByteArray kFields = "<FIELDS>" + fieldItem("MANDT", "000000", "000003", "C", "Client") +
                           fieldItem("MTEXT", "000004", "000025", "C", "Client name") + "</FIELDS>";
const QStringList kFieldRows{"MANDT|000000|000003|C|Client", "MTEXT|000004|000025|C|Client name"};

QByteArray dataTable(const QList<QByteArray>& was)
{
    QByteArray table = "<DATA>";
    for (const QByteArray& wa : was)
        table += "<item><WA>" + wa + "</WA></item>";
    return table + "</DATA>";
}

const QByteArray kData = dataTable({"000|SAP AG Konzern", "001|Auslieferungsmandant R11",
                                    "100|Demo &#8211; Vendas &amp; Finan\xc3\xa7"
                                    "as"});
const QStringList kDataRows{"000|SAP AG Konzern", "001|Auslieferungsmandant R11",
                            QStringLiteral("100|Demo – Vendas & Finanças")};

QByteArray fault(const QByteArray& faultString, const QByteArray& detail)
{
    return envelope("<SOAP-ENV:Fault><faultcode>SOAP-ENV:Client</faultcode>" + faultString +
                    detail + "</SOAP-ENV:Fault>");
}

QByteArray detailName(const QByteArray& name)
{
    return "<detail><rfc:RFC_READ_TABLE.Exception xmlns:rfc=\"" + kRfc + "\"><Name>" + name +
           "</Name></rfc:RFC_READ_TABLE.Exception></detail>";
}

struct Outcome {
    SoapResponseReader::State state = SoapResponseReader::State::Reading;
    QString fault;
    QString problem;
    QStringList fields;
    QStringList data;
    int dataKept = 0; // rows left in the DATA table itself
};

// Feeds the pieces in order, then ends the body. With a sink, DATA rows go to it.
Outcome read(const QList<QByteArray>& pieces, bool sink = true,
             const QList<QPair<QString, QString>>& exports = {})
{
    RfcFunction function(QStringLiteral("RFC_READ_TABLE"), nullptr);
    for (const auto& [name, value] : exports)
        function.setImport(name, value);
    function.table(QStringLiteral("FIELDS"));
    function.table(QStringLiteral("OPTIONS"));
    Outcome outcome;
    if (sink)
        function.table(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row& row) {
            outcome.data.append(row.at(0));
        });
    else
        function.table(QStringLiteral("DATA"));
    SoapResponseReader reader(function);
    for (const QByteArray& piece : pieces)
        reader.feed(piece);
    reader.finish();
    outcome.state = reader.state();
    outcome.fault = reader.fault();
    outcome.problem = reader.problem().en;
    for (const auto& row : function.table(QStringLiteral("FIELDS")).rows())
        outcome.fields.append(QStringList(row.begin(), row.end()).join(u'|'));
    const RfcTable& data = function.table(QStringLiteral("DATA"));
    outcome.dataKept = data.rowCount();
    if (!sink) {
        for (const auto& row : data.rows())
            outcome.data.append(row.at(0));
    }
    return outcome;
}

const char* stateName(SoapResponseReader::State state)
{
    switch (state) {
    case SoapResponseReader::State::Reading:
        return "Reading";
    case SoapResponseReader::State::Done:
        return "Done";
    case SoapResponseReader::State::Fault:
        return "Fault";
    case SoapResponseReader::State::NotSoap:
        return "NotSoap";
    }
    return "?";
}
} // namespace

class TestSoapResponse : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsAnyPrefixInAnyTableOrder_data()
    {
        QTest::addColumn<QByteArray>("answer");
        // An unknown table with items of its own must leave DATA alone.
        const QByteArray extra = "<ET_EXTRA><item><WA>not a row</WA></item></ET_EXTRA>";
        const QByteArray options =
            "<OPTIONS><item><TEXT>MANDT &lt;&gt; '999'</TEXT></item></OPTIONS>";
        const QList<std::pair<const char*, QByteArray>> orders = {
            {"FIELDS then DATA", kFields + kData},
            {"DATA then FIELDS", kData + kFields},
            {"DATA, OPTIONS, unknown, FIELDS", kData + options + extra + kFields},
        };
        for (const QByteArray prefix : {"rfc", "urn", ""}) {
            for (const auto& [order, tables] : orders) {
                const QByteArray name = prefix.isEmpty() ? "default namespace" : prefix + ':';
                QTest::addRow("%s %s", name.constData(), order) << response(prefix, tables);
            }
        }
    }

    void readsAnyPrefixInAnyTableOrder()
    {
        QFETCH(QByteArray, answer);
        for (const bool sink : {false, true}) {
            const Outcome outcome = read({answer}, sink);
            QCOMPARE(stateName(outcome.state), "Done");
            QCOMPARE(outcome.fields, kFieldRows);
            QCOMPARE(outcome.data, kDataRows);
            QCOMPARE(outcome.dataKept, sink ? 0 : 3);
        }
    }

    // Answers as ABAP systems lay them out, written by hand from what was recorded: SOAP-ENV
    // throughout, the request's prefix on the response, DATA first, an item a line, "&#38;",
    // OPTIONS echoed, and tables left out of the request as empty elements.
    void readsTheRecordedLayout_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("data");
        QTest::addColumn<QStringList>("options");

        const QByteArray fields =
            "<FIELDS>\n" + fieldItem("MANDT", "000000", "000003", "C", "Client") + "\n" +
            fieldItem("MTEXT", "000004", "000025", "C", "Client name") + "\n</FIELDS>";
        const QByteArray data = "<DATA>\n<item><WA>000|SAP AG Konzern</WA></item>\n"
                                "<item><WA>100|Vendas &#38; Finan\xc3\xa7"
                                "as</WA></item>\n</DATA>";
        const QByteArray options =
            "<OPTIONS>\n<item><TEXT>MANDT &lt;&gt; &apos;999&apos;</TEXT></item>\n</OPTIONS>";
        const QStringList fieldRows = kFieldRows;
        const QStringList dataRows{"000|SAP AG Konzern", QStringLiteral("100|Vendas & Finanças")};
        QTest::newRow("7.58: DATA, FIELDS, OPTIONS")
            << response("urn", data + fields + options) << fieldRows << dataRows
            << QStringList{"MANDT <> '999'"};
        QTest::newRow("line breaks and blanks everywhere")
            << response("urn", "\n  " + data + "\n  " + fields + "\n  " + options + "\n")
            << fieldRows << dataRows << QStringList{"MANDT <> '999'"};
        QTest::newRow("DATA left out of the request")
            << response("urn", "<DATA/>" + fields + "<OPTIONS/>") << fieldRows << QStringList{}
            << QStringList{};
        QTest::newRow("FIELDS left out of the request")
            << response("rfc", data + "<FIELDS/><OPTIONS/>") << QStringList{} << dataRows
            << QStringList{};
        QTest::newRow("every table empty") << response("urn", "<DATA/><FIELDS/><OPTIONS/>")
                                           << QStringList{} << QStringList{} << QStringList{};
    }

    void readsTheRecordedLayout()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, data);
        QFETCH(QStringList, options);
        for (const auto& pieces : {QList<QByteArray>{answer}, bytewise(answer)}) {
            RfcFunction function(QStringLiteral("RFC_READ_TABLE"), nullptr);
            function.table(QStringLiteral("FIELDS"));
            QStringList rows;
            function.table(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row& row) {
                rows.append(row.at(0));
            });
            SoapResponseReader reader(function);
            for (const QByteArray& piece : pieces)
                reader.feed(piece);
            reader.finish();
            QCOMPARE(stateName(reader.state()), "Done");
            QStringList described;
            for (const auto& row : function.table(QStringLiteral("FIELDS")).rows())
                described.append(QStringList(row.begin(), row.end()).join(u'|'));
            QStringList echoed;
            for (const auto& row : function.table(QStringLiteral("OPTIONS")).rows())
                echoed.append(row.at(0));
            QCOMPARE(described, fields);
            QCOMPARE(rows, data);
            QCOMPARE(echoed, options);
        }
    }

    // Only the response of the function called, in the RFC namespace, inside a SOAP body, is
    // an answer; anything else is refused with a problem naming what came back.
    void onlyItsOwnResponseIsAnAnswer_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("problem");

        const QByteArray rfc = " xmlns:rfc=\"" + kRfc + "\"";
        QTest::newRow("RFC_SYSTEM_INFO")
            << envelope("<rfc:RFC_SYSTEM_INFO.Response" + rfc +
                        "><RFCSI_EXPORT><RFCHOST>h"
                        "</RFCHOST></RFCSI_EXPORT></rfc:RFC_SYSTEM_INFO.Response>")
            << QStringLiteral("<rfc:RFC_SYSTEM_INFO.Response>");
        QTest::newRow("STFC_CONNECTION, with FIELDS and DATA")
            << envelope("<rfc:STFC_CONNECTION.Response" + rfc + ">" + kFields + kData +
                        "</rfc:STFC_CONNECTION.Response>")
            << QStringLiteral("STFC_CONNECTION.Response");
        QTest::newRow("RFC_READ_TABLE in no namespace")
            << response("-", kFields + kData) << QStringLiteral("(no namespace)");
        QTest::newRow("RFC_READ_TABLE in another namespace")
            << envelope("<x:RFC_READ_TABLE.Response xmlns:x=\"urn:example:other\">" + kFields +
                        kData + "</x:RFC_READ_TABLE.Response>")
            << QStringLiteral("namespace urn:example:other");
        QTest::newRow("a response named like ours, longer")
            << envelope("<rfc:RFC_READ_TABLE.Responses" + rfc + ">" + kData +
                        "</rfc:RFC_READ_TABLE.Responses>")
            << QStringLiteral("RFC_READ_TABLE.Responses");
        QTest::newRow("an envelope outside SOAP")
            << QByteArray("<Envelope><Body><rfc:RFC_READ_TABLE.Response" + rfc + ">" + kData +
                          "</rfc:RFC_READ_TABLE.Response></Body></Envelope>")
            << QStringLiteral("not a SOAP message");
        QByteArray declared = response("rfc", kFields + "<DATA>&row;</DATA>");
        declared.insert(declared.startsWith("<?xml") ? declared.indexOf("?>") + 2 : 0,
                        "<!DOCTYPE e [<!ENTITY row \"<item><WA>INJECTED</WA></item>\">]>");
        QTest::newRow("a document type whose entity adds a row")
            << declared << QStringLiteral("declares a document type");
        QTest::newRow("the response in the header, an empty body")
            << QByteArray("<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/"
                          "envelope/\"><SOAP-ENV:Header><rfc:RFC_READ_TABLE.Response" +
                          rfc + ">" + kData +
                          "</rfc:RFC_READ_TABLE.Response></SOAP-ENV:Header><SOAP-ENV:Body/>"
                          "</SOAP-ENV:Envelope>")
            << QStringLiteral("body holds no RFC_READ_TABLE response");
    }

    void onlyItsOwnResponseIsAnAnswer()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, problem);
        for (const auto& pieces : {QList<QByteArray>{answer}, bytewise(answer)}) {
            const Outcome outcome = read(pieces);
            QCOMPARE(stateName(outcome.state), "NotSoap");
            QVERIFY2(outcome.problem.contains(problem), qPrintable(outcome.problem));
            QVERIFY(outcome.data.isEmpty());
        }
    }

    // Whatever comes, the reader holds a bounded part of it and refuses the answer once it
    // passes what any real answer can be.
    void boundedWhateverComes_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QStringList>("exports"); // name=value
        QTest::addColumn<QString>("problem");     // empty: the answer is accepted

        const QByteArray start = response("rfc", kFields + "<DATA>");
        const QByteArray open = start.left(start.indexOf("</rfc:RFC_READ_TABLE.Response>"));
        const auto endless = [](const QByteArray& head, const QByteArray& piece, int times) {
            QList<QByteArray> pieces{head};
            for (int i = 0; i < times; ++i)
                pieces.append(piece);
            return pieces;
        };
        QTest::newRow("a value of 512 characters")
            << QList<QByteArray>{response("rfc", kFields + dataTable({QByteArray(512, 'x')}))}
            << QStringList{} << QString();
        QTest::newRow("a value of 513 characters")
            << QList<QByteArray>{response("rfc", kFields + dataTable({QByteArray(513, 'x')}))}
            << QStringList{} << QStringLiteral("longer than 512 characters");
        QTest::newRow("a value that never ends")
            << endless(open + "<item><WA>", QByteArray(16384, 'x'), 200) << QStringList{}
            << QStringLiteral("longer than");
        QTest::newRow("a comment that never ends")
            << endless(open + "<!--", QByteArray(16384, 'c'), 200) << QStringList{}
            << QStringLiteral("markup or text longer than 64 KB");
        QTest::newRow("an attribute that never ends")
            << endless(open + "<item a=\"", QByteArray(16384, 'v'), 200) << QStringList{}
            << QStringLiteral("markup or text longer than 64 KB");
        QTest::newRow("nesting deeper than any answer")
            << endless(open, QByteArray("<x>"), 100) << QStringList{} << QStringLiteral("deeper");
        QTest::newRow("more rows than ROWCOUNT")
            << QList<QByteArray>{response("rfc", kFields + kData)} << QStringList{"ROWCOUNT=2"}
            << QStringLiteral("more rows than the 2 asked for");
        QTest::newRow("as many rows as ROWCOUNT")
            << QList<QByteArray>{response("rfc", kFields + kData)} << QStringList{"ROWCOUNT=3"}
            << QString();
        QTest::newRow("rows although NO_DATA")
            << QList<QByteArray>{response("rfc", kFields + kData)} << QStringList{"NO_DATA=X"}
            << QStringLiteral("none were asked for");
        QTest::newRow("more FIELDS rows than any table has fields")
            << endless(response("rfc", "").left(response("rfc", "").indexOf("</rfc:")) + "<FIELDS>",
                       fieldItem("F", "000000", "000001", "C", "x").repeated(1000), 11)
            << QStringList{} << QStringLiteral("more than 10000 rows of FIELDS");
    }

    void boundedWhateverComes()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QStringList, exports);
        QFETCH(QString, problem);
        QList<QPair<QString, QString>> values;
        for (const QString& entry : exports)
            values.append({entry.section(u'=', 0, 0), entry.section(u'=', 1)});
        const Outcome outcome = read(pieces, true, values);
        if (problem.isEmpty()) {
            QCOMPARE(stateName(outcome.state), "Done");
            return;
        }
        QCOMPARE(stateName(outcome.state), "NotSoap");
        QVERIFY2(outcome.problem.contains(problem), qPrintable(outcome.problem));
    }

    void decodesWorkAreas_data()
    {
        QTest::addColumn<QByteArray>("wa");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimal entity") << QByteArray("A&#38;B") << QStringLiteral("A&B");
        QTest::newRow("hex entities") << QByteArray("&#x3C;tag&#x3e;") << QStringLiteral("<tag>");
        QTest::newRow("named entities")
            << QByteArray("&amp;&lt;&gt;&quot;&apos;") << QStringLiteral("&<>\"'");
        QTest::newRow("non-ASCII entities")
            << QByteArray("Finan&#231;as &#x20AC;") << QStringLiteral("Finanças €");
        QTest::newRow("UTF-8") << QByteArray("S\xc3\xa3o Paulo \xe2\x80\x93 \xe6\x97\xa5")
                               << QStringLiteral("São Paulo – 日");
        QTest::newRow("leading blanks") << QByteArray("   0001") << QStringLiteral("   0001");
        QTest::newRow("inner blanks")
            << QByteArray("100  |   x |  y") << QStringLiteral("100  |   x |  y");
        QTest::newRow("blanks only") << QByteArray("     ") << QStringLiteral("     ");
        QTest::newRow("blanks around an entity")
            << QByteArray("  &amp;  ") << QStringLiteral("  &  ");
        QTest::newRow("carriage return entity") << QByteArray("a&#13;b") << QStringLiteral("a\rb");
        QTest::newRow("CDATA") << QByteArray("<![CDATA[a<b & c]]>") << QStringLiteral("a<b & c");
        QTest::newRow("empty") << QByteArray("") << QString();
    }

    void decodesWorkAreas()
    {
        QFETCH(QByteArray, wa);
        QFETCH(QString, expected);
        const QByteArray answer = response("rfc", kFields + dataTable({"first", wa, "last"}));
        const QStringList rows{QStringLiteral("first"), expected, QStringLiteral("last")};
        const Outcome whole = read({answer});
        QCOMPARE(stateName(whole.state), "Done");
        QCOMPARE(whole.data, rows);
        QCOMPARE(read(bytewise(answer)).data, rows);
    }

    void faultNamesTheException_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("exception");
        for (const char* name :
             {"TABLE_NOT_AVAILABLE", "TABLE_WITHOUT_DATA", "OPTION_NOT_VALID", "FIELD_NOT_VALID",
              "NOT_AUTHORIZED", "DATA_BUFFER_EXCEEDED", "NO_AUTH"}) {
            const QByteArray n(name);
            const QString exception = QString::fromLatin1(name);
            QTest::addRow("%s in both", name)
                << fault("<faultstring>" + n + "</faultstring>", detailName(n)) << exception;
            QTest::addRow("%s in faultstring only", name)
                << fault("<faultstring>" + n + "</faultstring>", "") << exception;
            QTest::addRow("%s in detail, faultstring empty", name)
                << fault("<faultstring></faultstring>", detailName(n)) << exception;
            QTest::addRow("%s in detail, faultstring blank", name)
                << fault("<faultstring>  </faultstring>", detailName(n)) << exception;
        }
        QTest::newRow("faultstring before detail")
            << fault("<faultstring>NOT_AUTHORIZED</faultstring>", detailName("NO_AUTH"))
            << QStringLiteral("NOT_AUTHORIZED");
        QTest::newRow("blanks around the name")
            << fault("<faultstring>\n  TABLE_NOT_AVAILABLE \n</faultstring>", "")
            << QStringLiteral("TABLE_NOT_AVAILABLE");
        QTest::newRow("Name deep in the detail")
            << fault("<faultstring/>",
                     "<detail><a><b><Name>OPTION_NOT_VALID</Name></b></a></detail>")
            << QStringLiteral("OPTION_NOT_VALID");
        QTest::newRow("other prefix")
            << QByteArray("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                          "<soap:Body><soap:Fault><faultcode>soap:Server</faultcode>"
                          "<faultstring>FIELD_NOT_VALID</faultstring></soap:Fault></soap:Body>"
                          "</soap:Envelope>")
            << QStringLiteral("FIELD_NOT_VALID");
    }

    void faultNamesTheException()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, exception);
        const Outcome outcome = read({answer});
        QCOMPARE(stateName(outcome.state), "Fault");
        QCOMPARE(outcome.fault, exception);
        QVERIFY(outcome.data.isEmpty());
    }

    void notSoap_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("problem"); // a part of the problem's text, when it matters
        QTest::newRow("HTML login page")
            << QByteArray("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Logon"
                          "</title></head><body><form method=\"post\"><input name=\"sap-user\">"
                          "<input type=\"password\" name=\"sap-password\"></form></body></html>")
            << QString();
        QTest::newRow("proxy error text")
            << QByteArray("502 Bad Gateway\r\nThe proxy server received an invalid response "
                          "from an upstream server.\r\n")
            << QString();
        QTest::newRow("empty body") << QByteArray() << QString();
        QTest::newRow("JSON") << QByteArray("{\"error\": \"unavailable\"}") << QString();
        QTest::newRow("XML that is not SOAP")
            << QByteArray("<?xml version=\"1.0\"?><error><code>503</code></error>") << QString();

        const QByteArray whole = response("rfc", kFields + kData);
        const QList<std::pair<const char*, QByteArray>> cuts = {
            {"after the first row", "</item>"},
            {"inside a work area", "Auslieferungs"},
            {"inside a tag", "<WA"},
            {"inside an entity", "&#82"},
            {"inside a UTF-8 character", "Finan\xc3"},
            {"before the response ends", "</DATA>"},
        };
        for (const auto& [where, marker] : cuts) {
            const qsizetype at = whole.indexOf(marker, whole.indexOf("<DATA>"));
            QTest::addRow("cut %s", where)
                << whole.left(at + marker.size()) << QStringLiteral("ended early");
        }
    }

    void notSoap()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, problem);
        for (const auto& pieces : {QList<QByteArray>{answer}, bytewise(answer)}) {
            const Outcome outcome = read(pieces);
            QCOMPARE(stateName(outcome.state), "NotSoap");
            QVERIFY(!outcome.problem.isEmpty());
            QVERIFY2(outcome.problem.contains(problem), qPrintable(outcome.problem));
        }
    }

    void sameResultWhateverTheChunks_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QStringList rows;
        QList<QByteArray> was;
        for (int i = 0; i < 200; ++i) {
            was.append(QByteArray::number(i).rightJustified(4, '0') +
                       "|  \xc3\xa7\xe2\x82\xac\xf0\x9f\x98\x80 &amp;&#38;&#x3C; x  y");
        }
        QTest::newRow("rows") << response("urn", dataTable(was) + kFields);
        QTest::newRow("fault") << fault("<faultstring/>", detailName("NOT_AUTHORIZED"));
        QTest::newRow("cut") << response("rfc", kFields + kData).left(600);
    }

    void sameResultWhateverTheChunks()
    {
        QFETCH(QByteArray, answer);
        const Outcome whole = read({answer});
        QVERIFY(whole.state != SoapResponseReader::State::Reading);
        QList<QList<QByteArray>> ways{bytewise(answer)};
        for (quint32 seed = 1; seed <= 8; ++seed)
            ways.append(randomly(answer, seed, 97));
        for (const QList<QByteArray>& pieces : ways) {
            const Outcome outcome = read(pieces);
            QCOMPARE(stateName(outcome.state), stateName(whole.state));
            QCOMPARE(outcome.fault, whole.fault);
            QCOMPARE(outcome.fields, whole.fields);
            QCOMPARE(outcome.data, whole.data);
        }
    }

    // Ten megabytes of DATA reach the sink row by row; the table itself keeps none of them.
    void largeAnswerStreamsToTheSink()
    {
        const QByteArray filler(480, 'x');
        const QByteArray sample = "<item><WA>00000000 &amp; " + filler + "</WA></item>";
        const int rows = (10 << 20) / static_cast<int>(sample.size()) + 1;
        QByteArray tables = kFields + "<DATA>";
        tables.reserve(11 << 20);
        for (int i = 0; i < rows; ++i)
            tables += "<item><WA>" + QByteArray::number(i).rightJustified(8, '0') + " &amp; " +
                      filler + "</WA></item>";
        const QByteArray answer = response("rfc", tables + "</DATA>");
        QVERIFY(answer.size() > (10 << 20));

        RfcFunction function(QStringLiteral("RFC_READ_TABLE"), nullptr);
        function.table(QStringLiteral("FIELDS"));
        int delivered = 0;
        int misplaced = 0;
        const QString tail = QStringLiteral(" & ") + QString::fromLatin1(filler);
        function.table(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row& r) {
            if (r.at(0) != QString::number(delivered).rightJustified(8, u'0') + tail)
                ++misplaced;
            ++delivered;
        });
        SoapResponseReader reader(function);
        for (qsizetype at = 0; at < answer.size(); at += 65536)
            reader.feed(answer.mid(at, 65536));
        reader.finish();
        QCOMPARE(stateName(reader.state()), "Done");
        QCOMPARE(delivered, rows);
        QCOMPARE(misplaced, 0);
        QCOMPARE(function.table(QStringLiteral("DATA")).rowCount(), 0);
        QCOMPARE(function.table(QStringLiteral("FIELDS")).rowCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestSoapResponse)
#include "tst_soapresponse.moc"
