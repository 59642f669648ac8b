// The spool that keeps one table's rows while the others are read: what goes in comes back in
// order, absent values stay absent (not empty), and a folder it cannot write to is refused.
#include "query/read/RowSpool.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestRowSpool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsComeBackAsWritten_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("present"); // one digit per value
        QTest::newRow("every value") << QStringList{"0000000001", "ACME", "DE"} << "111";
        QTest::newRow("an empty value is present") << QStringList{"", "ACME", ""} << "111";
        QTest::newRow("absent values") << QStringList{"", "ACME", ""} << "010";
        QTest::newRow("no value at all") << QStringList{"", "", ""} << "000";
        QTest::newRow("accents and blanks") << QStringList{"São Paulo  ", " x", "ÄÖÜ"} << "111";
    }
    void rowsComeBackAsWritten()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, present);
        QTemporaryDir folder;
        RowSpool spool;
        QVERIFY(spool.open(folder.path()));
        std::vector<QStringView> in(values.cbegin(), values.cend());
        std::vector<char> flags;
        for (QChar c : present)
            flags.push_back(c == u'1' ? 1 : 0);
        const std::vector<QStringView> other{u"last", u"", u"row"};
        spool.write(in, flags);
        spool.write(other, {1, 0, 1});
        QVERIFY(spool.ok());
        QCOMPARE(spool.rows(), 2);
        QVERIFY(spool.rewind());

        std::vector<QString> out(3, QStringLiteral("stale"));
        std::vector<char> has(3, 1);
        spool.read(out, has);
        for (size_t i = 0; i < out.size(); ++i) {
            QCOMPARE(has[i], flags[i]);
            QCOMPARE(out[i], flags[i] ? values.at(static_cast<qsizetype>(i)) : QString());
        }
        spool.read(out, has);
        QCOMPARE(out, (std::vector<QString>{"last", "", "row"}));
        QCOMPARE(has, (std::vector<char>{1, 0, 1}));
        QVERIFY(spool.ok());
    }

    void aMissingFolderIsRefused()
    {
        QTemporaryDir folder;
        RowSpool spool;
        QVERIFY(!spool.open(folder.filePath(QStringLiteral("missing"))));
    }

    void leavesNoFileBehind()
    {
        QTemporaryDir folder;
        {
            RowSpool spool;
            QVERIFY(spool.open(folder.path()));
            spool.write({u"x"}, {1});
            QVERIFY(spool.rewind());
        }
        QVERIFY(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRowSpool)
#include "tst_rowspool.moc"
