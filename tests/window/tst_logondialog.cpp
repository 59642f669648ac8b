// The logon dialog's systems: the demo, SAP Logon's landscape, the user's own list, and how
// each is reached (SOAP, application server, message server), with what it remembers.
#include "sap/systems/OwnSystems.h"
#include "shell/AppState.h"
#include "shell/ControlNames.h"
#include "window/main/LogonDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace ControlNames;

namespace
{
const QString kLandscape = QStringLiteral(ZORV_TEST_DATA "/sap/SAPUILandscape.xml");

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}
} // namespace

class TestLogonDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    AppState m_state;
    QString rememberFile() const { return m_folder.filePath(QStringLiteral("logon.ini")); }

private Q_SLOTS:
    void cleanup()
    {
        QFile::remove(rememberFile());
        QFile::remove(OwnSystems::pathIn(m_folder.path()));
    }

    void aChosenSystemFillsHowItIsReached_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("applicationServer");
        QTest::addColumn<QString>("messageServer");
        QTest::addColumn<QString>("router");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        QTest::newRow("application server")
            << "DEV Entwicklung" << 2 << "localhost"
            << ""
            << ""
            << QStringList{Logon::kHostName, Logon::kSystemNumber, Logon::kRfcLibrary,
                           Logon::kRouter}
            << QStringList{Logon::kMessageServer, Logon::kLogonGroup};
        QTest::newRow("message server, router, SNC")
            << "PRD Produção" << 3 << ""
            << "prdms.example.com"
            << "/H/router.example.com/S/3299/H/"
            << QStringList{Logon::kMessageServer, Logon::kLogonGroup, Logon::kSystemId,
                           Logon::kRfcLibrary}
            << QStringList{Logon::kHostName, Logon::kSystemNumber};
        QTest::newRow("a SOAP address")
            << "https://sap.example.com:44300" << 1 << ""
            << ""
            << "" << QStringList{Logon::kHostName}
            << QStringList{Logon::kRfcLibrary, Logon::kMessageServer, Logon::kRouter};
        QTest::newRow("the demo") << "Demo system (built-in)" << 0 << ""
                                  << ""
                                  << "" << QStringList{}
                                  << QStringList{Logon::kHostName, Logon::kRfcLibrary,
                                                 Logon::kMessageServer};
    }
    void aChosenSystemFillsHowItIsReached()
    {
        QFETCH(QString, system);
        QFETCH(int, way);
        QFETCH(QString, applicationServer);
        QFETCH(QString, messageServer);
        QFETCH(QString, router);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        LogonDialog dialog(m_state, rememberFile());
        dialog.useLandscape(kLandscape);
        auto* systems = dialog.findChild<QComboBox*>(Logon::kSystem);
        QCOMPARE(items(systems), (QStringList{"Demo system (built-in)", "DEV Entwicklung",
                                              "PRD Produção", "QAS behind a router"}));
        dialog.show();
        systems->setCurrentText(system);
        QCOMPARE(dialog.findChild<QComboBox*>(Logon::kConnection)->currentIndex(), way);
        for (const QString& name : shown)
            QVERIFY2(dialog.findChild<QLineEdit*>(name)->isVisible(), qPrintable(name));
        for (const QString& name : hidden)
            QVERIFY2(!dialog.findChild<QLineEdit*>(name)->isVisible(), qPrintable(name));
        dialog.findChild<QLineEdit*>(Logon::kRfcLibrary)
            ->setText(QStringLiteral("/opt/nwrfcsdk/lib/libsapnwrfc.so"));
        const LogonData entered = dialog.entered();
        QCOMPARE(entered.native.applicationServer, applicationServer);
        QCOMPARE(entered.native.messageServer, messageServer);
        QCOMPARE(entered.native.router, router);
        QCOMPARE(entered.isDemo(), way == 0);
        QCOMPARE(entered.native.isSet(), way >= 2);
        if (way >= 2) {
            QCOMPARE(entered.system, system);
            QCOMPARE(entered.native.library, QStringLiteral("/opt/nwrfcsdk/lib/libsapnwrfc.so"));
        }
        if (way == 3) {
            QCOMPARE(entered.native.logonGroup, QStringLiteral("FINANCE"));
            QCOMPARE(entered.native.systemId, QStringLiteral("PRD"));
            QCOMPARE(entered.native.sncPartner, QStringLiteral("p:CN=PRD, O=Example"));
        }
    }

    void aKeptSystemIsOfferedNextTimeWithoutItsPassword()
    {
        {
            LogonDialog dialog(m_state, rememberFile());
            dialog.useLandscape(kLandscape);
            dialog.findChild<QComboBox*>(Logon::kSystem)
                ->setCurrentText(QStringLiteral("DEV Entwicklung"));
            dialog.findChild<QLineEdit*>(Logon::kPassword)->setText(QStringLiteral("s3cr3t"));
            dialog.findChild<QCheckBox*>(Logon::kKeepSystem)->setChecked(true);
            dialog.keepIfChosen();
            dialog.remember();
        }
        for (const QString& file : {rememberFile(), OwnSystems::pathIn(m_folder.path())}) {
            QFile written(file);
            QVERIFY(written.open(QIODevice::ReadOnly));
            QVERIFY(!written.readAll().contains("s3cr3t"));
        }
        LogonDialog again(m_state, rememberFile());
        const LogonData remembered = again.remembered();
        QCOMPARE(remembered.system, QStringLiteral("DEV Entwicklung"));
        QCOMPARE(remembered.native.applicationServer, QStringLiteral("localhost"));
        QVERIFY(remembered.password.isEmpty());
        // The user's own first, then SAP Logon's from the remembered landscape file.
        QCOMPARE(again.systems().size(), 4);
        QCOMPARE(again.systems().first().origin, QStringLiteral("Zorv"));
        QCOMPARE(again.systems().first().server.instanceNumber, QStringLiteral("00"));
    }

    void aRememberedNameIsReachedAsItsEntrySays()
    {
        LogonDialog dialog(m_state, rememberFile());
        dialog.useLandscape(kLandscape);
        LogonData last;
        last.system = QStringLiteral("PRD Produção");
        last.user = QStringLiteral("ME");
        dialog.fill(last, QString());
        QCOMPARE(dialog.findChild<QComboBox*>(Logon::kConnection)->currentIndex(), 3);
        QCOMPARE(dialog.entered().native.messageServer, QStringLiteral("prdms.example.com"));
    }

    void aLandscapeThatCannotServeIsNamed()
    {
        const QString broken = m_folder.filePath(QStringLiteral("broken.xml"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<Landscape><Services>");
        file.close();
        LogonDialog dialog(m_state, rememberFile());
        dialog.show();
        dialog.useLandscape(broken);
        auto* error = dialog.findChild<QLabel*>(Logon::kError);
        QVERIFY(error->isVisible());
        QVERIFY2(error->text().contains(QStringLiteral("not XML")), qPrintable(error->text()));
        QCOMPARE(dialog.findChild<QComboBox*>(Logon::kSystem)->count(), 1);
    }

    // In Portuguese the demo system has a Portuguese name on the screen, and stays the demo
    // system for the logon and in what the dialog remembers.
    void thePortugueseDemoNameStandsForTheDemo()
    {
        const QString portugueseName = QStringLiteral("Sistema de demonstração (embutido)");
        AppState portuguese;
        portuguese.languagePortuguese = true;
        {
            LogonDialog dialog(portuguese, rememberFile());
            dialog.fill(dialog.remembered(), {});
            auto* system = dialog.findChild<QComboBox*>(Logon::kSystem);
            QCOMPARE(system->itemText(0), portugueseName);
            QCOMPARE(system->currentText(), portugueseName);
            QCOMPARE(dialog.findChild<QComboBox*>(Logon::kConnection)->currentIndex(), 0);
            const LogonData entered = dialog.entered();
            QCOMPARE(entered.system, LogonData::demoSystemName());
            QVERIFY(entered.isDemo());
            dialog.remember();
            // Typed in English while the screen is Portuguese, it still names the demo.
            system->setCurrentText(LogonData::demoSystemName());
            QCOMPARE(system->currentText(), LogonData::demoSystemName());
            QVERIFY(dialog.entered().isDemo());
        }
        QCOMPARE(LogonDialog(m_state, rememberFile()).remembered().system,
                 LogonData::demoSystemName());
        LogonDialog english(m_state, rememberFile());
        english.fill(english.remembered(), {});
        QCOMPARE(english.findChild<QComboBox*>(Logon::kSystem)->currentText(),
                 LogonData::demoSystemName());
    }
};

QTEST_MAIN(TestLogonDialog)
#include "tst_logondialog.moc"
