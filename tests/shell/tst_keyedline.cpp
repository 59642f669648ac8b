#include "shell/KeyedLine.h"

#include <QTest>

class TestKeyedLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Writing

    void keyFieldIsPaddedToThirteen_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("short") << "SAT"
                               << "SAT          ";
        QTest::newRow("exactly thirteen") << "abcdefghijklm"
                                          << "abcdefghijklm";
        QTest::newRow("empty") << ""
                               << "             ";
        QTest::newRow("too long is cut") << "abcdefghijklmnop"
                                         << "abcdefghijklm";
    }
    void keyFieldIsPaddedToThirteen()
    {
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(KeyedLine::keyField(key), expected);
        QCOMPARE(KeyedLine::keyField(key).size(), KeyedLine::kKeyWidth);
    }

    void numberedKeysHaveThreeDigitsAndABlank_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1") << 1 << "ssAddTab 001 ";
        QTest::newRow("7") << 7 << "ssAddTab 007 ";
        QTest::newRow("999") << 999 << "ssAddTab 999 ";
    }
    void numberedKeysHaveThreeDigitsAndABlank()
    {
        QFETCH(int, number);
        QFETCH(QString, expected);
        QCOMPARE(KeyedLine::numberedKey(QStringLiteral("ssAddTab "), number), expected);
    }

    void integersHaveSignPlaceAndTrailingBlank_data()
    {
        QTest::addColumn<qlonglong>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("positive") << 1275LL << " 1275 ";
        QTest::newRow("zero") << 0LL << " 0 ";
        QTest::newRow("negative") << -5LL << "-5 ";
        QTest::newRow("16-bit min") << -32768LL << "-32768 ";
        QTest::newRow("32-bit min") << -2147483648LL << "-2147483648 ";
    }
    void integersHaveSignPlaceAndTrailingBlank()
    {
        QFETCH(qlonglong, value);
        QFETCH(QString, expected);
        QCOMPARE(KeyedLine::integerText(value), expected);
    }

    void booleansAreEnglishWords()
    {
        QCOMPARE(KeyedLine::booleanText(true), QStringLiteral("True"));
        QCOMPARE(KeyedLine::booleanText(false), QStringLiteral("False"));
    }

    // Reading

    void parseSplitsAtTheFourteenthCharacter_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("string") << "TableFile    C:\\a b.csv"
                                << "TableFile"
                                << "C:\\a b.csv";
        QTest::newRow("number keeps its blanks") << "fvubTop       1275 "
                                                 << "fvubTop"
                                                 << " 1275 ";
        QTest::newRow("numbered key") << "ssAddTab 007 Root\\Sales"
                                      << "ssAddTab 007"
                                      << "Root\\Sales";
        QTest::newRow("value with leading blanks") << "sSapLogon      x"
                                                   << "sSapLogon"
                                                   << "  x";
        QTest::newRow("empty value") << "FileZorv     "
                                     << "FileZorv"
                                     << "";
        QTest::newRow("short line") << "SAT"
                                    << "SAT"
                                    << "";
        QTest::newRow("short line with blanks") << "SAT  "
                                                << "SAT"
                                                << "";
        QTest::newRow("empty line") << ""
                                    << ""
                                    << "";
    }
    void parseSplitsAtTheFourteenthCharacter()
    {
        QFETCH(QString, line);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const KeyedLine::Parsed parsed = KeyedLine::parse(line);
        QCOMPARE(parsed.key, key);
        QCOMPARE(parsed.value, value);
    }

    void writtenLinesParseBack()
    {
        const QString line = KeyedLine::numberedKey(QStringLiteral("ssAddTab "), 12) +
                             QStringLiteral("Root\\Finance");
        const KeyedLine::Parsed parsed = KeyedLine::parse(line);
        QCOMPARE(parsed.key, QStringLiteral("ssAddTab 012"));
        QCOMPARE(parsed.value, QStringLiteral("Root\\Finance"));
        const auto number =
            KeyedLine::toInteger(KeyedLine::parse(KeyedLine::keyField(QStringLiteral("SAT")) +
                                                  KeyedLine::integerText(-123))
                                     .value);
        QCOMPARE(number.value, std::optional<std::int16_t>(-123));
    }

    // Conversions

    void integerConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("expected");
        QTest::newRow("written form") << " 1275 " << true << 1275;
        QTest::newRow("negative") << "-60 " << true << -60;
        QTest::newRow("plus sign") << "+5" << true << 5;
        QTest::newRow("blanks around") << "   42   " << true << 42;
        QTest::newRow("half down to even") << "2.5" << true << 2;
        QTest::newRow("half up to even") << "3.5" << true << 4;
        QTest::newRow("negative half to even") << "-2.5" << true << -2;
        QTest::newRow("just above half") << "2.51" << true << 3;
        QTest::newRow("exponent") << "1e3" << true << 1000;
        QTest::newRow("max") << "32767" << true << 32767;
        QTest::newRow("min") << "-32768" << true << -32768;
        QTest::newRow("max plus a bit rounds down") << "32767.4" << true << 32767;
        QTest::newRow("min minus half rounds to even") << "-32768.5" << true << -32768;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blanks") << "   " << false << 0;
        QTest::newRow("word") << "abc" << false << 0;
        QTest::newRow("number then word") << "12abc" << false << 0;
        QTest::newRow("inf") << "inf" << false << 0;
        QTest::newRow("nan") << "nan" << false << 0;
        QTest::newRow("one above max") << "32768" << false << 0;
        QTest::newRow("half above max rounds up") << "32767.5" << false << 0;
        QTest::newRow("one below min") << "-32769" << false << 0;
        QTest::newRow("huge") << "1e30" << false << 0;
    }
    void integerConversion()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, expected);
        const auto converted = KeyedLine::toInteger(text);
        QCOMPARE(converted.value.has_value(), ok);
        if (ok) {
            QCOMPARE(int(*converted.value), expected);
            QVERIFY(converted.error.isEmpty());
        } else {
            QVERIFY(!converted.error.isEmpty());
        }
    }

    void overflowAndMismatchAreTold()
    {
        const QString overflow = KeyedLine::toInteger(QStringLiteral("40000")).error;
        const QString mismatch = KeyedLine::toInteger(QStringLiteral("x")).error;
        QVERIFY(!overflow.isEmpty());
        QVERIFY(!mismatch.isEmpty());
        QVERIFY(overflow != mismatch);
        QCOMPARE(KeyedLine::toLong(QStringLiteral("3000000000")).error, overflow);
        QCOMPARE(KeyedLine::toLong(QStringLiteral("nan")).error, mismatch);
    }

    void longConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qlonglong>("expected");
        QTest::newRow("above 16 bits") << " 40000 " << true << 40000LL;
        QTest::newRow("max") << "2147483647" << true << 2147483647LL;
        QTest::newRow("min") << "-2147483648" << true << -2147483648LL;
        QTest::newRow("half to even") << "100000.5" << true << 100000LL;
        QTest::newRow("one above max") << "2147483648" << false << 0LL;
        QTest::newRow("one below min") << "-2147483649" << false << 0LL;
        QTest::newRow("word") << "twelve" << false << 0LL;
        QTest::newRow("empty") << "" << false << 0LL;
    }
    void longConversion()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qlonglong, expected);
        const auto converted = KeyedLine::toLong(text);
        QCOMPARE(converted.value.has_value(), ok);
        if (ok)
            QCOMPARE(qlonglong(*converted.value), expected);
        else
            QVERIFY(!converted.error.isEmpty());
    }

    void booleanConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("expected");
        QTest::newRow("True") << "True" << true << true;
        QTest::newRow("False") << "False" << true << false;
        QTest::newRow("lower case") << "true" << true << true;
        QTest::newRow("mixed case") << "tRuE" << true << true;
        QTest::newRow("blanks around") << "  True " << true << true;
        QTest::newRow("zero") << "0" << true << false;
        QTest::newRow("minus one") << "-1" << true << true;
        QTest::newRow("other number") << "2.5" << true << true;
        QTest::newRow("zero with decimals") << "0.0" << true << false;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("yes") << "yes" << false << false;
        QTest::newRow("truthy prefix") << "Truee" << false << false;
        QTest::newRow("nan") << "nan" << false << false;
        QTest::newRow("inf") << "inf" << false << false;
    }
    void booleanConversion()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(bool, expected);
        const auto converted = KeyedLine::toBoolean(text);
        QCOMPARE(converted.value.has_value(), ok);
        if (ok)
            QCOMPARE(*converted.value, expected);
        else
            QVERIFY(!converted.error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestKeyedLine)
#include "tst_keyedline.moc"
