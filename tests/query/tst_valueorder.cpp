// The order of a field's values by its type: amounts by value with a trailing minus, texts by
// text, empty values first.
#include "query/read/ValueOrder.h"

#include <QTest>

class TestValueOrder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valuesCompareByTheirType_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("order"); // -1: a first
        QTest::newRow("a negative amount before a positive one") << "362.86-"
                                                                 << "363.36"
                                                                 << "P" << -1;
        QTest::newRow("amounts by value, not by text") << "1146.21"
                                                       << "1231.97-"
                                                       << "P" << 1;
        QTest::newRow("a larger debit first") << "1490.21-"
                                              << "1231.97-"
                                              << "P" << -1;
        QTest::newRow("integers with blanks") << "   9"
                                              << "  10"
                                              << "I" << -1;
        QTest::newRow("a leading minus") << "-5"
                                         << "3"
                                         << "I" << -1;
        QTest::newRow("floats in their notation") << "1.5000000000000000E+03"
                                                  << "2.0000000000000000E+02"
                                                  << "F" << 1;
        QTest::newRow("digits of N") << "0000000009"
                                     << "0000000010"
                                     << "N" << -1;
        QTest::newRow("equal amounts") << "10.00"
                                       << "10.0"
                                       << "P" << 0;
        QTest::newRow("an empty value first") << ""
                                              << "0.00-"
                                              << "P" << -1;
        QTest::newRow("an empty text first") << "  "
                                             << "A"
                                             << "C" << -1;
        QTest::newRow("stars after every number") << "******"
                                                  << "99999.99"
                                                  << "P" << 1;
        QTest::newRow("texts by text") << "B"
                                       << "a"
                                       << "C" << -1;
        QTest::newRow("texts are not numbers") << "10"
                                               << "9"
                                               << "C" << -1;
        QTest::newRow("dates by their digits") << "20240131"
                                               << "20240201"
                                               << "D" << -1;
        QTest::newRow("times by their digits") << "235959"
                                               << "000000"
                                               << "T" << 1;
    }
    void valuesCompareByTheirType()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, type);
        QFETCH(int, order);
        QCOMPARE(ValueOrder::compare(a, b, type.front()), order);
        QCOMPARE(ValueOrder::compare(b, a, type.front()), -order);
    }
};

QTEST_GUILESS_MAIN(TestValueOrder)
#include "tst_valueorder.moc"
