#include "ReadPlan.h"

#include <QTest>

namespace
{
// "KNA1*30x40" is 30 fields KNA1-F1..KNA1-F30 of 40 characters; "KNA1-NAME1:35" one field.
QVector<ReadPlan::Item> expand(const QStringList& shapes)
{
    QVector<ReadPlan::Item> items;
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

// One line per piece: "TABLE first-last options optFirst-optLast width TotalBuffer".
QStringList describe(const ReadPlan& plan)
{
    QStringList lines;
    for (int p = 1; p <= plan.NPiece; ++p) {
        const ReadPlan::Piece& piece = plan.piece(p);
        lines.append(QStringLiteral("%1 %2-%3 options %4-%5 width %6")
                         .arg(piece.table)
                         .arg(piece.first)
                         .arg(piece.last)
                         .arg(piece.optFirst)
                         .arg(piece.optLast)
                         .arg(plan.TotalBuffer(p)));
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
        QString error;
        QVERIFY(plan.ReadLIMytable(expand(items), options, &error));
        QCOMPARE(describe(plan), expected);
        QCOMPARE(plan.SFI, int(expand(items).size()));
        QCOMPARE(plan.SOP, int(options.size()));
    }

    void keepsTheItemsFromIndexOne()
    {
        ReadPlan plan;
        const QVector<ReadPlan::Item> items = {{"KNA1-KUNNR", "C", 10, "Customer"},
                                               {"KNA1-UMSAT", "P", 15, "Annual sales"}};
        QVERIFY(plan.ReadLIMytable(items, {"KNA1-KUNNR = '1'"}, nullptr));
        QCOMPARE(plan.sFieldKey, (QVector<QString>{"", "KNA1-KUNNR", "KNA1-UMSAT"}));
        QCOMPARE(plan.sFieldType, (QVector<QString>{"", "C", "P"}));
        QCOMPARE(plan.iFieldLen, (QVector<int>{0, 10, 15}));
        QCOMPARE(plan.sFieldText, (QVector<QString>{"", "Customer", "Annual sales"}));
        QCOMPARE(plan.sOption, (QVector<QString>{"", "KNA1-KUNNR = '1'"}));
    }

    void optionLinesEndBlueWhenTheyNameAPieceTable()
    {
        ReadPlan plan;
        QVERIFY(plan.ReadLIMytable(
            expand({"KNA1*2x10", "VBAK*1x10"}),
            {"KNA1-F1 = 'A' AND", "garbage", "MARA-MATNR = '1'", "VBAK-F1 = 'C'", "kna1-f1 = 'a'"},
            nullptr));
        QCOMPARE(plan.optionBlue, (QVector<bool>{false, true, false, false, true, false}));
    }

    void rebuildingForgetsThePreviousPlan()
    {
        ReadPlan plan;
        QVERIFY(plan.ReadLIMytable(expand({"KNA1*30x40"}), {"KNA1-F1 = 'A'", "KNA1-F2 = 'B'"},
                                   nullptr));
        QVERIFY(plan.ReadLIMytable(expand({"T001*2x10"}), {"x"}, nullptr));
        QCOMPARE(describe(plan), QStringList{"T001 1-2 options 0-0 width 21"});
        QCOMPARE(plan.optionBlue, (QVector<bool>{false, false}));
        QCOMPARE(plan.sFieldKey.size(), 3);
    }

    void aFieldWiderThanALineFailsNamingIt()
    {
        ReadPlan plan;
        QString error;
        QVERIFY(!plan.ReadLIMytable(expand({"KNA1-KUNNR:10", "KNA1-BLOB:513"}), {}, &error));
        QVERIFY2(error.contains(QLatin1String("KNA1-BLOB")), qPrintable(error));
        QVERIFY2(error.contains(QLatin1String("513")), qPrintable(error));
    }

    void noFieldsGivesFalse()
    {
        ReadPlan plan;
        QString error;
        QVERIFY(!plan.ReadLIMytable({}, {"KNA1-KUNNR = '1'"}, &error));
        QCOMPARE(plan.NPiece, 0);
    }

    void totalBufferOfAnEmptyPieceIsMinusOne()
    {
        ReadPlan plan;
        QVERIFY(plan.ReadLIMytable(expand({"T*3x10"}), {}, nullptr));
        plan.pieces[1].first = 3;
        plan.pieces[1].last = 2;
        QCOMPARE(plan.TotalBuffer(1), -1);
    }

    // The original capacity of ten pieces per group is not a limit here.
    void manyFieldsSplitIntoPiecesThatAllFit()
    {
        ReadPlan plan;
        QVERIFY(plan.ReadLIMytable(expand({"BIG*999x40"}), {"BIG-F999 = 'Z'"}, nullptr));
        // 12 fields of 40 take 491 characters, 13 take 532: at least 84 pieces.
        QVERIFY2(plan.NPiece >= 84, qPrintable(QString::number(plan.NPiece)));
        QCOMPARE(plan.pieces.size(), plan.NPiece + 1);
        int expectedFirst = 1;
        for (int p = 1; p <= plan.NPiece; ++p) {
            const ReadPlan::Piece& piece = plan.piece(p);
            QCOMPARE(piece.first, expectedFirst);
            QVERIFY(piece.last >= piece.first);
            QVERIFY(plan.TotalBuffer(p) <= 512);
            QCOMPARE(piece.optFirst, 1);
            QCOMPARE(piece.optLast, 1);
            expectedFirst = piece.last + 1;
        }
        QCOMPARE(expectedFirst, 1000);
    }
};

QTEST_GUILESS_MAIN(TestReadPlan)
#include "tst_readplan.moc"
