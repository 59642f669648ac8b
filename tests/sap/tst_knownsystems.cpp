// Systems by name: SAP Logon's landscape file (XML and the older ini) and Zorv's own list.
#include "sap/systems/OwnSystems.h"
#include "sap/systems/SapLogonLandscape.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(KnownSystem)

namespace
{
KnownSystem server(const char* name, const char* sid, const char* host, const char* instance,
                   const char* router = "")
{
    KnownSystem system;
    system.name = QString::fromUtf8(name);
    system.systemId = QString::fromLatin1(sid);
    system.server.applicationServer = QString::fromLatin1(host);
    system.server.instanceNumber = QString::fromLatin1(instance);
    system.server.router = QString::fromLatin1(router);
    system.origin = QStringLiteral("SAP Logon");
    return system;
}

const char* const kRouter = "/H/router.example.com/S/3299/H/";
} // namespace

class TestKnownSystems : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

    QString file(const char* name, const QByteArray& text)
    {
        const QString path = m_folder.filePath(QString::fromLatin1(name));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size())
            return {};
        return path;
    }

private Q_SLOTS:
    void landscapeFilesGiveTheirSystems_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QVector<KnownSystem>>("systems");
        KnownSystem production;
        production.name = QStringLiteral("PRD Produção");
        production.systemId = QStringLiteral("PRD");
        production.server.messageServer = QStringLiteral("prdms.example.com");
        production.server.messageServerPort = QStringLiteral("3600");
        production.server.systemId = QStringLiteral("PRD");
        production.server.logonGroup = QStringLiteral("FINANCE");
        production.server.router = QString::fromLatin1(kRouter);
        production.server.sncPartner = QStringLiteral("p:CN=PRD, O=Example");
        production.origin = QStringLiteral("SAP Logon");
        QTest::newRow("XML") << QStringLiteral(ZORV_TEST_DATA "/sap/SAPUILandscape.xml")
                             << QVector<KnownSystem>{
                                    server("DEV Entwicklung", "DEV", "localhost", "00"), production,
                                    server("QAS behind a router", "QAS", "qas.example.com", "12",
                                           kRouter)};
        QTest::newRow("ini") << QStringLiteral(ZORV_TEST_DATA "/sap/saplogon.ini")
                             << QVector<KnownSystem>{
                                    server("DEV Entwicklung", "DEV", "localhost", "00"),
                                    server("QAS Qualität", "QAS", "qas.example.com", "12",
                                           kRouter)};
    }
    void landscapeFilesGiveTheirSystems()
    {
        QFETCH(QString, path);
        QFETCH(QVector<KnownSystem>, systems);
        const SapLogonLandscape::Result read = SapLogonLandscape::read(path);
        QVERIFY2(read.error.en.isEmpty(), qPrintable(read.error.en));
        QCOMPARE(read.systems.size(), systems.size());
        for (qsizetype i = 0; i < systems.size(); ++i) {
            QCOMPARE(read.systems.at(i).name, systems.at(i).name);
            QVERIFY2(read.systems.at(i) == systems.at(i), qPrintable(systems.at(i).name));
        }
    }

    void badLandscapeFilesAreRefusedWithASentence_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("portuguese");
        QTest::newRow("missing") << m_folder.filePath(QStringLiteral("none.xml"))
                                 << "does not exist"
                                 << "não existe";
        QTest::newRow("a folder") << m_folder.path() << "not a plain file"
                                  << "não é um arquivo comum";
        QTest::newRow("not XML") << file("text.xml", "PRD = prd.example.com 00\n") << "not XML"
                                 << "não é XML";
        QTest::newRow("cut XML") << file("cut.xml", "<Landscape><Services><Service type=")
                                 << "not XML"
                                 << "linha 1)";
        QTest::newRow("another document")
            << file("other.xml", "<html><body>SAP</body></html>") << "no SAP Logon landscape"
            << "não contém sistemas do SAP Logon";
        QTest::newRow("document type")
            << file("dtd.xml", "<!DOCTYPE Landscape [<!ENTITY a \"b\">]><Landscape/>")
            << "document type"
            << "tipo de documento";
        QByteArray huge(SapLogonLandscape::kLargestFile + 1, ' ');
        huge.prepend("<Landscape>");
        QTest::newRow("huge") << file("huge.xml", huge) << "at most 16 MB"
                              << "no máximo 16 MB";
        QTest::newRow("ini without servers")
            << file("empty.ini", "[Description]\nItem1=X\n") << "no [Server] section"
            << "seção [Server]";
    }
    void badLandscapeFilesAreRefusedWithASentence()
    {
        QFETCH(QString, path);
        QFETCH(QString, sentence);
        QFETCH(QString, portuguese);
        QVERIFY(!path.isEmpty());
        const SapLogonLandscape::Result read = SapLogonLandscape::read(path);
        QVERIFY(read.systems.isEmpty());
        QVERIFY2(read.error.en.contains(sentence), qPrintable(read.error.en));
        // Both forms name the file the user chose.
        QVERIFY2(read.error.pt.contains(portuguese), qPrintable(read.error.pt));
        const QString name = QDir::toNativeSeparators(path);
        QVERIFY(read.error.en.contains(name));
        QVERIFY(read.error.pt.contains(name));
    }

    void instanceNumbersComeFromPorts_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("instance");
        QTest::newRow("3200") << "3200"
                              << "00";
        QTest::newRow("3299") << "3299"
                              << "99";
        QTest::newRow("3300, a gateway") << "3300"
                                         << "";
        QTest::newRow("none") << ""
                              << "";
        QTest::newRow("32001") << "32001"
                               << "";
    }
    void instanceNumbersComeFromPorts()
    {
        QFETCH(QString, port);
        QFETCH(QString, instance);
        QCOMPARE(SapLogonLandscape::instanceOfPort(port), instance);
    }

    void ownSystemsRoundTripWithoutPasswords()
    {
        KnownSystem soap;
        soap.name = QStringLiteral("Sandbox über SOAP");
        soap.url = QStringLiteral("https://sandbox.example.com:44300");
        KnownSystem router = server("QAS = quality; [test]", "QAS", "qas.example.com", "12",
                                    "/H/router with space/S/3299/H/");
        KnownSystem balanced;
        balanced.name = QStringLiteral("PRD");
        balanced.server.messageServer = QStringLiteral("prdms.example.com");
        balanced.server.systemId = QStringLiteral("PRD");
        balanced.server.logonGroup = QStringLiteral("PUBLIC");
        const QVector<KnownSystem> systems{soap, router, balanced};
        const QString path = OwnSystems::pathIn(m_folder.path());
        QVERIFY(OwnSystems::write(path, systems));
        const QVector<KnownSystem> read = OwnSystems::read(path);
        QCOMPARE(read.size(), 3);
        for (qsizetype i = 0; i < read.size(); ++i) {
            KnownSystem expected = systems.at(i);
            expected.origin = QStringLiteral("Zorv");
            expected.systemId = read.at(i).systemId;
            QVERIFY2(read.at(i) == expected, qPrintable(expected.name));
        }
        QCOMPARE(OwnSystems::find(read, QStringLiteral("prd"))->server.messageServer,
                 QStringLiteral("prdms.example.com"));
        QVERIFY(!OwnSystems::find(read, QStringLiteral("DEV")));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(!written.readAll().toLower().contains("passw"));
    }
};

QTEST_GUILESS_MAIN(TestKnownSystems)
#include "tst_knownsystems.moc"
