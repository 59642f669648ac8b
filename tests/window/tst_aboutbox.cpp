#include "ScriptedDesktop.h"
#include "shell/AppState.h"
#include "shell/ControlNames.h"
#include "shell/DesktopServices.h"
#include "window/main/AboutBox.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace ControlNames;

namespace
{
// An about box over a scripted desktop, with a temporary program folder.
struct AboutFixture {
    QTemporaryDir folder;
    AppState state;
    ScriptedDesktop desktop;
    QStringList statusTexts;
    DesktopServices services{desktop, state, folder.path(),
                             [this](const QString& text) { statusTexts.append(text); }};

    AboutFixture() { state.programVersion = QStringLiteral("0.3.20"); }
};

QColor linkColour(const AboutBox& box)
{
    return box.link()->palette().color(QPalette::WindowText);
}
} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showsVersionCaptionAndLink()
    {
        AboutFixture f;
        f.state.languageEnglish = true;
        AboutBox box(f.state, f.services);
        QCOMPARE(box.windowTitle(), QStringLiteral("Sobre o VUB"));
        QCOMPARE(box.versionText(), QStringLiteral("Version 0.3.20 12Mar2007"));
        QCOMPARE(box.findChild<QLabel*>(About::kVersion)->text(),
                 QStringLiteral("Version 0.3.20 12Mar2007"));
        QCOMPARE(box.link()->objectName(), About::kHomePageLink);
        QCOMPARE(box.link()->toolTip(), QStringLiteral("Vub Home Page"));
        QVERIFY(box.link()->text().startsWith(QStringLiteral("http")));
        QVERIFY(!box.findChild<QGroupBox*>(About::kNotice)->title().isEmpty());
        QVERIFY(!box.findChild<QLabel*>(About::kContact)->text().isEmpty());
        QCOMPARE(box.findChild<QPushButton*>(About::kSystemInfo)->text(),
                 QStringLiteral("System Info..."));
        QCOMPARE(box.findChild<QPushButton*>(About::kOk)->text(), QStringLiteral("OK"));
    }

    void legalWarningFollowsTheLanguage_data()
    {
        QTest::addColumn<bool>("en");
        QTest::addColumn<bool>("pt");
        QTest::addColumn<bool>("ct");
        QTest::addColumn<bool>("portuguese");
        QTest::newRow("english") << true << false << false << false;
        QTest::newRow("no flag") << false << false << false << false;
        QTest::newRow("ct") << false << false << true << false;
        QTest::newRow("portuguese") << false << true << false << true;
        QTest::newRow("both") << true << true << false << true;
    }

    void legalWarningFollowsTheLanguage()
    {
        QFETCH(bool, en);
        QFETCH(bool, pt);
        QFETCH(bool, ct);
        QFETCH(bool, portuguese);
        AboutFixture f;
        f.state.languageEnglish = en;
        f.state.languagePortuguese = pt;
        f.state.languageOther = ct;
        AboutBox box(f.state, f.services);
        const QString warning = box.legalWarning();
        QCOMPARE(box.findChild<QLabel*>(About::kLegalWarning)->text(), warning);
        QVERIFY2(
            warning.startsWith(portuguese ? QStringLiteral("Aviso") : QStringLiteral("Warning")),
            qPrintable(warning));
        QVERIFY(warning.contains(portuguese ? QStringLiteral("reprodução")
                                            : QStringLiteral("reproduction")));
    }

    void linkTurnsBlueOnHoverAndBlackOnLeave()
    {
        AboutFixture f;
        AboutBox box(f.state, f.services);
        box.show();
        QCOMPARE(linkColour(box), QColor(Qt::black));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(box.link(), &enter);
        QCOMPARE(linkColour(box), QColor(Qt::blue));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(box.link(), &leave);
        QCOMPARE(linkColour(box), QColor(Qt::black));
        QTest::mouseMove(box.link());
        QCOMPARE(linkColour(box), QColor(Qt::blue));
    }

    void clickOnTheLinkOpensItInTheBrowser()
    {
        AboutFixture f;
        f.desktop.associations.insert(QStringLiteral("html"), QStringLiteral("/usr/bin/browser"));
        AboutBox box(f.state, f.services);
        box.show();
        QTest::mouseClick(box.link(), Qt::LeftButton);
        QCOMPARE(f.desktop.starts.size(), 1);
        QCOMPARE(f.desktop.starts.at(0).program, QStringLiteral("/usr/bin/browser"));
        QCOMPARE(f.desktop.starts.at(0).arguments, QStringList{box.link()->text()});
        QVERIFY(f.desktop.messages.isEmpty());
        // The probe page used to find the browser is not left behind.
        QVERIFY(QDir(f.folder.path()).entryList(QDir::Files).isEmpty());
        QVERIFY(box.isVisible());
    }

    void linkWithoutABrowserSaysSo()
    {
        AboutFixture f;
        f.state.languageEnglish = true;
        AboutBox box(f.state, f.services);
        box.show();
        QTest::mouseClick(box.link(), Qt::LeftButton);
        QVERIFY(f.desktop.starts.isEmpty());
        QCOMPARE(f.desktop.messageTexts(),
                 QStringList{QStringLiteral("Sorry, I did not find your Browser")});
    }

    void systemInfo_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QStringList>("messages");
        const QStringList unavailable{
            QStringLiteral("System Information Is Unavailable At This Time")};
        QTest::newRow("no tool") << QString() << false << unavailable;
        QTest::newRow("tool that does not start")
            << QStringLiteral("C:\\gone\\MSINFO32.EXE") << true << unavailable;
        QTest::newRow("tool") << QStringLiteral("C:\\tools\\MSINFO32.EXE") << false
                              << QStringList();
    }

    void systemInfo()
    {
        QFETCH(QString, tool);
        QFETCH(bool, fails);
        QFETCH(QStringList, messages);
        AboutFixture f;
        f.state.languageEnglish = true;
        f.state.languagePortuguese =
            true; // a message in one form only shows once whatever the flags
        f.desktop.sysInfo = tool;
        if (fails)
            f.desktop.failingPrograms.insert(tool);
        AboutBox box(f.state, f.services);
        box.show();
        QTest::mouseClick(box.findChild<QPushButton*>(About::kSystemInfo), Qt::LeftButton);
        QCOMPARE(f.desktop.messageTexts(), messages);
        if (!tool.isEmpty()) {
            QCOMPARE(f.desktop.starts.size(), 1);
            QCOMPARE(f.desktop.starts.at(0).program, tool);
        }
        QVERIFY(box.isVisible());
    }

    void okCloses()
    {
        AboutFixture f;
        AboutBox box(f.state, f.services);
        box.show();
        QTest::mouseClick(box.findChild<QPushButton*>(About::kOk), Qt::LeftButton);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void splashIsCutTo3700TwipsAndNotModal()
    {
        AboutFixture f;
        AboutBox box(f.state, f.services);
        box.showAsSplash();
        QVERIFY(box.isVisible());
        QVERIFY(!box.isModal());
        const double dpi = box.screen()->logicalDotsPerInchY();
        QTRY_COMPARE(box.height(), int(std::lround(3700 * dpi / 1440.0)));
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
