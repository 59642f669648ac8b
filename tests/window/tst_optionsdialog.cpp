#include "shell/AppState.h"
#include "shell/ControlNames.h"
#include "window/main/LogonDialog.h"
#include "window/main/OptionsDialog.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace ControlNames;

namespace
{
template <typename T> T* control(const OptionsDialog& dialog, const QString& name)
{
    auto* found = dialog.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

// A click on the button's circle: a radio button takes clicks on its circle and its text only,
// and the dialog's column may be wider than both.
void clickRadio(QRadioButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

struct DialogTexts {
    QString window, languageBox, separatorBox, tip;
};

DialogTexts textsOf(const OptionsDialog& dialog)
{
    return {dialog.windowTitle(), control<QGroupBox>(dialog, Options::kLanguageBox)->title(),
            control<QGroupBox>(dialog, Options::kSeparatorBox)->title(),
            control<QGroupBox>(dialog, Options::kLanguageBox)->toolTip()};
}

void verifyEnglish(const OptionsDialog& dialog)
{
    const DialogTexts texts = textsOf(dialog);
    QCOMPARE(texts.window, QStringLiteral("Options"));
    QCOMPARE(texts.languageBox, QStringLiteral("Language"));
    QCOMPARE(texts.separatorBox, QStringLiteral("List Separator"));
    QCOMPARE(texts.tip, QStringLiteral("Language used in Quillon"));
}

void verifyPortuguese(const OptionsDialog& dialog)
{
    const DialogTexts texts = textsOf(dialog);
    QCOMPARE(texts.window, QStringLiteral("Opções"));
    QCOMPARE(texts.languageBox, QStringLiteral("Linguagem"));
    QCOMPARE(texts.separatorBox, QStringLiteral("Separador de Lista"));
    QCOMPARE(texts.tip, QStringLiteral("Linguagem usada em Quillon"));
}
} // namespace

class TestOptionsDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void opensWithTheSeparatorAndLanguage()
    {
        AppState state;
        state.languageEnglish = true;
        state.listSeparator = QStringLiteral("\t");
        OptionsDialog dialog(state, {});
        QCOMPARE(control<QLineEdit>(dialog, Options::kSeparator)->text(), QStringLiteral("\t"));
        QVERIFY(control<QRadioButton>(dialog, Options::kEnglish)->isChecked());
        QVERIFY(!control<QRadioButton>(dialog, Options::kPortuguese)->isChecked());
        QCOMPARE(control<QRadioButton>(dialog, Options::kEnglish)->text(),
                 QStringLiteral("English"));
        QCOMPARE(control<QRadioButton>(dialog, Options::kPortuguese)->text(),
                 QStringLiteral("Português"));
        QCOMPARE(control<QPushButton>(dialog, Options::kOk)->text(), QStringLiteral("OK"));
        verifyEnglish(dialog);
    }

    void languageClicksApplyAtOnce()
    {
        AppState state;
        state.languageEnglish = true;
        state.languageOther = true;
        int applied = 0;
        OptionsDialog dialog(state, [&] { ++applied; });
        dialog.show();
        const int atOpen = applied;

        clickRadio(control<QRadioButton>(dialog, Options::kPortuguese));
        QVERIFY(state.languagePortuguese);
        QVERIFY(!state.languageEnglish);
        QVERIFY(state.languageOther);
        QCOMPARE(applied, atOpen + 1);
        QVERIFY(control<QRadioButton>(dialog, Options::kPortuguese)->isChecked());
        QVERIFY(!control<QRadioButton>(dialog, Options::kEnglish)->isChecked());
        verifyPortuguese(dialog);

        clickRadio(control<QRadioButton>(dialog, Options::kEnglish));
        QVERIFY(state.languageEnglish);
        QVERIFY(!state.languagePortuguese);
        QVERIFY(state.languageOther);
        QCOMPARE(applied, atOpen + 2);
        QVERIFY(control<QRadioButton>(dialog, Options::kEnglish)->isChecked());
        verifyEnglish(dialog);
    }

    void bothFlagsAtOpenEndPortuguese()
    {
        AppState state;
        state.languageEnglish = true;
        state.languagePortuguese = true;
        int applied = 0;
        OptionsDialog dialog(state, [&] { ++applied; });
        QVERIFY(state.languagePortuguese);
        QVERIFY(!state.languageEnglish);
        QVERIFY(!state.languageOther);
        QVERIFY(control<QRadioButton>(dialog, Options::kPortuguese)->isChecked());
        QVERIFY(!control<QRadioButton>(dialog, Options::kEnglish)->isChecked());
        QCOMPARE(applied, 2);
        verifyPortuguese(dialog);
    }

    void ctAloneSelectsNoOptionButShowsEnglish()
    {
        AppState state;
        state.languageOther = true;
        OptionsDialog dialog(state, {});
        QVERIFY(!control<QRadioButton>(dialog, Options::kEnglish)->isChecked());
        QVERIFY(!control<QRadioButton>(dialog, Options::kPortuguese)->isChecked());
        QVERIFY(!state.languageEnglish);
        QVERIFY(!state.languagePortuguese);
        QVERIFY(state.languageOther);
        verifyEnglish(dialog);
    }

    void okTakesTheSeparator_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("separator");
        QTest::newRow("empty gives semicolon") << QString() << QStringLiteral(";");
        QTest::newRow("two characters kept") << QStringLiteral("||") << QStringLiteral("||");
        QTest::newRow("blank kept") << QStringLiteral(" ") << QStringLiteral(" ");
        QTest::newRow("comma") << QStringLiteral(",") << QStringLiteral(",");
        QTest::newRow("blanks around kept") << QStringLiteral(" ; ") << QStringLiteral(" ; ");
    }

    void okTakesTheSeparator()
    {
        QFETCH(QString, typed);
        QFETCH(QString, separator);
        AppState state;
        state.languageEnglish = true;
        state.listSeparator = QStringLiteral("#");
        OptionsDialog dialog(state, {});
        dialog.show();
        auto* text = control<QLineEdit>(dialog, Options::kSeparator);
        text->selectAll();
        QTest::keyClick(text, Qt::Key_Delete);
        QTest::keyClicks(text, typed);
        QTest::mouseClick(control<QPushButton>(dialog, Options::kOk), Qt::LeftButton);
        QCOMPARE(state.listSeparator, separator);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    }

    // The sessions a read calls at once: what the settings hold, 3 when they hold nothing or
    // no number; kept in the settings only once the user changes it.
    void okTakesTheSessions_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("typed"); // empty: left as shown
        QTest::addColumn<QString>("kept");
        QTest::newRow("a new settings file, left alone")
            << QString() << 3 << QString() << QString();
        QTest::newRow("a new settings file, one session")
            << QString() << 3 << QStringLiteral("1") << QStringLiteral("1");
        QTest::newRow("eight kept") << QStringLiteral("8") << 8 << QString() << QStringLiteral("8");
        QTest::newRow("too many shown as the most")
            << QStringLiteral("100") << 8 << QStringLiteral("5") << QStringLiteral("5");
        QTest::newRow("no number")
            << QStringLiteral("many") << 3 << QString() << QStringLiteral("many");
        QTest::newRow("past the most is not taken")
            << QStringLiteral("2") << 2 << QStringLiteral("9") << QStringLiteral("2");
    }

    void okTakesTheSessions()
    {
        QFETCH(QString, setting);
        QFETCH(int, shown);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        AppState state;
        state.languagePortuguese = true;
        state.readSessions = setting;
        OptionsDialog dialog(state, {});
        dialog.show();
        auto* sessions = control<QSpinBox>(dialog, Options::kSessions);
        QCOMPARE(sessions->value(), shown);
        QCOMPARE(control<QGroupBox>(dialog, Options::kSessionsBox)->title(),
                 QStringLiteral("Sessões Simultâneas"));
        if (!typed.isEmpty()) {
            sessions->selectAll();
            QTest::keyClicks(sessions, typed);
            QTest::keyClick(sessions, Qt::Key_Tab);
        }
        QTest::mouseClick(control<QPushButton>(dialog, Options::kOk), Qt::LeftButton);
        QCOMPARE(state.readSessions, kept);
    }

    // Whether the queries open at the last exit are offered at start: ticked unless the
    // settings say "0"; kept in the settings only once the user changes it.
    void okTakesTheReopenSetting_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("portuguese");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("click");
        QTest::addColumn<QString>("kept");
        QTest::newRow("a new settings file, left alone") << "" << false << true << false << "";
        QTest::newRow("a new settings file, turned off") << "" << false << true << true << "0";
        QTest::newRow("off, left alone") << "0" << false << false << false << "0";
        QTest::newRow("off, turned on") << "0" << true << false << true << "1";
        QTest::newRow("on, turned off") << "1" << true << true << true << "0";
    }
    void okTakesTheReopenSetting()
    {
        QFETCH(QString, setting);
        QFETCH(bool, portuguese);
        QFETCH(bool, shown);
        QFETCH(bool, click);
        QFETCH(QString, kept);
        AppState state;
        state.languageEnglish = !portuguese;
        state.languagePortuguese = portuguese;
        state.reopenQueries = setting;
        OptionsDialog dialog(state, {});
        dialog.show();
        auto* reopen = control<QCheckBox>(dialog, Options::kReopenQueries);
        QCOMPARE(reopen->isChecked(), shown);
        QCOMPARE(reopen->text(),
                 portuguese ? QStringLiteral("Oferecer as consultas abertas na última saída")
                            : QStringLiteral("Offer the queries open at the last exit"));
        if (click) {
            reopen->setFocus();
            QTest::keyClick(reopen, Qt::Key_Space);
        }
        QTest::mouseClick(control<QPushButton>(dialog, Options::kOk), Qt::LeftButton);
        QCOMPARE(state.reopenQueries, kept);
    }

    void closeBoxKeepsTheLanguageButNotTheSeparator()
    {
        AppState state;
        state.languageEnglish = true;
        state.listSeparator = QStringLiteral(";");
        OptionsDialog dialog(state, {});
        dialog.show();
        control<QLineEdit>(dialog, Options::kSeparator)->setText(QStringLiteral("|"));
        clickRadio(control<QRadioButton>(dialog, Options::kPortuguese));
        QVERIFY(dialog.close());
        QCOMPARE(state.listSeparator, QStringLiteral(";"));
        QVERIFY(state.languagePortuguese);
        QVERIFY(!state.languageEnglish);
    }

    void logonDialogNeverRemembersThePassword()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("logon.ini"));
        const AppState state;
        {
            LogonDialog dialog(state, file);
            LogonData data;
            data.system = LogonData::demoSystemName();
            data.client = QStringLiteral("100");
            data.user = QStringLiteral("audit");
            data.language = QStringLiteral("PT");
            dialog.fill(data, QString());
            auto* password = dialog.findChild<QLineEdit*>(Logon::kPassword);
            QVERIFY(password);
            QVERIFY(password->text().isEmpty());
            password->setText(QStringLiteral("s3cr3t-pass"));
            const LogonData entered = dialog.entered();
            QCOMPARE(entered.user, QStringLiteral("AUDIT"));
            QCOMPARE(entered.password, QStringLiteral("s3cr3t-pass"));
            QCOMPARE(entered.system, LogonData::demoSystemName());
            dialog.remember();
        }
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QVERIFY(bytes.contains("AUDIT"));
        QVERIFY(!bytes.contains("s3cr3t"));
        const LogonData remembered = LogonDialog(state, file).remembered();
        QCOMPARE(remembered.user, QStringLiteral("AUDIT"));
        QCOMPARE(remembered.language, QStringLiteral("PT"));
        QVERIFY(remembered.password.isEmpty());
        // Nothing remembered yet: the demo system's documented logon.
        const LogonData fresh =
            LogonDialog(state, dir.filePath(QStringLiteral("none.ini"))).remembered();
        QCOMPARE(fresh.system, LogonData::demoSystemName());
        QCOMPARE(fresh.client, QStringLiteral("100"));
        QCOMPARE(fresh.user, QStringLiteral("DEMO"));
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
