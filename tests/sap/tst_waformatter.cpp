#include "sap/demo/WaFormatter.h"

#include <QTest>

class TestWaFormatter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void packed_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("expected");

        QTest::newRow("positive, right-aligned, blank sign")
            << 1234.56 << 13 << 2 << "     1234.56 ";
        QTest::newRow("negative, sign last") << -1234.56 << 13 << 2 << "     1234.56-";
        QTest::newRow("zero") << 0.0 << 6 << 2 << " 0.00 ";
        QTest::newRow("no decimals") << 42.0 << 5 << 0 << "  42 ";
        QTest::newRow("five decimals") << 1.23456 << 9 << 5 << " 1.23456 ";
        QTest::newRow("decimals filled with zeros") << 1.5 << 13 << 3 << "       1.500 ";
        QTest::newRow("exactly fits with its sign") << -12.34 << 6 << 2 << "12.34-";
        QTest::newRow("positive gives up its sign position") << 123.45 << 6 << 2 << "123.45";
        QTest::newRow("positive overflow cut from the left") << 99.0 << 3 << 1 << "*.0";
        QTest::newRow("positive overflow, several digits lost") << 123456.7 << 5 << 1 << "*56.7";
        QTest::newRow("negative overflow keeps its sign") << -123.45 << 6 << 2 << "*3.45-";
        QTest::newRow("negative overflow of DEC 3,1") << -99.9 << 3 << 1 << "*9-";
        QTest::newRow("one place, positive") << 5.0 << 1 << 0 << "5";
        QTest::newRow("one place, negative") << -5.0 << 1 << 0 << "*";
        QTest::newRow("tiny negative rounds to an unsigned zero") << -0.004 << 6 << 2 << " 0.00 ";
        QTest::newRow("negative that rounds to the last place keeps its sign")
            << -0.001 << 13 << 3 << "       0.001-";
        QTest::newRow("rounded to the decimals") << 2.499 << 5 << 1 << " 2.5 ";
    }

    void packed()
    {
        QFETCH(double, value);
        QFETCH(int, length);
        QFETCH(int, decimals);
        QFETCH(QString, expected);
        QCOMPARE(WaFormatter::packed(value, length, decimals), expected);
        QString line = QStringLiteral("ab|");
        WaFormatter::appendPacked(line, value, length, decimals);
        QCOMPARE(line, QStringLiteral("ab|") + expected);
    }

    void text_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("expected");

        QTest::newRow("padded with blanks") << "abc" << 5 << "abc  ";
        QTest::newRow("cut to the length") << "abcdef" << 3 << "abc";
        QTest::newRow("empty") << "" << 2 << "  ";
        QTest::newRow("leading blanks stay") << "  x" << 4 << "  x ";
        QTest::newRow("counts characters, not bytes") << "Ação ß" << 7 << "Ação ß ";
        QTest::newRow("date") << "00000000" << 8 << "00000000";
    }

    void text()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QFETCH(QString, expected);
        QString line = QStringLiteral("|");
        WaFormatter::appendText(line, text, length);
        QCOMPARE(line, u'|' + expected);
    }

    void digits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("expected");

        QTest::newRow("leading zeros") << "42" << 6 << "000042";
        QTest::newRow("already full") << "000042" << 6 << "000042";
        QTest::newRow("empty is all zeros") << "" << 3 << "000";
    }

    void digits()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QFETCH(QString, expected);
        QString line = QStringLiteral("x");
        WaFormatter::appendDigits(line, text, length);
        QCOMPARE(line, u'x' + expected);
    }

    void hex_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("expected");

        QTest::newRow("upper case") << QByteArray("\x01\xab", 2) << 4 << "01AB";
        QTest::newRow("cut to the length") << QByteArray("\xde\xad\xbe\xef", 4) << 4 << "DEAD";
        QTest::newRow("padded with blanks") << QByteArray("\xff", 1) << 4 << "FF  ";
        QTest::newRow("zero byte") << QByteArray("\x00", 1) << 2 << "00";
        QTest::newRow("no bytes") << QByteArray() << 2 << "  ";
    }

    void hex()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, length);
        QFETCH(QString, expected);
        QString line;
        WaFormatter::appendHex(line, bytes, length);
        QCOMPARE(line, expected);
    }
};

QTEST_GUILESS_MAIN(TestWaFormatter)
#include "tst_waformatter.moc"
