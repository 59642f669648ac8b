#include "DemoHome.h"
#include "SapTestKit.h"
#include "sap/SapConnection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(LogonData)

namespace
{
const QString kConnectedText = QStringLiteral("Demo system (built-in) 100 DEMO ");
const QString kConnectedTip = QStringLiteral("DEMO Demo system (built-in) 100 EN SN00 localhost");
const QString kDisconnectedTip = QStringLiteral("maria is not connected ");

struct Rig {
    Rig() { host.commands = &connection; }

    FakeHost host;
    ScriptedPrompt prompt;
    TestFactory factory;
    SapConnection connection{host, factory, prompt};
};
} // namespace

class TestSapConnection : public QObject
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

    void connectLogsBothConnectionsOnAndPaintsThePanel_data()
    {
        QTest::addColumn<LogonData>("logon");
        QTest::newRow("demo") << demoLogon();
        // A native system through the stand-in of SAP's library, which serves the demo.
        LogonData native = demoLogon();
        native.system = QStringLiteral("DEV");
        native.native.applicationServer = QStringLiteral("localhost");
        native.native.instanceNumber = QStringLiteral("00");
        native.native.library = QStringLiteral(ZORV_STANDIN_LIBRARY);
        QTest::newRow("native RFC") << native;
    }
    void connectLogsBothConnectionsOnAndPaintsThePanel()
    {
        QFETCH(LogonData, logon);
        Rig rig;
        rig.prompt.answers.enqueue(logon);
        QVERIFY(rig.host.connectToSystem());
        QVERIFY(rig.host.appState.connected);
        QCOMPARE(rig.prompt.questions.size(), 1); // the second logon asks nobody
        QVERIFY(rig.prompt.questions.first().error.isEmpty());
        QVERIFY(rig.host.desktop.messages.isEmpty());
        const FakeHost::Panel panel = rig.host.panels.last();
        QCOMPARE(panel.image, StatusHost::ConnectionImage::Connected);
        if (logon.isDemo()) {
            QCOMPARE(panel.text, kConnectedText);
            QCOMPARE(panel.toolTip, kConnectedTip);
        }

        const RfcConnection& bapi = rig.connection.bapi()->connection;
        const RfcConnection& functions = rig.connection.functions()->connection;
        QVERIFY(bapi.isConnected());
        QVERIFY(functions.isConnected());
        QVERIFY(functions.useDefaultSystem);
        for (const RfcConnection* c : {&bapi, &functions}) {
            QCOMPARE(c->user, QStringLiteral("DEMO"));
            QCOMPARE(c->client, QStringLiteral("100"));
            QCOMPARE(c->language, QStringLiteral("EN"));
            QCOMPARE(c->systemId, QStringLiteral("DMO"));
            QCOMPARE(c->systemNumber, QStringLiteral("00"));
            QCOMPARE(c->hostName, QStringLiteral("localhost"));
            QCOMPARE(c->native, logon.native);
        }
        QCOMPARE(bapi.release, QStringLiteral("46C"));
    }

    void cancelledLogonLeavesItDisconnectedWithoutAMessage()
    {
        Rig rig;
        QVERIFY(!rig.host.connectToSystem());
        QVERIFY(!rig.host.appState.connected);
        QCOMPARE(rig.prompt.questions.size(), 1);
        QVERIFY(rig.host.desktop.messages.isEmpty());
        QCOMPARE(rig.host.statusTexts.last(), QString());
        const FakeHost::Panel panel = rig.host.panels.last();
        QCOMPARE(panel.image, StatusHost::ConnectionImage::Disconnected);
        QCOMPARE(panel.text, QStringLiteral("Disconnected "));
        QCOMPARE(panel.toolTip, kDisconnectedTip);
    }

    void failedAttemptsAreRetriedWithTheirReason_data()
    {
        QTest::addColumn<LogonData>("wrong");

        QTest::newRow("wrong password") << demoLogon("DEMO", "secret");
        QTest::newRow("wrong user") << demoLogon("NOBODY");
        QTest::newRow("unknown language") << demoLogon("DEMO", "welcome", "XX");
        LogonData client = demoLogon();
        client.client = QStringLiteral("200");
        QTest::newRow("wrong client") << client;
    }

    void failedAttemptsAreRetriedWithTheirReason()
    {
        QFETCH(LogonData, wrong);
        Rig rig;
        rig.prompt.answers.enqueue(wrong);
        rig.prompt.answers.enqueue(demoLogon());
        QVERIFY(rig.host.connectToSystem());
        QCOMPARE(rig.prompt.questions.size(), 2);
        QVERIFY(rig.prompt.questions.at(0).error.isEmpty());
        QVERIFY(!rig.prompt.questions.at(1).error.isEmpty());
        // The dialog comes back with what was typed, but never the password.
        QCOMPARE(rig.prompt.questions.at(1).defaults.user, wrong.user);
        QCOMPARE(rig.prompt.questions.at(1).defaults.client, wrong.client);
        QVERIFY(rig.prompt.questions.at(1).defaults.password.isEmpty());
        QVERIFY(rig.host.desktop.messages.isEmpty());
        QCOMPARE(rig.host.panels.last().text, kConnectedText);
    }

    void connectingAgainShowsWhoIsConnected()
    {
        Rig rig;
        rig.prompt.answers.enqueue(demoLogon());
        QVERIFY(rig.host.connectToSystem());
        const qsizetype panels = rig.host.panels.size();
        QVERIFY(rig.host.connectToSystem());
        QCOMPARE(rig.prompt.questions.size(), 1);
        QCOMPARE(rig.host.desktop.messageTexts(),
                 QStringList{"DEMO is already connected to DMO   \r\n\r\nSystem: Demo system "
                             "(built-in)\r\nClient: 100\r\nLanguage: EN\r\nSystem Number: "
                             "00\r\nHost: localhost\r\nSAP Release: 46C"});
        QCOMPARE(rig.host.desktop.messages.first().buttons, Desktop::Buttons::Ok);
        QCOMPARE(rig.host.desktop.messages.first().icon, Desktop::Icon::Information);
        QVERIFY(rig.host.desktop.messages.first().title.isEmpty());
        QVERIFY(rig.host.appState.connected);
        QCOMPARE(rig.host.panels.size(), panels + 1);
        QCOMPARE(rig.host.panels.last().text, kConnectedText);
    }

    void emptyLanguageAsksForItAndLogsOnAfresh()
    {
        Rig rig;
        rig.prompt.answers.enqueue(demoLogon("DEMO", "welcome", ""));
        rig.prompt.answers.enqueue(demoLogon("DEMO", "welcome", "PT"));
        QVERIFY(rig.host.connectToSystem());
        QCOMPARE(rig.host.desktop.messageTexts(), QStringList{"Enter with the language, please"});
        QCOMPARE(rig.prompt.questions.size(), 2);
        QVERIFY(rig.host.appState.connected);
        QCOMPARE(rig.host.connectClicks, 2);
        // A full logoff came between the two logons.
        bool disconnected = false;
        for (const FakeHost::Panel& panel : rig.host.panels)
            disconnected = disconnected || panel.text == u"Disconnected ";
        QVERIFY(disconnected);
        QCOMPARE(rig.host.panels.last().toolTip,
                 QStringLiteral("DEMO Demo system (built-in) 100 PT SN00 localhost"));
        QCOMPARE(rig.connection.functions()->connection.language, QStringLiteral("PT"));
        QCOMPARE(rig.factory.creations, 4);
    }

    void disconnectWithNothingLoggedOnStillRepaints()
    {
        Rig rig;
        rig.host.appState.connected = true;
        rig.connection.logOff();
        QVERIFY(!rig.host.appState.connected);
        QCOMPARE(rig.host.panels.size(), 1);
        QCOMPARE(rig.host.panels.last().image, StatusHost::ConnectionImage::Disconnected);
        QCOMPARE(rig.host.panels.last().text, QStringLiteral("Disconnected "));
        QCOMPARE(rig.host.panels.last().toolTip, kDisconnectedTip);
        QVERIFY(rig.host.desktop.messages.isEmpty());
    }

    void disconnectLogsBothOff()
    {
        Rig rig;
        rig.prompt.answers.enqueue(demoLogon());
        QVERIFY(rig.host.connectToSystem());
        rig.connection.logOff();
        QVERIFY(!rig.host.appState.connected);
        QVERIFY(!rig.connection.bapi()->connection.isConnected());
        QVERIFY(!rig.connection.functions()->connection.isConnected());
        QVERIFY(rig.connection.bapi()->connection.password.isEmpty());
        QCOMPARE(rig.host.panels.last().text, QStringLiteral("Disconnected "));
    }

    void releaseDropsTheObjectsAndTheNextConnectAsksAgain()
    {
        Rig rig;
        rig.prompt.answers.enqueue(demoLogon());
        QVERIFY(rig.host.connectToSystem());
        rig.connection.releaseComponents();
        QVERIFY(!rig.connection.bapi());
        QVERIFY(!rig.connection.functions());
        QVERIFY(!rig.host.appState.connected);
        QCOMPARE(rig.host.panels.last().text, QStringLiteral("Disconnected "));
        rig.prompt.answers.enqueue(demoLogon());
        QVERIFY(rig.host.connectToSystem());
        QCOMPARE(rig.prompt.questions.size(), 2);
        QVERIFY(rig.connection.bapi());
    }

    void missingComponentsAreReported_data()
    {
        QTest::addColumn<QString>("sapLogon");
        QTest::addColumn<QString>("advice");

        QTest::newRow("SAP Logon absent") << ""
                                          << "To solve this problem please reinstall Vub";
        QTest::newRow("SAP Logon present")
            << "c:\\sap\\saplogon.exe"
            << "To solve this problem please reinstall ( update ) your SAPGUI";
    }

    void missingComponentsAreReported()
    {
        QFETCH(QString, sapLogon);
        QFETCH(QString, advice);
        Rig rig;
        rig.factory.setUp = false;
        if (!sapLogon.isEmpty())
            rig.host.desktop.searchResults.insert(QStringLiteral("c:\\|saplogon.exe"), sapLogon);
        QVERIFY(!rig.host.connectToSystem());
        QVERIFY(!rig.host.appState.connected);
        QCOMPARE(rig.host.desktop.messageTexts(),
                 (QStringList{"Component ActiveX not installed:  SAP.BAPI.1\r\nSome files are "
                              "missing!",
                              advice}));
        QCOMPARE(rig.host.desktop.messages.first().buttons, Desktop::Buttons::Ok);
        QCOMPARE(rig.host.desktop.messages.last().icon, Desktop::Icon::Information);
        QCOMPARE(rig.host.desktop.searches.size(), 1);
        QCOMPARE(rig.host.desktop.searches.first().root, QStringLiteral("c:\\"));
        QCOMPARE(rig.host.desktop.searches.first().name, QStringLiteral("saplogon.exe"));
        QCOMPARE(rig.host.desktop.busyDepth, 0);
        QVERIFY(rig.host.desktop.busyCalls > 0);
        QVERIFY(rig.prompt.questions.isEmpty());
        QVERIFY(!rig.connection.bapi());
    }

    // A demo database that cannot be set up matters only when the demo system is chosen, and
    // then its own reason is shown; a real system is tried as if the demo did not exist.
    void aBrokenDemoDatabaseMattersOnlyForTheDemo_data()
    {
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<bool>("demo");
        QTest::newRow("a file where its folder should be, demo") << "file/below" << true;
        QTest::newRow("a folder in its place, demo") << "folder" << true;
        QTest::newRow("a file where its folder should be, URL system") << "file/below" << false;
        QTest::newRow("a folder in its place, URL system") << "folder" << false;
    }
    void aBrokenDemoDatabaseMattersOnlyForTheDemo()
    {
        QFETCH(QString, blocker);
        QFETCH(bool, demo);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QString home = dir.filePath(blocker);
        if (blocker == u"folder") {
            home = dir.path();
            QVERIFY(QDir(home).mkpath(QStringLiteral("demo.sqlite/inside")));
        }
        qputenv("ZORV_HOME", home.toUtf8());
        FakeHost host;
        ScriptedPrompt prompt;
        LogonData logon = demoLogon();
        if (!demo)
            logon.system = QStringLiteral("http://127.0.0.1:1"); // nothing listens there
        prompt.answers.enqueue(logon);
        SystemDestinationFactory factory;
        SapConnection connection(host, factory, prompt);
        host.commands = &connection;
        const bool connected = host.connectToSystem();
        qputenv("ZORV_HOME", m_home.path().toUtf8());

        QVERIFY(!connected);
        // No talk of missing components or of reinstalling: the logon itself failed.
        QCOMPARE(host.desktop.messageTexts(), QStringList{});
        QCOMPARE(prompt.questions.size(), 2);
        const QString error = prompt.questions.at(1).error;
        if (demo) {
            // Where the database should be, and what stopped it.
            const QString prefix =
                QStringLiteral("The demo database ") +
                QDir::toNativeSeparators(QDir(home).filePath(QStringLiteral("demo.sqlite"))) +
                QStringLiteral(" cannot be set up: ");
            QVERIFY2(error.startsWith(prefix), qPrintable(error));
            QVERIFY2(error.size() > prefix.size() + 5, qPrintable(error));
        } else {
            QVERIFY2(!error.isEmpty() && !error.contains(QStringLiteral("demo")),
                     qPrintable(error));
        }
    }

    void failedSecondLogonReleasesTheComponents()
    {
        Rig rig;
        rig.factory.failCreation = 2; // the function control's logon
        rig.prompt.answers.enqueue(demoLogon());
        QVERIFY(!rig.host.connectToSystem());
        QVERIFY(!rig.host.appState.connected);
        QCOMPARE(rig.host.desktop.messageTexts(),
                 QStringList{" Connection to R/3 System RFC failed! "});
        QVERIFY(!rig.connection.bapi());
        QVERIFY(!rig.connection.functions());
        QCOMPARE(rig.prompt.questions.size(), 1);
        QCOMPARE(rig.host.panels.last().text, QStringLiteral("Disconnected "));
    }

    void systemInformationConnectsFirstAndNamesTheDatabase()
    {
        Rig rig;
        rig.prompt.answers.enqueue(demoLogon());
        rig.connection.showSystemInformation();
        QCOMPARE(rig.host.connectClicks, 1);
        QVERIFY(rig.host.appState.connected);
        QCOMPARE(rig.host.desktop.messages.size(), 1);
        const ScriptedDesktop::Message message = rig.host.desktop.messages.first();
        QCOMPARE(message.title, QStringLiteral("SAP System Information"));
        for (const QString& line :
             {QStringLiteral("System: Demo system (built-in)"), QStringLiteral("Client: 100"),
              QStringLiteral("User: DEMO"), QStringLiteral("Language: EN"),
              QStringLiteral("SAP Release: 46C"),
              QStringLiteral("Database: ") + DemoSystem::databasePath()})
            QVERIFY2(message.text.split(QStringLiteral("\r\n")).contains(line), qPrintable(line));
    }

    void systemInformationStopsQuietlyWhenTheLogonIsCancelled()
    {
        Rig rig;
        rig.connection.showSystemInformation();
        QCOMPARE(rig.host.connectClicks, 1);
        QVERIFY(rig.host.desktop.messages.isEmpty());
    }

    void shutdownLogsOffAndDropsTheObjects()
    {
        Rig rig;
        rig.prompt.answers.enqueue(demoLogon());
        QVERIFY(rig.host.connectToSystem());
        rig.connection.shutdown();
        QVERIFY(!rig.host.appState.connected);
        QVERIFY(!rig.connection.bapi());
        QVERIFY(!rig.connection.functions());
    }

    void systemsAreReachedByTheirKind()
    {
        SystemDestinationFactory factory;
        BiText error;
        QVERIFY(factory.create(demoLogon(), &error));
        // Any other system is reached over SOAP at the address given.
        LogonData remote = demoLogon();
        remote.system = QStringLiteral("https://sap.example.com:44300");
        const auto destination = factory.create(remote, &error);
        QVERIFY(destination);
        QVERIFY(destination->details().contains(QStringLiteral("https://sap.example.com:44300")));
        // Without an address there is nothing to reach.
        remote.system = QStringLiteral("https://");
        remote.hostName.clear();
        QVERIFY(!factory.create(remote, &error));
        QCOMPARE(error.en,
                 QStringLiteral("Give the system as https://host:port, or its host and port"));
        QCOMPARE(error.pt, QStringLiteral(
                               "Informe o sistema como https://host:porta, ou o seu host e porta"));
    }
};

QTEST_MAIN(TestSapConnection)
#include "tst_sapconnection.moc"
