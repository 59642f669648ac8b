#include "DemoHome.h"
#include "ReadPlan.h"
#include "SapConnection.h"
#include "SapTestKit.h"
#include "TableReader.h"

#include <QTemporaryDir>
#include <QTest>

namespace
{
struct Rig {
    Rig() { host.commands = &connection; }

    // Logs on as the user would, so the reader has a connection.
    bool connect()
    {
        prompt.answers.enqueue(demoLogon());
        return host.mconectar_Click();
    }

    FakeHost host;
    ScriptedPrompt prompt;
    TestFactory factory;
    SapConnection connection{host, factory, prompt};
    TableReader reader{host, connection};
};

QString cell(const RfcTable& table, int row, const char* column)
{
    return table.Value(row, QLatin1String(column));
}

ReadPlan planOf(const QVector<ReadPlan::Item>& items, const QStringList& options)
{
    ReadPlan plan;
    QString error;
    if (!plan.ReadLIMytable(items, options, &error))
        qWarning("plan not built: %s", qPrintable(error));
    return plan;
}
} // namespace

class TestTableReader : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QString error;
        QVERIFY2(useDemoHome(m_home, &error), qPrintable(error));
    }

    void typeIcon_data()
    {
        QTest::addColumn<QString>("letter");
        QTest::addColumn<int>("icon");

        QTest::newRow("C") << "C" << 3;
        QTest::newRow("N") << "N" << 4;
        QTest::newRow("P") << "P" << 5;
        QTest::newRow("D") << "D" << 6;
        QTest::newRow("T") << "T" << 7;
        QTest::newRow("X") << "X" << 8;
        QTest::newRow("I") << "I" << 9;
        QTest::newRow("F") << "F" << 10;
        QTest::newRow("s") << "s" << 11;
        QTest::newRow("lower-case c") << "c" << 3;
        QTest::newRow("upper-case S") << "S" << 3;
        QTest::newRow("lower-case x") << "x" << 3;
        QTest::newRow("g") << "g" << 3;
        QTest::newRow("empty") << "" << 3;
        QTest::newRow("two letters") << "CN" << 3;
    }

    void typeIcon()
    {
        QFETCH(QString, letter);
        QFETCH(int, icon);
        QCOMPARE(TableReader::TypeIcon(letter), icon);
    }

    void catalogueOfATable()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(rig.reader.ReadFieldCatalogue(QStringLiteral("T000")));
        QVERIFY(rig.host.desktop.messages.isEmpty());
        QCOMPARE(rig.host.desktop.busyDepth, 0);
        QVERIFY(rig.host.desktop.busyCalls >= 2);
        const TestFactory::Call& call = rig.factory.calls.last();
        QCOMPARE(call.exports.value(QStringLiteral("QUERY_TABLE")), QStringLiteral("T000"));
        QCOMPARE(call.exports.value(QStringLiteral("NO_DATA")), QStringLiteral("x"));
        QVERIFY(call.fieldNames.isEmpty());
        const RfcTable& fields = rig.reader.FieldsTable();
        QCOMPARE(fields.RowCount(), 8);
        QCOMPARE(cell(fields, 2, "FIELDNAME"), QStringLiteral("MTEXT"));
        QCOMPARE(cell(fields, 2, "FIELDTEXT"), QStringLiteral("Client name"));
        QCOMPARE(cell(fields, 2, "TYPE"), QStringLiteral("C"));
        QCOMPARE(cell(fields, 2, "LENGTH").toInt(), 25);
        QCOMPARE(cell(fields, 7, "FIELDNAME"), QStringLiteral("CHANGEDATE"));
        QCOMPARE(cell(fields, 7, "TYPE"), QStringLiteral("D"));
        QCOMPARE(rig.reader.DataTable().RowCount(), 0);
    }

    void catalogueOfAWideTable()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY2(rig.reader.ReadFieldCatalogue(QStringLiteral("KNA1")),
                 qPrintable(rig.host.desktop.messageTexts().join(u'|')));
        QCOMPARE(cell(rig.reader.FieldsTable(), 2, "FIELDNAME"), QStringLiteral("KUNNR"));
    }

    void catalogueOfAnUnknownTableShowsTheException()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(rig.reader.ReadFieldCatalogue(QStringLiteral("T001")));
        QVERIFY(!rig.reader.ReadFieldCatalogue(QStringLiteral("ZNOSUCH")));
        QCOMPARE(rig.host.desktop.messageTexts(), QStringList{"TABLE_NOT_AVAILABLE"});
        QCOMPARE(rig.reader.FieldsTable().RowCount(), 0);
        QCOMPARE(rig.host.desktop.busyDepth, 0);
        QVERIFY(rig.host.appState.Connected);
    }

    void getDataCutsTheTableNameAndSendsThePiece()
    {
        Rig rig;
        QVERIFY(rig.connect());
        const ReadPlan plan = planOf({{"KNA1-KUNNR", "C", 10, "Customer"},
                                      {"KNA1-NAME1", "C", 35, "Name"},
                                      {"KNA1-LAND1", "C", 3, "Country"}},
                                     {"KNA1-LAND1 IN ( 'DE' , 'AT' )"});
        QVERIFY(
            rig.reader.GetData(plan, QStringLiteral("KNA1"), 0, QStringLiteral("|"), 1, 3, 1, 1));
        QVERIFY(rig.host.desktop.messages.isEmpty());
        QCOMPARE(rig.host.desktop.busyDepth, 0);
        QVERIFY(rig.host.statusTexts.contains(QStringLiteral("Processing RFC for KNA1")));

        const TestFactory::Call& call = rig.factory.calls.last();
        QCOMPARE(call.exports.value(QStringLiteral("QUERY_TABLE")), QStringLiteral("KNA1"));
        QCOMPARE(call.exports.value(QStringLiteral("ROWCOUNT")), QStringLiteral("0"));
        QCOMPARE(call.exports.value(QStringLiteral("DELIMITER")), QStringLiteral("|"));
        QCOMPARE(call.fieldNames, (QStringList{"KUNNR", "NAME1", "LAND1"}));
        QCOMPARE(call.optionLines, QStringList{"LAND1 IN ( 'DE' , 'AT' )"});

        const RfcTable& fields = rig.reader.FieldsTable();
        QCOMPARE(cell(fields, 2, "OFFSET"), QStringLiteral("000011"));
        QCOMPARE(cell(fields, 3, "OFFSET"), QStringLiteral("000047"));
        const RfcTable& data = rig.reader.DataTable();
        QVERIFY(data.RowCount() > 0);
        for (const auto& row : data.rows()) {
            const QString country = row.at(0).section(u'|', 2);
            QVERIFY2(country == u"DE" || country == u"AT", qPrintable(row.at(0)));
        }
    }

    void aPieceOfASecondTableGetsItsOwnCut()
    {
        Rig rig;
        QVERIFY(rig.connect());
        const ReadPlan plan = planOf(
            {{"KNA1-KUNNR", "C", 10, ""}, {"VBAK-VBELN", "C", 10, ""}, {"VBAK-NETWR", "P", 15, ""}},
            {"KNA1-LAND1 IN ( 'DE' )", "VBAK-VBTYP IN ( 'K' )"});
        QCOMPARE(plan.NPiece, 2);
        const ReadPlan::Piece& piece = plan.piece(2);
        QVERIFY(rig.reader.GetData(plan, piece.table, 0, QStringLiteral(";"), piece.first,
                                   piece.last, piece.optFirst, piece.optLast));
        QCOMPARE(rig.factory.calls.last().fieldNames, (QStringList{"VBELN", "NETWR"}));
        QCOMPARE(rig.factory.calls.last().optionLines, QStringList{"VBTYP IN ( 'K' )"});
        // Credit memos carry negative values: the sign is last.
        const RfcTable& data = rig.reader.DataTable();
        QVERIFY(data.RowCount() > 0);
        for (const auto& row : data.rows())
            QVERIFY2(row.at(0).endsWith(u'-'), qPrintable(row.at(0)));
    }

    void aPieceWithoutOptionsSendsOneEmptyLine()
    {
        Rig rig;
        QVERIFY(rig.connect());
        const ReadPlan plan = planOf({{"T001-BUKRS", "C", 4, ""}, {"T001-BUTXT", "C", 25, ""}}, {});
        QVERIFY(rig.reader.GetData(plan, QStringLiteral("T001"), 4, QString(), 1, 2, 0, 0));
        QCOMPARE(rig.factory.calls.last().optionLines, QStringList{QString()});
        QCOMPARE(rig.factory.calls.last().exports.value(QStringLiteral("ROWCOUNT")),
                 QStringLiteral("4"));
        QCOMPARE(rig.reader.DataTable().RowCount(), 4);
    }

    void rowsCanGoToASink()
    {
        Rig rig;
        QVERIFY(rig.connect());
        const ReadPlan plan = planOf({{"T001-BUKRS", "C", 4, ""}}, {});
        QStringList received;
        QVERIFY(rig.reader.GetData(plan, QStringLiteral("T001"), 0, QString(), 1, 1, 0, 0,
                                   [&](const RfcTable::Row& row) { received.append(row.at(0)); }));
        QCOMPARE(received.size(), 6);
        QCOMPARE(rig.reader.DataTable().RowCount(), 0);
        // The next read without a sink keeps its rows again.
        QVERIFY(rig.reader.GetData(plan, QStringLiteral("T001"), 2, QString(), 1, 1, 0, 0));
        QCOMPARE(rig.reader.DataTable().RowCount(), 2);
    }

    void aBadOptionIsShownAndTheConnectionStays()
    {
        Rig rig;
        QVERIFY(rig.connect());
        const ReadPlan plan = planOf({{"KNA1-KUNNR", "C", 10, ""}}, {"KNA1-LAND1 = = 'DE'"});
        QVERIFY(!rig.reader.GetData(plan, QStringLiteral("KNA1"), 0, QString(), 1, 1, 1, 1));
        QCOMPARE(rig.host.desktop.messageTexts(), QStringList{"OPTION_NOT_VALID"});
        QCOMPARE(rig.host.desktop.busyDepth, 0);
        QVERIFY(rig.host.appState.Connected);
        QVERIFY(rig.connection.SapFunctionsObject());
    }

    void systemFailureReleasesAndTheNextReadConnectsAgain()
    {
        Rig rig;
        QVERIFY(rig.connect());
        const ReadPlan plan = planOf({{"ZFLOAT-ZFLTP", "F", 16, ""}}, {});
        QVERIFY(!rig.reader.GetData(plan, QStringLiteral("ZFLOAT"), 0, QString(), 1, 1, 0, 0));
        QCOMPARE(rig.host.desktop.messageTexts(), QStringList{"SYSTEM_FAILURE"});
        QCOMPARE(rig.host.desktop.busyDepth, 0);
        QVERIFY(!rig.host.appState.Connected);
        QVERIFY(!rig.connection.SapBapiObject());
        QVERIFY(!rig.connection.SapFunctionsObject());
        QCOMPARE(rig.host.panels.last().text, QStringLiteral("Disconnected "));

        const int created = rig.factory.creations;
        QVERIFY(rig.connect());
        QCOMPARE(rig.prompt.questions.size(), 2);
        QCOMPARE(rig.factory.creations, created + 2);
        QVERIFY(rig.reader.ReadFieldCatalogue(QStringLiteral("ZFLOAT")));
    }

    void getDataWithoutAConnectionReportsAnError()
    {
        Rig rig;
        const ReadPlan plan = planOf({{"T001-BUKRS", "C", 4, ""}}, {});
        QVERIFY(!rig.reader.GetData(plan, QStringLiteral("T001"), 0, QString(), 1, 1, 0, 0));
        QCOMPARE(rig.host.desktop.messages.size(), 1);
        const QString text = rig.host.desktop.messages.first().text;
        QVERIFY2(text.startsWith(QLatin1String("Error ")) &&
                     text.endsWith(QLatin1String(" on GetData ")),
                 qPrintable(text));
        QCOMPARE(rig.host.desktop.busyDepth, 0);
    }
};

QTEST_MAIN(TestTableReader)
#include "tst_tablereader.moc"
