// SAP's dates, times and packed numbers as the numbers a workbook's cells hold: valid values
// convert, anything else (an empty date, an impossible day, an overflow's "*") is refused so
// that the cell keeps the text.
#include "query/export/SapValues.h"

#include <QTest>

class TestSapValues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workbookCellsTakeTheirType_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("converts"); // false: the cell keeps the text
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals"); // of a packed number
        QTest::newRow("a date") << "D"
                                << "20240229" << true << 45351.0 << 0;
        QTest::newRow("the first of 1900") << "D"
                                           << "19000101" << true << 2.0 << 0;
        QTest::newRow("no date") << "D"
                                 << "00000000" << false << 0.0 << 0;
        QTest::newRow("an impossible date") << "D"
                                            << "20230229" << false << 0.0 << 0;
        QTest::newRow("a date before 1900") << "D"
                                            << "18991231" << false << 0.0 << 0;
        QTest::newRow("a date with blanks around") << "D"
                                                   << " 20240101 " << true << 45292.0 << 0;
        QTest::newRow("a date too short") << "D"
                                          << "2024011" << false << 0.0 << 0;
        QTest::newRow("noon") << "T"
                              << "120000" << true << 0.5 << 0;
        QTest::newRow("midnight") << "T"
                                  << "000000" << true << 0.0 << 0;
        QTest::newRow("an impossible time") << "T"
                                            << "246000" << false << 0.0 << 0;
        QTest::newRow("a time with a letter") << "T"
                                              << "12a000" << false << 0.0 << 0;
        QTest::newRow("packed, sign last") << "P"
                                           << "   1234.50-" << true << -1234.5 << 2;
        QTest::newRow("packed, sign first") << "P"
                                            << "-7.125" << true << -7.125 << 3;
        QTest::newRow("packed, whole") << "P"
                                       << "  42" << true << 42.0 << 0;
        QTest::newRow("packed overflow") << "P"
                                         << "*.5" << false << 0.0 << 0;
        QTest::newRow("packed, only a sign") << "P"
                                             << "  -" << false << 0.0 << 0;
        QTest::newRow("packed, blank") << "P"
                                       << "   " << false << 0.0 << 0;
    }

    void workbookCellsTakeTheirType()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(bool, converts);
        QFETCH(double, value);
        QFETCH(int, decimals);
        if (kind == u"D") {
            const double day = SapValues::serialDate(text);
            QCOMPARE(day >= 0, converts);
            if (converts)
                QCOMPARE(day, value);
        } else if (kind == u"T") {
            const double time = SapValues::serialTime(text);
            QCOMPARE(time >= 0, converts);
            if (converts)
                QCOMPARE(time, value);
        } else {
            double number = 0;
            int places = -1;
            QCOMPARE(SapValues::packedNumber(text, &number, &places), converts);
            if (converts) {
                QCOMPARE(number, value);
                QCOMPARE(places, decimals);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSapValues)
#include "tst_sapvalues.moc"
