#include "query/read/ReadPlan.h"

#include <QTest>

namespace
{
// "KNA1*30x40" is 30 fields KNA1-F1..KNA1-F30 of 40 characters; "KNA1-NAME1:35" one field.
QVector<ReadPlan::Field> expand(const QStringList& shapes)
{
    QVector<ReadPlan::Field> items;
    for (const QString& shape : shapes) {
        if (shape.contains(u'*')) {
            const QString table = shape.section(u'*', 0, 0);
            const QStringList sizes = shape.section(u'*', 1).split(u'x');
            const int count = sizes.at(0).toInt();
            for (int i = 1; i <= count; ++i)
                items.append({table + QStringLiteral("-F%1").arg(i), QStringLiteral("C"),
                              sizes.at(1).toInt(), QStringLiteral("Field %1").arg(i)});
        } else {
            items.append({shape.section(u':', 0, 0), QStringLiteral("C"),
                          shape.section(u':', 1).toInt(), QString()});
        }
    }
    return items;
}

// One line per piece: "TABLE first-last options first-last width W", fields and option lines
// numbered from 1 as the user sees them, "0-0" for no option lines.
QStringList describe(const ReadPlan& plan)
{
    const auto numbers = [](const ReadPlan::Range& range) {
        return range.isEmpty() ? QStringLiteral("0-0")
                               : QStringLiteral("%1-%2").arg(range.begin + 1).arg(range.end);
    };
    QStringList lines;
    for (const ReadPlan::Piece& piece : plan.pieces()) {
        lines.append(QStringLiteral("%1 %2 options %3 width %4")
                         .arg(piece.table, numbers(piece.fields), numbers(piece.options))
                         .arg(plan.width(piece)));
    }
    return lines;
}
} // namespace

class TestReadPlan : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pieces_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("512 with the delimiter fits one call")
            << QStringList{"T*1x256", "T-LAST:255"} << QStringList{}
            << QStringList{"T 1-2 options 0-0 width 512"};
        QTest::newRow("513 splits")
            << QStringList{"T*2x256"} << QStringList{}
            << QStringList{"T 1-1 options 0-0 width 256", "T 2-2 options 0-0 width 256"};
        QTest::newRow("one field of exactly 512") << QStringList{"T-WIDE:512"} << QStringList{}
                                                  << QStringList{"T 1-1 options 0-0 width 512"};
        QTest::newRow("30 fields of 40 halve twice, each piece with the options")
            << QStringList{"KNA1*30x40"} << QStringList{"KNA1-F1 = 'A'"}
            << QStringList{"KNA1 1-7 options 1-1 width 286", "KNA1 8-15 options 1-1 width 327",
                           "KNA1 16-22 options 1-1 width 286", "KNA1 23-30 options 1-1 width 327"};
        // Midpoint 1 + 3/2 = 2.5 goes to the even 2; half-up rounding would give 1-2 and 3-4.
        QTest::newRow("an exact half goes to the even neighbour")
            << QStringList{"T*4x200"} << QStringList{}
            << QStringList{"T 1-1 options 0-0 width 200", "T 2-2 options 0-0 width 200",
                           "T 3-4 options 0-0 width 401"};
        // Midpoint 2 + 1/2 = 2.5 rounds to 2, the piece's own first field, so it moves on.
        QTest::newRow("a midpoint equal to the first field moves on by one")
            << QStringList{"A-X:10", "B*2x300"} << QStringList{}
            << QStringList{"A 1-1 options 0-0 width 10", "B 2-2 options 0-0 width 300",
                           "B 3-3 options 0-0 width 300"};
        QTest::newRow("two tables, each with only its own options")
            << QStringList{"KNA1*2x10", "VBAK*2x10"}
            << QStringList{"KNA1-F1 = 'A' AND", "KNA1-F2 = 'B'", "VBAK-F1 = 'C'"}
            << QStringList{"KNA1 1-2 options 1-2 width 21", "VBAK 3-4 options 3-3 width 21"};
        QTest::newRow("foreign lines between the first and last match travel along")
            << QStringList{"KNA1*2x10", "VBAK*2x10"}
            << QStringList{"KNA1-F1 = 'A' OR", "VBAK-F1 = 'C' OR", "KNA1-F2 = 'B'"}
            << QStringList{"KNA1 1-2 options 1-3 width 21", "VBAK 3-4 options 2-2 width 21"};
        QTest::newRow("a table name anywhere in the line counts")
            << QStringList{"KNA1*2x10"} << QStringList{"x", "OR KNA1-F2 = 'B'", "y"}
            << QStringList{"KNA1 1-2 options 2-2 width 21"};
        QTest::newRow("a table that comes back after another makes a second group")
            << QStringList{"KNA1-A:10", "VBAK-B:10", "KNA1-C:10"} << QStringList{"KNA1-A = 1"}
            << QStringList{"KNA1 1-1 options 1-1 width 10", "VBAK 2-2 options 0-0 width 10",
                           "KNA1 3-3 options 1-1 width 10"};
        QTest::newRow("splitting stays inside each table's group")
            << QStringList{"MARA*2x300", "MAKT*2x10"} << QStringList{"MAKT-F1 = 'E'"}
            << QStringList{"MARA 1-1 options 0-0 width 300", "MARA 2-2 options 0-0 width 300",
                           "MAKT 3-4 options 1-1 width 21"};
        QTest::newRow("a key without a dash is a table of its own")
            << QStringList{"PLAIN:5"} << QStringList{}
            << QStringList{"PLAIN 1-1 options 0-0 width 5"};
    }

    void pieces()
    {
        QFETCH(QStringList, items);
        QFETCH(QStringList, options);
        QFETCH(QStringList, expected);
        ReadPlan plan;
        BiText error;
        QVERIFY(plan.build(expand(items), options, &error));
        QCOMPARE(describe(plan), expected);
        QCOMPARE(plan.fieldCount(), int(expand(items).size()));
        QCOMPARE(plan.options(), options);
    }

    void keepsTheFieldsInOrder()
    {
        ReadPlan plan;
        const QVector<ReadPlan::Field> fields = {{"KNA1-KUNNR", "C", 10, "Customer"},
                                                 {"KNA1-UMSAT", "P", 15, "Annual sales"},
                                                 {"PLAIN", "C", 1, "No dash"}};
        QVERIFY(plan.build(fields, {"KNA1-KUNNR = '1'"}, nullptr));
        QStringList seen;
        for (const ReadPlan::Field& field : plan.fields())
            seen.append(QStringLiteral("%1|%2|%3|%4|%5|%6")
                            .arg(field.table(), field.name(), field.type)
                            .arg(field.length)
                            .arg(field.text, field.key));
        QCOMPARE(seen, (QStringList{"KNA1|KUNNR|C|10|Customer|KNA1-KUNNR",
                                    "KNA1|UMSAT|P|15|Annual sales|KNA1-UMSAT",
                                    "PLAIN|PLAIN|C|1|No dash|PLAIN"}));
        QCOMPARE(plan.options(), QStringList{"KNA1-KUNNR = '1'"});
    }

    void optionLinesEndBlueWhenTheyNameAPieceTable()
    {
        ReadPlan plan;
        QVERIFY(plan.build(
            expand({"KNA1*2x10", "VBAK*1x10"}),
            {"KNA1-F1 = 'A' AND", "garbage", "MARA-MATNR = '1'", "VBAK-F1 = 'C'", "kna1-f1 = 'a'"},
            nullptr));
        QCOMPARE(plan.optionsNamingATable(), (QVector<bool>{true, false, false, true, false}));
    }

    void rebuildingForgetsThePreviousPlan()
    {
        ReadPlan plan;
        QVERIFY(plan.build(expand({"KNA1*30x40"}), {"KNA1-F1 = 'A'", "KNA1-F2 = 'B'"}, nullptr));
        QVERIFY(plan.build(expand({"T001*2x10"}), {"x"}, nullptr));
        QCOMPARE(describe(plan), QStringList{"T001 1-2 options 0-0 width 21"});
        QCOMPARE(plan.optionsNamingATable(), QVector<bool>{false});
        QCOMPARE(plan.fieldCount(), 2);
        // A failed build leaves no pieces of the one before.
        QVERIFY(!plan.build(expand({"T001-BLOB:600"}), {}, nullptr));
        QCOMPARE(plan.pieceCount(), 0);
        QVERIFY(plan.optionsNamingATable().isEmpty());
    }

    void aFieldWiderThanALineFailsNamingIt()
    {
        ReadPlan plan;
        BiText error;
        QVERIFY(!plan.build(expand({"KNA1-KUNNR:10", "KNA1-BLOB:513"}), {}, &error));
        for (const QString& said : {error.en, error.pt}) {
            QVERIFY2(said.contains(QLatin1String("KNA1-BLOB")), qPrintable(said));
            QVERIFY2(said.contains(QLatin1String("513")), qPrintable(said));
        }
        QVERIFY(error.pt != error.en);
    }

    void noFieldsGivesFalse()
    {
        ReadPlan plan;
        BiText error;
        QVERIFY(!plan.build({}, {"KNA1-KUNNR = '1'"}, &error));
        QCOMPARE(plan.pieceCount(), 0);
    }

    void widthOfAPieceWithoutFieldsIsMinusOne()
    {
        ReadPlan plan;
        QVERIFY(plan.build(expand({"T*3x10"}), {}, nullptr));
        QCOMPARE(plan.width({QStringLiteral("T"), {2, 2}, {}}), -1);
        QCOMPARE(plan.width({QStringLiteral("T"), {1, 3}, {}}), 21);
    }

    // The original capacity of ten pieces per group is not a limit here.
    void manyFieldsSplitIntoPiecesThatAllFit()
    {
        ReadPlan plan;
        QVERIFY(plan.build(expand({"BIG*999x40"}), {"BIG-F999 = 'Z'"}, nullptr));
        // 12 fields of 40 take 491 characters, 13 take 532: at least 84 pieces.
        QVERIFY2(plan.pieceCount() >= 84, qPrintable(QString::number(plan.pieceCount())));
        int expectedBegin = 0;
        for (const ReadPlan::Piece& piece : plan.pieces()) {
            QCOMPARE(piece.fields.begin, expectedBegin);
            QVERIFY(!piece.fields.isEmpty());
            QVERIFY(plan.width(piece) <= 512);
            QCOMPARE(piece.options, (ReadPlan::Range{0, 1}));
            expectedBegin = piece.fields.end;
        }
        QCOMPARE(expectedBegin, 999);
    }
};

QTEST_GUILESS_MAIN(TestReadPlan)
#include "tst_readplan.moc"
