#include "ScriptedDesktop.h"
#include "shell/AppState.h"
#include "shell/CaptionTable.h"
#include "shell/ControlNames.h"
#include "shell/FaultTexts.h"
#include "shell/Greeting.h"
#include "shell/Language.h"
#include "shell/Messenger.h"
#include "shell/QtTranslations.h"
#include "shell/Texts.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace ControlNames;

namespace
{
struct Flags {
    bool en = false;
    bool pt = false;
    bool ct = false;
};

// A state holding only the language flags, with the rule over it.
struct LanguageState {
    AppState state;
    Language language{state};

    explicit LanguageState(const Flags& flags)
    {
        state.languageEnglish = flags.en;
        state.languagePortuguese = flags.pt;
        state.languageOther = flags.ct;
    }
};

const BiText kTwoForms{QStringLiteral("Hello"), QStringLiteral("Olá")};

void addFlagColumns()
{
    QTest::addColumn<bool>("en");
    QTest::addColumn<bool>("pt");
    QTest::addColumn<bool>("ct");
}

Flags fetchFlags()
{
    QFETCH(bool, en);
    QFETCH(bool, pt);
    QFETCH(bool, ct);
    return {en, pt, ct};
}
} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The rule

    void formsFollowTheFlags_data()
    {
        addFlagColumns();
        QTest::addColumn<QStringList>("forms");
        QTest::addColumn<QString>("picked");
        QTest::newRow("English") << true << false << false << QStringList{"Hello"} << "Hello";
        QTest::newRow("Portuguese") << false << true << false << QStringList{"Olá"} << "Olá";
        QTest::newRow("CT counts as English")
            << false << false << true << QStringList{"Hello"} << "Hello";
        QTest::newRow("English and Portuguese: both, English first")
            << true << true << false << QStringList{"Hello", "Olá"} << "Olá";
        QTest::newRow("CT and Portuguese")
            << false << true << true << QStringList{"Hello", "Olá"} << "Olá";
        QTest::newRow("all three") << true << true << true << QStringList{"Hello", "Olá"} << "Olá";
        QTest::newRow("no flag shows nothing")
            << false << false << false << QStringList{} << "Hello";
    }
    void formsFollowTheFlags()
    {
        const LanguageState with(fetchFlags());
        QFETCH(QStringList, forms);
        QFETCH(QString, picked);
        QCOMPARE(with.language.forms(kTwoForms), forms);
        QCOMPARE(with.language.pick(kTwoForms), picked);
    }

    void oneFormTextIsShownOnceWhateverTheFlags_data()
    {
        addFlagColumns();
        QTest::newRow("English") << true << false << false;
        QTest::newRow("Portuguese") << false << true << false;
        QTest::newRow("both") << true << true << false;
        QTest::newRow("CT and Portuguese") << false << true << true;
    }
    void oneFormTextIsShownOnceWhateverTheFlags()
    {
        const LanguageState with(fetchFlags());
        const BiText same = BiText::same(QStringLiteral(" Saplogon.exe not found"));
        QCOMPARE(with.language.forms(same), QStringList{same.en});
        QCOMPARE(with.language.pick(same), same.en);
    }

    void messengerShowsEachFormInItsOwnBox_data()
    {
        addFlagColumns();
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("English") << true << false << false << QStringList{"Hello"};
        QTest::newRow("Portuguese") << false << true << false << QStringList{"Olá"};
        QTest::newRow("both") << true << true << false << QStringList{"Hello", "Olá"};
        QTest::newRow("CT and Portuguese") << false << true << true << QStringList{"Hello", "Olá"};
    }
    void messengerShowsEachFormInItsOwnBox()
    {
        const LanguageState with(fetchFlags());
        QFETCH(QStringList, shown);
        ScriptedDesktop desktop;
        Messenger(desktop, with.state).show(kTwoForms, Desktop::Icon::Warning);
        QCOMPARE(desktop.messageTexts(), shown);
        for (const ScriptedDesktop::Message& message : desktop.messages) {
            QCOMPARE(message.buttons, Desktop::Buttons::Ok);
            QCOMPARE(message.icon, Desktop::Icon::Warning);
        }
    }

    void messengerShowsAOneFormMessageOnceWithBothFlags()
    {
        const LanguageState with({true, true, false});
        ScriptedDesktop desktop;
        Messenger(desktop, with.state).show(Texts::get(TextId::SysInfoUnavailable));
        QCOMPARE(desktop.messageTexts(),
                 QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
    }

    // The caption table

    void captionsInBothLanguages_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("toolTip");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("portuguese");
        QTest::newRow("status panel tip")
            << QString(Main::kMessagePanel) << true << "System Message"
            << "Mensagem do Sistema";
        QTest::newRow("mconectar") << "mconectar" << false << "Connect..."
                                   << "Conectar...";
        QTest::newRow("mopcoes") << "mopcoes" << false << "Options..."
                                 << "Opções...";
        QTest::newRow("msaveasqtable") << "msaveasqtable" << false << "Save As..."
                                       << "Salvar como...";
        QTest::newRow("mntable is feminine") << "mntable" << false << "New"
                                             << "Nova";
        QTest::newRow("mviewfields") << "mviewfields" << false << "View"
                                     << "Ver";
        QTest::newRow("mver") << "mver" << false << "View"
                              << "Exibir";
        QTest::newRow("mshowoption keeps its spelling") << "mshowoption" << false << "Show Option"
                                                        << "Mostar Opções";
        QTest::newRow("mremovealloptions") << "mremovealloptions" << false << "Remove All Options"
                                           << "Remover Todas Opções";
        QTest::newRow("mauxiliogeral") << "mauxiliogeral" << false << "Contents"
                                       << "Auxílio Geral";
        QTest::newRow("Conectar tip") << "Conectar" << true << "Connect to R/3 System"
                                      << "Conectar R/3 System";
        QTest::newRow("SapLogon tip") << "SapLogon" << true << "SAP Logon"
                                      << "SAP Logon";
        QTest::newRow("Save tip is the same in both") << "Save" << true << "Save Quillon"
                                                      << "Save Quillon";
        QTest::newRow("Auxilio tip") << "Auxilio" << true << "Help - Contents"
                                     << "Auxílio Geral";
        QTest::newRow("options window") << QString(Options::kDialog) << false << "Options"
                                        << "Opções";
        QTest::newRow("options language frame caption")
            << Options::inDialog(Options::kLanguageBox) << false << "Language"
            << "Linguagem";
        QTest::newRow("options language frame tip")
            << Options::inDialog(Options::kLanguageBox) << true << "Language used in Quillon"
            << "Linguagem usada em Quillon";
    }
    void captionsInBothLanguages()
    {
        QFETCH(QString, control);
        QFETCH(bool, toolTip);
        QFETCH(QString, english);
        QFETCH(QString, portuguese);
        const auto kind = toolTip ? CaptionTable::Kind::ToolTip : CaptionTable::Kind::Caption;
        const BiText text = CaptionTable::text(control, kind);
        QCOMPARE(text.en, english);
        QCOMPARE(text.pt, portuguese);

        LanguageState with({false, true, true});
        QCOMPARE(with.language.pick(text), portuguese);
        with.state.languagePortuguese = false;
        QCOMPARE(with.language.pick(text), english);
    }

    void unknownControlHasNoCaption()
    {
        QCOMPARE(CaptionTable::text(QStringLiteral("mnosuchitem")), BiText{});
        // A caption row is not found as a tool tip.
        QCOMPARE(CaptionTable::text(QStringLiteral("mconectar"), CaptionTable::Kind::ToolTip),
                 BiText{});
    }

    void everyRowHasBothFormsAndIsUnique()
    {
        const auto& rows = CaptionTable::rows();
        QCOMPARE(rows.size(), 70);
        QSet<QString> seen;
        for (const CaptionTable::Row& row : rows) {
            QVERIFY2(!row.control.isEmpty(), "a row without a control");
            QVERIFY2(!row.text.en.isEmpty(), qPrintable(row.control));
            QVERIFY2(!row.text.pt.isEmpty(), qPrintable(row.control));
            QCOMPARE(row.text.en, row.text.en.trimmed());
            QCOMPARE(row.text.pt, row.text.pt.trimmed());
            const QString id = row.control + (row.kind == CaptionTable::Kind::ToolTip
                                                  ? QStringLiteral("/tip")
                                                  : QStringLiteral("/caption"));
            QVERIFY2(!seen.contains(id), qPrintable(id));
            seen.insert(id);
        }
    }

    // Texts outside the table

    void fixedTextsHaveOneForm_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::newRow("main caption") << int(TextId::MainCaption) << "Quillon for SAP R/3";
        QTest::newRow("R/3 System") << int(TextId::MenuR3System) << "&R/3 System";
        QTest::newRow("Tabular") << int(TextId::MenuTabular) << "Tabular";
        QTest::newRow("Português") << int(TextId::OptionPortuguese) << "Português";
        QTest::newRow("about caption") << int(TextId::AboutCaption) << "Sobre o VUB";
        QTest::newRow("sap logon not found")
            << int(TextId::SapLogonNotFound) << " Saplogon.exe not found in c:\\ neither in d:\\";
        QTest::newRow("disconnected") << int(TextId::Disconnected) << "Disconnected ";
    }
    void fixedTextsHaveOneForm()
    {
        QFETCH(int, id);
        QFETCH(QString, text);
        const BiText bi = Texts::get(TextId(id));
        QCOMPARE(bi.en, text);
        QCOMPARE(bi.pt, text);
    }

    // Why something failed: every sentence in both languages, with the same blanks to fill, so
    // that no value is lost or shown twice in Portuguese.
    void faultTextsHaveBothFormsWithTheSamePlaceholders()
    {
        static const QRegularExpression placeholder(QStringLiteral("%\\d"));
        const auto placeholders = [](const QString& text) {
            QStringList found;
            for (const QRegularExpressionMatch& match : placeholder.globalMatch(text))
                found.append(match.captured());
            found.sort();
            return found;
        };
        for (int id = 0; id < int(FaultText::Count); ++id) {
            const BiText text = FaultTexts::get(FaultText(id));
            const QByteArray which = QByteArray::number(id) + ": " + text.en.toUtf8();
            QVERIFY2(!text.en.isEmpty() && !text.pt.isEmpty(), which.constData());
            QVERIFY2(text.en != text.pt, which.constData());
            QCOMPARE(placeholders(text.pt), placeholders(text.en));
        }
        // Filled once for both, a value that holds a blank's mark stays as it is.
        const BiText filled = FaultTexts::get(FaultText::RowsChanged)
                                  .arg(QStringLiteral("KNA1"), QStringLiteral("'%1'"));
        QVERIFY(filled.en.endsWith(QStringLiteral("disagree on '%1'")));
        QVERIFY(filled.pt.endsWith(QStringLiteral("divergem em '%1'")));
    }

    // Greeting

    // Qt's own texts follow the language: Portuguese while it is chosen, English again after.
    void qtSpeaksPortugueseOnlyWhileItIsChosen()
    {
        const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
        {
            QtTranslations qt;
            if (!qt.use(true))
                QSKIP("Qt's Portuguese translations are not installed (qt6-translations-l10n)");
            QCOMPARE(cancel(), QStringLiteral("Cancelar"));
            QVERIFY(qt.use(true)); // chosen twice, loaded once
            QVERIFY(qt.use(false));
            QCOMPARE(cancel(), QStringLiteral("Cancel"));
            QVERIFY(!qt.portugueseLoaded());
            QVERIFY(qt.use(true));
            QCOMPARE(cancel(), QStringLiteral("Cancelar"));
        }
        // Gone with its owner.
        QCOMPARE(cancel(), QStringLiteral("Cancel"));
    }

    void qtStaysEnglishQuietlyWithoutItsTranslations()
    {
        QTemporaryDir empty;
        QtTranslations qt(empty.path());
        QVERIFY(!qt.use(true));
        QVERIFY(!qt.portugueseLoaded());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
        QVERIFY(qt.use(false));
    }

    void greetingByTimeOfDay_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("portuguese");
        QTest::newRow("00:00") << QTime(0, 0) << "Good morning "
                               << "Bom dia ";
        QTest::newRow("11:59:59") << QTime(11, 59, 59) << "Good morning "
                                  << "Bom dia ";
        QTest::newRow("12:00") << QTime(12, 0) << "Good morning "
                               << "Bom dia ";
        QTest::newRow("12:00:59 is still 12:00") << QTime(12, 0, 59) << "Good morning "
                                                 << "Bom dia ";
        QTest::newRow("12:01") << QTime(12, 1) << "Good afternoon "
                               << "Boa tarde ";
        QTest::newRow("17:59:59") << QTime(17, 59, 59) << "Good afternoon "
                                  << "Boa tarde ";
        QTest::newRow("18:00") << QTime(18, 0) << "Good evening "
                               << "Boa noite ";
        QTest::newRow("23:59:59") << QTime(23, 59, 59) << "Good evening "
                                  << "Boa noite ";
    }
    void greetingByTimeOfDay()
    {
        QFETCH(QTime, time);
        QFETCH(QString, english);
        QFETCH(QString, portuguese);
        QCOMPARE(Greeting::text(time, LanguageState({true, false, false}).language), english);
        QCOMPARE(Greeting::text(time, LanguageState({false, false, true}).language), english);
        QCOMPARE(Greeting::text(time, LanguageState({false, true, false}).language), portuguese);
        QCOMPARE(Greeting::text(time, LanguageState({true, true, false}).language), portuguese);
    }

    void welcomeText_data()
    {
        addFlagColumns();
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("expected");
        QTest::newRow("English morning") << true << false << false << QTime(9, 30) << "maria"
                                         << "Good morning maria. Welcome to Quillon";
        QTest::newRow("Portuguese morning") << false << true << false << QTime(9, 30) << "maria"
                                            << "Bom dia maria. Bem-vindo ao Quillon";
        QTest::newRow("both flags end in Portuguese")
            << true << true << false << QTime(18, 0) << "joão"
            << "Boa noite joão. Bem-vindo ao Quillon";
        QTest::newRow("CT afternoon") << false << false << true << QTime(12, 1) << "ana"
                                      << "Good afternoon ana. Welcome to Quillon";
        QTest::newRow("empty user name") << true << false << false << QTime(23, 0) << ""
                                         << "Good evening . Welcome to Quillon";
    }
    void welcomeText()
    {
        const LanguageState with(fetchFlags());
        QFETCH(QTime, time);
        QFETCH(QString, user);
        QFETCH(QString, expected);
        QCOMPARE(Greeting::welcome(time, user, with.language), expected);
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
