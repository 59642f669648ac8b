#include "shell/EightBitText.h"

#include <QStringList>
#include <QTest>

class TestEightBitText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void encodesTheWindowsCodePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("plain") << "SAT           3 " << QByteArray("SAT           3 ");
        QTest::newRow("accents") << "Relatórios\\Março.csv"
                                 << QByteArray("Relat\xf3rios\\Mar\xe7o.csv");
        QTest::newRow("tilde and cedilla") << "Opções"
                                           << QByteArray("Op\xe7\xf5"
                                                         "es");
        QTest::newRow("capitals") << "ÁÉÍÓÚÇÃÕ" << QByteArray("\xc1\xc9\xcd\xd3\xda\xc7\xc3\xd5");
        // Where windows-1252 differs from Latin-1.
        QTest::newRow("euro") << "5 €" << QByteArray("5 \x80");
        QTest::newRow("dashes and quotes") << "–—“”" << QByteArray("\x96\x97\x93\x94");
        QTest::newRow("empty") << "" << QByteArray();
    }
    void encodesTheWindowsCodePage()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(EightBitText::encode(text), bytes);
        QCOMPARE(EightBitText::decode(bytes), text);
    }

    void textTheCodePageCannotHoldFallsBackToMarkedUtf8_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("greek") << "Ωμέγα";
        QTest::newRow("cyrillic in a path") << "C:\\Отчёт.csv";
        QTest::newRow("cjk") << "表";
        QTest::newRow("outside the basic plane") << "a\U0001F600b";
        QTest::newRow("accent beside a foreign letter") << "Março Ω";
    }
    void textTheCodePageCannotHoldFallsBackToMarkedUtf8()
    {
        QFETCH(QString, text);
        const QByteArray bytes = EightBitText::encode(text);
        QCOMPARE(bytes, QByteArray("\xEF\xBB\xBF") + text.toUtf8());
        QCOMPARE(EightBitText::decode(bytes), text);
    }

    // A code-page text that happens to start with the three characters whose bytes form the
    // mark must not be read back as UTF-8.
    void codePageTextLookingLikeTheMarkRoundTrips()
    {
        const QString text = QStringLiteral("ï»¿abc");
        QCOMPARE(EightBitText::decode(EightBitText::encode(text)), text);
    }

    void everyCodePageByteRoundTrips()
    {
        for (int b = 1; b < 256; ++b) {
            const QByteArray byte(1, char(b));
            QCOMPARE(EightBitText::encode(EightBitText::decode(byte)), byte);
        }
    }

    void decodesUnmarkedBytesAsCodePageEvenWhenTheyAreValidUtf8()
    {
        // "Ã§" in windows-1252 is also the UTF-8 form of "ç": without the mark it stays two
        // letters.
        QCOMPARE(EightBitText::decode(QByteArray("Mar\xc3\xa7o")), QStringLiteral("MarÃ§o"));
    }

    void splitsLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf") << "a\r\nb\r\nc" << QStringList{"a", "b", "c"};
        QTest::newRow("lf") << "a\nb\nc" << QStringList{"a", "b", "c"};
        QTest::newRow("cr") << "a\rb\rc" << QStringList{"a", "b", "c"};
        QTest::newRow("mixed") << "a\r\nb\nc\rd" << QStringList{"a", "b", "c", "d"};
        QTest::newRow("trailing crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
        QTest::newRow("trailing cr") << "a\r" << QStringList{"a"};
        QTest::newRow("empty line kept in the middle") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
        QTest::newRow("lf cr is two line ends") << "a\n\rb" << QStringList{"a", "", "b"};
        QTest::newRow("cr cr lf") << "a\r\r\nb" << QStringList{"a", "", "b"};
        QTest::newRow("leading empty line") << "\r\na" << QStringList{"", "a"};
        QTest::newRow("only a line end") << "\r\n" << QStringList{""};
        QTest::newRow("two empty lines") << "\n\n" << QStringList{"", ""};
        QTest::newRow("no line end") << "only" << QStringList{"only"};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("blanks kept") << " a \r\n  " << QStringList{" a ", "  "};
    }
    void splitsLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(EightBitText::splitLines(text), lines);
    }
};

QTEST_GUILESS_MAIN(TestEightBitText)
#include "tst_eightbittext.moc"
