// Text as XML: the markup characters, the carriage return and the characters XML 1.0 cannot
// carry, in each form the SOAP client, the demo system and the workbook ask for.
#include "shell/XmlText.h"

#include <QTest>

namespace
{
// A caller's own form for digits, to see that it is asked first and only where it answers.
bool digitsInBrackets(QStringView text, qsizetype at, QString& out)
{
    if (!text[at].isDigit())
        return false;
    out += u'[';
    out += text[at];
    out += u']';
    return true;
}

XmlText::Options optionsNamed(const QString& name)
{
    if (name == u"abap")
        return {XmlText::Ampersand::Numeric, false, false};
    if (name == u"cell")
        return {XmlText::Ampersand::Named, true, false, &digitsInBrackets};
    return {};
}
} // namespace

class TestXmlText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void escapesTextForXml_data()
    {
        QTest::addColumn<QString>("options"); // "plain", "abap" or "cell"
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("xml");
        QTest::newRow("plain text unchanged") << "plain"
                                              << "KUNNR = '0000000001'"
                                              << "KUNNR = &apos;0000000001&apos;";
        QTest::newRow("markup") << "plain"
                                << "a&b <c> \"d\" 'e'"
                                << "a&amp;b &lt;c&gt; &quot;d&quot; &apos;e&apos;";
        QTest::newRow("an escape is escaped again") << "plain"
                                                    << "&amp;"
                                                    << "&amp;amp;";
        QTest::newRow("carriage return as a reference") << "plain"
                                                        << "a\r\nb"
                                                        << "a&#13;\nb";
        QTest::newRow("tab and line feed kept") << "plain"
                                                << "a\tb\nc"
                                                << "a\tb\nc";
        QTest::newRow("control characters XML cannot carry")
            << "plain" << QStringLiteral("a\x01\x1b\x1f") + QChar(0) + u'b' << "a????b";
        QTest::newRow("non-ASCII text kept") << "plain"
                                             << "São Paulo – Ação € 日本 😀"
                                             << "São Paulo – Ação € 日本 😀";
        QTest::newRow("empty") << "plain"
                               << ""
                               << "";
        QTest::newRow("the demo's ampersand, quotes as they are")
            << "abap"
            << "Vendas & Finanças \"x\" 'y' <z>"
            << "Vendas &#38; Finanças \"x\" 'y' &lt;z&gt;";
        QTest::newRow("the demo's carriage return and controls") << "abap"
                                                                 << "a\r\x02"
                                                                 << "a&#13;?";
        QTest::newRow("a caller's own form first") << "cell"
                                                   << "a1&'2\"\r"
                                                   << "a[1]&amp;'[2]&quot;&#13;";
    }

    void escapesTextForXml()
    {
        QFETCH(QString, options);
        QFETCH(QString, text);
        QFETCH(QString, xml);
        QCOMPARE(XmlText::escaped(text, optionsNamed(options)), xml);
    }
};

QTEST_GUILESS_MAIN(TestXmlText)
#include "tst_xmltext.moc"
