#include "DemoHome.h"
#include "SapTestKit.h"
#include "sap/SapConnection.h"
#include "sap/TableReader.h"

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
        return host.connectToSystem();
    }

    FakeHost host;
    ScriptedPrompt prompt;
    TestFactory factory;
    SapConnection connection{host, factory, prompt};
    TableReader reader{host, connection};
};

QString cell(const RfcTable& table, int row, const char* column)
{
    return table.value(row, QLatin1String(column));
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

    // Each of the nine type letters has a picture of its own; anything else, lower-case
    // letters and empty or longer texts included, shows the character type's.
    void typeIcon_data()
    {
        QTest::addColumn<QString>("letter");
        QTest::addColumn<bool>("known");

        for (const char* letter : {"C", "N", "P", "D", "T", "X", "I", "F", "s"})
            QTest::newRow(letter) << letter << true;
        QTest::newRow("lower-case c") << "c" << false;
        QTest::newRow("upper-case S") << "S" << false;
        QTest::newRow("lower-case x") << "x" << false;
        QTest::newRow("g") << "g" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("two letters") << "CN" << false;
    }

    void typeIcon()
    {
        QFETCH(QString, letter);
        QFETCH(bool, known);
        const int icon = TableReader::typeIconIndex(letter);
        if (!known) {
            QCOMPARE(icon, TableReader::typeIconIndex(QStringLiteral("C")));
            return;
        }
        for (const QString other : {"C", "N", "P", "D", "T", "X", "I", "F", "s"}) {
            if (other != letter)
                QVERIFY2(TableReader::typeIconIndex(other) != icon, qPrintable(other));
        }
    }

    void catalogueOfATable()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(rig.reader.readFieldCatalogue(QStringLiteral("T000")));
        QVERIFY(rig.host.desktop.messages.isEmpty());
        QCOMPARE(rig.host.desktop.busyDepth, 0);
        QVERIFY(rig.host.desktop.busyCalls >= 2);
        const TestFactory::Call& call = rig.factory.calls.last();
        QCOMPARE(call.exports.value(QStringLiteral("QUERY_TABLE")), QStringLiteral("T000"));
        QCOMPARE(call.exports.value(QStringLiteral("NO_DATA")), QStringLiteral("x"));
        QVERIFY(call.fieldNames.isEmpty());
        const RfcTable& fields = rig.reader.fieldsTable();
        QCOMPARE(fields.rowCount(), 8);
        QCOMPARE(cell(fields, 2, "FIELDNAME"), QStringLiteral("MTEXT"));
        QCOMPARE(cell(fields, 2, "FIELDTEXT"), QStringLiteral("Client name"));
        QCOMPARE(cell(fields, 2, "TYPE"), QStringLiteral("C"));
        QCOMPARE(cell(fields, 2, "LENGTH").toInt(), 25);
        QCOMPARE(cell(fields, 7, "FIELDNAME"), QStringLiteral("CHANGEDATE"));
        QCOMPARE(cell(fields, 7, "TYPE"), QStringLiteral("D"));
        QCOMPARE(rig.reader.dataTable().rowCount(), 0);
    }

    void catalogueOfAWideTable()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY2(rig.reader.readFieldCatalogue(QStringLiteral("KNA1")),
                 qPrintable(rig.host.desktop.messageTexts().join(u'|')));
        QCOMPARE(cell(rig.reader.fieldsTable(), 2, "FIELDNAME"), QStringLiteral("KUNNR"));
    }

    void catalogueOfAnUnknownTableShowsTheException()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(rig.reader.readFieldCatalogue(QStringLiteral("T001")));
        QVERIFY(!rig.reader.readFieldCatalogue(QStringLiteral("ZNOSUCH")));
        QCOMPARE(rig.host.desktop.messageTexts(), QStringList{"TABLE_NOT_AVAILABLE"});
        QCOMPARE(rig.reader.fieldsTable().rowCount(), 0);
        QCOMPARE(rig.host.desktop.busyDepth, 0);
        QVERIFY(rig.host.appState.connected);
    }

    void systemFailureReleasesAndTheNextReadConnectsAgain()
    {
        Rig rig;
        QVERIFY(rig.connect());
        // A read of rows that ends in a system failure drops the connection objects.
        rig.reader.systemFailure();
        QVERIFY(!rig.host.appState.connected);
        QVERIFY(!rig.connection.bapi());
        QVERIFY(!rig.connection.functions());
        QCOMPARE(rig.host.panels.last().text, QStringLiteral("Disconnected "));

        const int created = rig.factory.creations;
        QVERIFY(rig.connect());
        QCOMPARE(rig.prompt.questions.size(), 2);
        QCOMPARE(rig.factory.creations, created + 2);
        QVERIFY(rig.reader.readFieldCatalogue(QStringLiteral("ZFLOAT")));
    }
};

QTEST_MAIN(TestTableReader)
#include "tst_tablereader.moc"
