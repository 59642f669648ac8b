#include "sap/RfcFunction.h"
#include "sap/soap/SoapEnvelope.h"

#include <QFile>
#include <QStringDecoder>
#include <QTest>
#include <QXmlStreamReader>

namespace
{
// What a caller puts into RFC_READ_TABLE before the call.
struct Call {
    QList<QPair<QString, QString>> exports;
    QStringList fields;
    QStringList options;
    bool touchTables = true; // false: the caller never asks for a table
};

RfcFunction build(const Call& call)
{
    RfcFunction function(QStringLiteral("RFC_READ_TABLE"), nullptr);
    for (const auto& [name, value] : call.exports)
        function.setImport(name, value);
    if (call.touchTables) {
        RfcTable& fields = function.table(QStringLiteral("FIELDS"));
        for (const QString& name : call.fields) {
            fields.appendRow();
            fields.setValue(fields.rowCount(), QStringLiteral("FIELDNAME"), name);
        }
        RfcTable& options = function.table(QStringLiteral("OPTIONS"));
        for (const QString& line : call.options) {
            options.appendRow();
            options.setValue(options.rowCount(), QStringLiteral("TEXT"), line);
        }
        function.table(QStringLiteral("DATA"));
    }
    return function;
}

QString visible(QString text)
{
    return text.replace(u'\t', QStringLiteral("\\t"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\r', QStringLiteral("\\r"));
}

// The document as sorted lines "path=text", one per leaf element, with namespaces spelled
// out. The order of parameters, tables and an item's columns carries no meaning for the
// service, so sorting loses nothing; the items of a table are numbered, so their order counts.
void flatten(QXmlStreamReader& xml, const QString& parent, QStringList& lines, int item = 0)
{
    QString path = parent + QStringLiteral("/{") + xml.namespaceUri().toString() + u'}' +
                   xml.name().toString();
    if (item > 0)
        path += QStringLiteral("#%1").arg(item);
    QString text;
    bool leaf = true;
    int items = 0;
    while (xml.readNext() != QXmlStreamReader::EndElement && !xml.hasError()) {
        if (xml.isStartElement()) {
            leaf = false;
            flatten(xml, path, lines, xml.name() == u"item" ? ++items : 0);
        } else if (xml.isCharacters()) {
            text += xml.text();
        }
    }
    if (leaf)
        lines.append(path + QStringLiteral("=\"") + visible(text) + u'"');
    else if (!text.trimmed().isEmpty())
        lines.append(path + QStringLiteral(" mixed with text: ") + visible(text));
}

QStringList canonical(const QByteArray& document)
{
    QXmlStreamReader xml(document);
    QStringList lines;
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() == QXmlStreamReader::StartElement)
            flatten(xml, QString(), lines);
    }
    if (xml.hasError())
        return {QStringLiteral("not well-formed: ") + xml.errorString()};
    lines.sort();
    return lines;
}

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(ZORV_TEST_DATA "/soap/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text of every <TEXT> element of the request's OPTIONS, in order.
QStringList optionLines(const QByteArray& request, QString* error)
{
    QXmlStreamReader xml(request);
    QStringList lines;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"TEXT")
            lines.append(xml.readElementText());
    }
    if (xml.hasError())
        *error = xml.errorString();
    return lines;
}

const QString k72 =
    QStringLiteral("NAME1 = 'A&B <C> \"D\" O''E' OR NAME2 LIKE '%''%' OR STRAS <> 'x & y >= z'");
} // namespace

Q_DECLARE_METATYPE(Call)

class TestSoapEnvelope : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matchesTheHandWrittenRequest_data()
    {
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<Call>("call");

        const auto p = [](const char* name, const QString& value) {
            return QPair<QString, QString>(QString::fromLatin1(name), value);
        };
        QTest::newRow("the reference example")
            << fixture("reference-example.xml")
            << Call{{p("QUERY_TABLE", "T000"), p("DELIMITER", "|"), p("ROWCOUNT", "5")},
                    {"MANDT"},
                    {"MANDT = '250'"}};
        QTest::newRow("tables never touched, empty parameters left out")
            << fixture("empty-tables.xml")
            << Call{{p("QUERY_TABLE", "T001"), p("NO_DATA", "X"), p("ROWCOUNT", ""),
                     p("DELIMITER", ""), p("ROWSKIPS", "")},
                    {},
                    {},
                    false};
        QTest::newRow("every parameter, several rows")
            << fixture("every-parameter.xml")
            << Call{{p("ROWCOUNT", "250"), p("QUERY_TABLE", "VBAP"), p("NO_DATA", "X"),
                     p("ROWSKIPS", "1000"), p("DELIMITER", ";")},
                    {"VBELN", "POSNR", "NETWR"},
                    {"NETWR > 1000", "AND WERKS = '1000'"}};
        QTest::newRow("a blank delimiter and blanks around an option")
            << fixture("blank-delimiter.xml")
            << Call{{p("QUERY_TABLE", "KNA1"), p("DELIMITER", " "), p("ROWCOUNT", "0")},
                    {"KUNNR"},
                    {"   LAND1 = 'BR'   "}};
        QTest::newRow("markup characters, a 72-character line, non-ASCII text")
            << fixture("escaped-values.xml")
            << Call{{p("QUERY_TABLE", "KNA1"), p("DELIMITER", "&")},
                    {"NAME1"},
                    {k72, QStringLiteral("OR ORT01 = 'São Paulo – Ação €'"),
                     QStringLiteral("OR NAME1 = 'Müller & Söhne ß 日本'")}};
        QTest::newRow("tabs and line ends survive the receiver's parser")
            << fixture("line-ends-and-tabs.xml")
            << Call{{p("QUERY_TABLE", "KNA1"), p("DELIMITER", "\t")},
                    {},
                    {"NAME1 = 'tab\tinside'", "OR NAME1 = 'line\nfeed'",
                     "OR NAME1 = 'carriage\rreturn\r\npair'"}};
    }

    void matchesTheHandWrittenRequest()
    {
        QFETCH(QByteArray, expected);
        QFETCH(Call, call);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(k72.size(), 72);
        const QByteArray request = SoapEnvelope::request(build(call));
        QVERIFY2(request.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>"),
                 request.left(60).constData());
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8(request);
        QVERIFY(!utf8.hasError() && !decoded.isEmpty());
        QCOMPARE(canonical(request), canonical(expected));
    }

    void nonAsciiTextTravelsAsUtf8()
    {
        Call call{{{QStringLiteral("QUERY_TABLE"), QStringLiteral("KNA1")}},
                  {},
                  {QStringLiteral("ORT01 = 'São Paulo – €'")}};
        const QByteArray request = SoapEnvelope::request(build(call));
        QVERIFY2(request.contains("S\xc3\xa3o Paulo \xe2\x80\x93 \xe2\x82\xac"),
                 request.constData());
    }

    // XML 1.0 cannot carry most control characters, not even as references: whatever the
    // request makes of them, the system's parser must still accept it.
    void controlCharactersKeepTheRequestWellFormed_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("start of heading") << QStringLiteral("A\x01Z");
        QTest::newRow("escape") << QStringLiteral("A\x1b[0mZ");
        QTest::newRow("vertical tab and form feed") << QStringLiteral("A\x0b\x0cZ");
        QTest::newRow("unit separator") << QStringLiteral("A\x1fZ");
        QTest::newRow("nul") << (QStringLiteral("A") + QChar(0) + QStringLiteral("Z"));
    }

    void controlCharactersKeepTheRequestWellFormed()
    {
        QFETCH(QString, value);
        const QString line = QStringLiteral("NAME1 = '") + value + u'\'';
        Call call{{{QStringLiteral("QUERY_TABLE"), QStringLiteral("KNA1")}}, {}, {line}};
        const QByteArray request = SoapEnvelope::request(build(call));
        QString error;
        const QStringList lines = optionLines(request, &error);
        QVERIFY2(error.isEmpty(),
                 qPrintable(error + QStringLiteral(" in ") +
                            QString::fromUtf8(request.mid(request.indexOf("<OPTIONS>"), 60))));
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.front().startsWith(QStringLiteral("NAME1 = 'A")) &&
                     lines.front().endsWith(QStringLiteral("Z'")),
                 qPrintable(lines.front()));
    }
};

QTEST_GUILESS_MAIN(TestSoapEnvelope)
#include "tst_soapenvelope.moc"
