#include "sap/demo/DemoDictionary.h"
#include "sap/demo/SqliteDatabase.h"
#include "sap/demo/SqliteStatement.h"
#include "sap/demo/WhereParser.h"

#include <QRegularExpression>
#include <QTest>

namespace
{
const DemoDictionary::Table& ztypes()
{
    return *DemoDictionary::instance().table(QStringLiteral("ZTYPES"));
}

// What may appear in the condition besides bound parameters: quoted field names, operators and
// keywords. A literal that slipped into the SQL text would show up as anything else.
bool onlySqlSyntax(const QString& sql, QString* stray)
{
    static const QStringList allowed = {
        "?",   "=",  "<>",  "<",  ">",       "<=",   ">=",     "(",  ")",   ",",
        "AND", "OR", "NOT", "IN", "BETWEEN", "LIKE", "ESCAPE", "IS", "NULL"};
    QString rest = sql;
    rest.replace(QRegularExpression(QStringLiteral("\"[A-Z0-9_]+\"")), QStringLiteral(" "));
    rest.replace(u'(', QStringLiteral(" ( ")).replace(u')', QStringLiteral(" ) "));
    rest.replace(u',', QStringLiteral(" , "));
    for (const QString& token : rest.split(u' ', Qt::SkipEmptyParts)) {
        if (!allowed.contains(token)) {
            *stray = token;
            return false;
        }
    }
    return true;
}

QStringList repeated(const QString& line, int count)
{
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines.append(line);
    return lines;
}
} // namespace

class TestWhereParser : public QObject
{
    Q_OBJECT

    SqliteDatabase m_db;

    // The ZNUMC keys of the rows the condition selects, in key order.
    QString select(const WhereParser::Result& where)
    {
        QString sql = QStringLiteral("SELECT ZNUMC FROM ZTYPES");
        if (!where.sql.isEmpty())
            sql += QStringLiteral(" WHERE ") + where.sql;
        SqliteStatement statement(m_db.handle(), sql + QStringLiteral(" ORDER BY ZNUMC"));
        if (!statement.valid())
            return QStringLiteral("invalid SQL: ") + statement.error();
        int index = 1;
        for (const WhereParser::Value& value : where.bindings) {
            if (const auto* text = std::get_if<QString>(&value))
                statement.bindText(index++, *text);
            else if (const auto* real = std::get_if<double>(&value))
                statement.bindDouble(index++, *real);
            else if (const auto* whole = std::get_if<qint64>(&value))
                statement.bindInt(index++, *whole);
            else
                statement.bindBlob(index++, std::get<QByteArray>(value));
        }
        QStringList keys;
        while (statement.step())
            keys.append(QString::number(statement.text(0).toInt()));
        return keys.join(u',');
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Rows chosen by hand so that every operator selects a different set.
        QVERIFY(m_db.open(QStringLiteral(":memory:"), SqliteDatabase::Mode::Create));
        QStringList columns;
        for (const auto& field : ztypes().fields)
            columns.append(field.name + u' ' + field.sqlType());
        QVERIFY(m_db.exec(QStringLiteral("CREATE TABLE ZTYPES (") + columns.join(u',') + u')'));
        QVERIFY(m_db.exec(QStringLiteral(
            "INSERT INTO ZTYPES (MANDT, ZNUMC, ZCHAR, ZDATS, ZDEC, ZINT4, ZRAW, SPRAS) VALUES "
            "('100', '00000001', 'Alpha', '20240101', 1.5, 10, x'0102', 'E'),"
            "('100', '00000002', 'Beta', '20240615', -2.0, 20, x'FF', 'P'),"
            "('100', '00000003', 'O''Brien', '00000000', 0.0, 30, x'', ''),"
            "('100', '00000004', '50%_off', '20231231', 12.5, 40, x'00', 'D'),"
            "('100', '00000005', 'alpha', '20250101', 99.0, -1, x'AB', 'E'),"
            "('100', '00000006', NULL, '20240301', 3.0, 0, x'CD', 'E')")));
        // Open SQL's LIKE tells upper from lower case, as the demo system's connection does.
        QVERIFY(m_db.exec(QStringLiteral("PRAGMA case_sensitive_like = ON")));
    }

    void selects_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("keys");

        QTest::newRow("no lines") << QStringList{} << "1,2,3,4,5,6";
        QTest::newRow("one empty line") << QStringList{""} << "1,2,3,4,5,6";
        QTest::newRow("=") << QStringList{"ZNUMC = '00000002'"} << "2";
        QTest::newRow("EQ with an unquoted number padded to NUMC")
            << QStringList{"ZNUMC EQ 2"} << "2";
        QTest::newRow("quoted NUMC literal padded") << QStringList{"ZNUMC = '3'"} << "3";
        QTest::newRow("number with leading zeros") << QStringList{"ZNUMC = 0004"} << "4";
        QTest::newRow("<>") << QStringList{"ZCHAR <> 'Alpha'"} << "2,3,4,5";
        QTest::newRow("NE") << QStringList{"ZCHAR NE 'Alpha'"} << "2,3,4,5";
        QTest::newRow("<") << QStringList{"ZDEC < '1.5'"} << "2,3";
        QTest::newRow("LT") << QStringList{"ZDEC LT 0"} << "2";
        QTest::newRow(">") << QStringList{"ZDEC > 12"} << "4,5";
        QTest::newRow("GT") << QStringList{"ZDEC GT '12.5'"} << "5";
        QTest::newRow("<=") << QStringList{"ZDEC <= 0"} << "2,3";
        QTest::newRow("LE") << QStringList{"ZDEC LE '1.5'"} << "1,2,3";
        QTest::newRow(">=") << QStringList{"ZDEC >= '12.5'"} << "4,5";
        QTest::newRow("GE") << QStringList{"ZDEC GE 3"} << "4,5,6";
        QTest::newRow("negative number") << QStringList{"ZINT4 = -1"} << "5";
        QTest::newRow("BETWEEN") << QStringList{"ZDATS BETWEEN '20240101' AND '20240615'"}
                                 << "1,2,6";
        QTest::newRow("NOT BETWEEN")
            << QStringList{"ZDATS NOT BETWEEN '20240101' AND '20240615'"} << "3,4,5";
        QTest::newRow("LIKE tells case") << QStringList{"ZCHAR LIKE 'Al%'"} << "1";
        QTest::newRow("LIKE with _") << QStringList{"ZCHAR LIKE '_eta'"} << "2";
        QTest::newRow("NOT LIKE") << QStringList{"ZCHAR NOT LIKE '%a'"} << "3,4";
        QTest::newRow("LIKE with ESCAPE") << QStringList{"ZCHAR LIKE '50#%#_%' ESCAPE '#'"} << "4";
        QTest::newRow("escaped wildcard is literal")
            << QStringList{"ZCHAR LIKE 'Alph#_' ESCAPE '#'"} << "";
        QTest::newRow("IN") << QStringList{"ZCHAR IN ( 'Alpha' , 'Beta' )"} << "1,2";
        QTest::newRow("NOT IN") << QStringList{"ZCHAR NOT IN ( 'Alpha' , 'Beta' )"} << "3,4,5";
        QTest::newRow("IN with one value") << QStringList{"ZNUMC IN ( 6 )"} << "6";
        QTest::newRow("IS NULL") << QStringList{"ZCHAR IS NULL"} << "6";
        QTest::newRow("IS NOT NULL") << QStringList{"ZCHAR IS NOT NULL"} << "1,2,3,4,5";
        QTest::newRow("doubled quote") << QStringList{"ZCHAR = 'O''Brien'"} << "3";
        QTest::newRow("CHAR literal loses trailing blanks")
            << QStringList{"ZCHAR = 'Alpha   '"} << "1";
        QTest::newRow("RAW literal in hex") << QStringList{"ZRAW = 'FF'"} << "2";
        QTest::newRow("AND before OR") << QStringList{"ZNUMC = 2 OR ZNUMC = 1 AND ZDEC < 0"} << "2";
        QTest::newRow("parentheses")
            << QStringList{"( ZNUMC = 2 OR ZNUMC = 1 ) AND ZDEC > 0"} << "1";
        QTest::newRow("OR") << QStringList{"ZNUMC = 2 OR ZNUMC = 1 AND ZDEC > 0"} << "1,2";
        QTest::newRow("NOT") << QStringList{"NOT ZNUMC = 1"} << "2,3,4,5,6";
        QTest::newRow("NOT of a group")
            << QStringList{"NOT ( ZNUMC = 1 OR ZNUMC = 2 )"} << "3,4,5,6";
        QTest::newRow("NOT NOT") << QStringList{"NOT NOT ZNUMC = 1"} << "1";
        QTest::newRow("keywords and names in any case")
            << QStringList{"zchar like 'Al%' and ZDec Between 1 And 2"} << "1";
        QTest::newRow("word operators in lower case")
            << QStringList{"ZNUMC eq 5 or ZNUMC Ge 6"} << "5,6";
        QTest::newRow("a condition over several lines")
            << QStringList{"ZNUMC = 1", "OR", "ZNUMC", "=", "'2'"} << "1,2";
        QTest::newRow("hostile text inside a literal stays a literal")
            << QStringList{"ZCHAR = '; DROP TABLE ZTYPES --'"} << "";
        QTest::newRow("injection inside a literal stays a literal")
            << QStringList{"ZCHAR = ''' OR 1=1 --'"} << "";
    }

    void selects()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, keys);
        const WhereParser::Result where = WhereParser::parse(lines, ztypes());
        QVERIFY2(where.ok, qPrintable(where.error));
        QString stray;
        QVERIFY2(onlySqlSyntax(where.sql, &stray), qPrintable(where.sql + " has " + stray));
        QCOMPARE(qsizetype(where.sql.count(u'?')), qsizetype(where.bindings.size()));
        QCOMPARE(select(where), keys);
    }

    void bindsLiteralsInTheFieldsForm_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("bound");

        QTest::newRow("NUMC padded") << "ZNUMC = 42"
                                     << "text:00000042";
        QTest::newRow("CHAR trailing blanks dropped, leading kept") << "ZCHAR = '  ab  '"
                                                                    << "text:  ab";
        QTest::newRow("packed as a number") << "ZCURR = '-1234.56'"
                                            << "real:-1234.56";
        QTest::newRow("integer") << "ZINT4 = 7"
                                 << "int:7";
        QTest::newRow("raw from hex") << "ZRAW = '0aFF'"
                                      << "blob:0aff";
        QTest::newRow("a drop statement is only text") << "ZCHAR = '; DROP TABLE KNA1'"
                                                       << "text:; DROP TABLE KNA1";
    }

    void bindsLiteralsInTheFieldsForm()
    {
        QFETCH(QString, line);
        QFETCH(QString, bound);
        const WhereParser::Result where = WhereParser::parse({line}, ztypes());
        QVERIFY2(where.ok, qPrintable(where.error));
        QCOMPARE(where.bindings.size(), size_t(1));
        const WhereParser::Value& value = where.bindings.front();
        QString actual;
        if (const auto* text = std::get_if<QString>(&value))
            actual = QStringLiteral("text:") + *text;
        else if (const auto* real = std::get_if<double>(&value))
            actual = QStringLiteral("real:") + QString::number(*real);
        else if (const auto* whole = std::get_if<qint64>(&value))
            actual = QStringLiteral("int:") + QString::number(*whole);
        else
            actual =
                QStringLiteral("blob:") + QString::fromLatin1(std::get<QByteArray>(value).toHex());
        QCOMPARE(actual, bound);
    }

    void rejects_data()
    {
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("injection") << QStringList{"' OR 1=1 --"};
        QTest::newRow("statement") << QStringList{"; DROP TABLE KNA1"};
        QTest::newRow("statement after a condition") << QStringList{"ZNUMC = 1 ; DROP TABLE KNA1"};
        QTest::newRow("comment after a condition") << QStringList{"ZNUMC = 1 -- x"};
        QTest::newRow("no blanks around the operator") << QStringList{"ZCHAR='Alpha'"};
        QTest::newRow("no blank after the operator") << QStringList{"ZCHAR ='Alpha'"};
        QTest::newRow("no blank after a literal") << QStringList{"ZCHAR = 'Alpha'AND ZNUMC = 1"};
        QTest::newRow("unbalanced quote") << QStringList{"ZCHAR = 'Alpha"};
        QTest::newRow("unbalanced opening parenthesis") << QStringList{"( ZNUMC = 1"};
        QTest::newRow("unbalanced closing parenthesis") << QStringList{"ZNUMC = 1 )"};
        QTest::newRow("literal split across lines") << QStringList{"ZCHAR = 'Al", "pha'"};
        QTest::newRow("field name split across lines") << QStringList{"ZCH", "AR = 'x'"};
        QTest::newRow("unknown field") << QStringList{"NOSUCH = 1"};
        QTest::newRow("field of another table") << QStringList{"KUNNR = '1'"};
        QTest::newRow("double quotes name a column in SQL") << QStringList{"ZCHAR = \"ZNUMC\""};
        QTest::newRow("a field instead of a value") << QStringList{"ZCHAR = ZNUMC"};
        QTest::newRow("hex literal of SQL") << QStringList{"ZRAW = X'FF'"};
        QTest::newRow("trailing garbage") << QStringList{"ZNUMC = 1 ZNUMC"};
        QTest::newRow("empty IN list") << QStringList{"ZCHAR IN ( )"};
        QTest::newRow("IN list ending in a comma") << QStringList{"ZCHAR IN ( 'a' , )"};
        QTest::newRow("IN without parentheses") << QStringList{"ZCHAR IN 'a'"};
        QTest::newRow("field alone") << QStringList{"ZCHAR"};
        QTest::newRow("missing value") << QStringList{"ZCHAR ="};
        QTest::newRow("unknown operator") << QStringList{"ZCHAR == 'a'"};
        QTest::newRow("NOT before a comparison operator") << QStringList{"ZCHAR NOT = 'a'"};
        QTest::newRow("IS without NULL") << QStringList{"ZCHAR IS NOT 'a'"};
        QTest::newRow("BETWEEN without AND") << QStringList{"ZDEC BETWEEN 1 OR 2"};
        QTest::newRow("pattern not quoted") << QStringList{"ZCHAR LIKE ZNUMC"};
        QTest::newRow("ESCAPE of two characters") << QStringList{"ZCHAR LIKE 'a' ESCAPE '##'"};
        QTest::newRow("text for a packed field") << QStringList{"ZDEC = 'abc'"};
        QTest::newRow("text for an integer field") << QStringList{"ZINT4 = 'x'"};
        QTest::newRow("leading AND") << QStringList{"AND ZNUMC = 1"};
        QTest::newRow("dangling AND") << QStringList{"ZNUMC = 1 AND"};
        QTest::newRow("empty parentheses") << QStringList{"( )"};
        QTest::newRow("10,000 lines of garbage") << repeated(QStringLiteral("x y z"), 10000);
        QTest::newRow("10,000 nested parentheses")
            << (repeated(QStringLiteral("("), 10000)
                << QStringLiteral("ZNUMC = 1") << repeated(QStringLiteral(")"), 10000));
        QTest::newRow("10,000 opening parentheses only") << repeated(QStringLiteral("("), 10000);
        QTest::newRow("10,000 NOTs")
            << (repeated(QStringLiteral("NOT"), 10000) << QStringLiteral("ZNUMC = 1"));
    }

    void rejects()
    {
        QFETCH(QStringList, lines);
        const WhereParser::Result where = WhereParser::parse(lines, ztypes());
        QVERIFY2(!where.ok, qPrintable(where.sql));
        QVERIFY(!where.error.isEmpty());
        QVERIFY(where.sql.isEmpty());
        QVERIFY(where.bindings.empty());
    }
};

QTEST_GUILESS_MAIN(TestWhereParser)
#include "tst_whereparser.moc"
