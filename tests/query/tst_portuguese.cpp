// With Portuguese chosen, no text of Zorv's own is left in English: the logon dialog in each of
// its ways, the options dialog, the main window, a query window at work, the questions Zorv
// asks in message boxes, and Qt's own buttons and file dialog.
#include "EnglishLeft.h"
#include "QueryTestKit.h"
#include "query/read/ReadMessage.h"
#include "sap/LogonSentences.h"
#include "shell/ControlNames.h"
#include "shell/DesktopServices.h"
#include "shell/FaultTexts.h"
#include "shell/Language.h"
#include "shell/OpenDocuments.h"
#include "shell/QtTranslations.h"
#include "shell/RecentDocuments.h"
#include "window/main/LogonDialog.h"
#include "window/main/OptionsDialog.h"
#include "window/main/QtDesktop.h"
#include "window/query/OptionList.h"
#include "window/query/PreviewModel.h"
#include "window/query/PreviewPane.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QSortFilterProxyModel>
#include <QTableView>

using namespace ControlNames;

namespace
{
// What a query window shows in one form in both languages.
const QStringList kQueryWindowOneForm{QStringLiteral("All Rows"),  QStringLiteral("FieldName"),
                                      QStringLiteral("FieldText"), QStringLiteral("Type"),
                                      QStringLiteral("Length"),    QStringLiteral("Options"),
                                      QStringLiteral("Row"),       QStringLiteral("Table")};
const QStringList kQueryWindowOneFormPatterns{QStringLiteral("My Table > \\d+ Fields \\d+ Bytes"),
                                              QStringLiteral("Options > \\d+")};
// What the demo system says of a wrong password, in its own words.
const QString kWrongPassword = QStringLiteral("Name or password is incorrect (repeat logon)");
// Qt's words about a certificate; Zorv adds the fingerprint.
const QString kCertificateWords =
    QStringLiteral("The host name did not match any of the valid hosts for this certificate");
const BiText kCertificateError =
    BiText::same(kCertificateWords) +
    FaultTexts::get(FaultText::CertificateFingerprint).arg(QStringLiteral("AB:CD:EF"));
// What a system may say when a call fails, in its own words.
const QString kSystemWords = QStringLiteral("TSV_TNEW_PAGE_ALLOC_FAILED");
} // namespace

class TestPortuguese : public QObject
{
    Q_OBJECT

    std::unique_ptr<QueryTestKit> m_kit;
    QTemporaryDir m_files;
    bool m_qtSpeaksPortuguese = false;

    QString logonFile() const { return m_files.filePath(QStringLiteral("logon.ini")); }

    // The box Zorv's last message would be shown in.
    std::unique_ptr<QWidget> lastMessageBox()
    {
        if (m_kit->desktop.messages.isEmpty())
            return nullptr;
        const ScriptedDesktop::Message message = m_kit->desktop.messages.last();
        return QtDesktop::messageBox(message.text, message.buttons, message.icon, message.title);
    }

    std::unique_ptr<QWidget> logonDialog(const LogonData& data, const QString& error, int way = -1)
    {
        auto dialog = std::make_unique<LogonDialog>(m_kit->state, logonFile(),
                                                    m_files.filePath(QStringLiteral("trust.ini")));
        dialog->fill(data, error);
        if (way >= 0)
            dialog->findChild<QComboBox*>(Logon::kConnection)->setCurrentIndex(way);
        return dialog;
    }

    QueryWindow* workingQueryWindow()
    {
        QueryWindow* window = m_kit->newWindow();
        if (!window || !QueryTestKit::copyFields(
                           window, {QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-NAME1")}))
            return nullptr;
        window->options().showEditor();
        window->preview().readPreview();
        window->preview().wait();
        return window;
    }

    std::unique_ptr<QWidget> scene(const QString& name)
    {
        const LogonData demo = ScriptedLogon::demo();
        if (name == u"logon dialog")
            return logonDialog(demo, {});
        if (name == u"logon dialog, RFC SOAP service")
            return logonDialog(demo, {}, 1);
        if (name == u"logon dialog, application server")
            return logonDialog(demo, {}, 2);
        if (name == u"logon dialog, message server")
            return logonDialog(demo, {}, 3);
        if (name == u"logon dialog, a wrong password") {
            const Language language(m_kit->state);
            return logonDialog(
                demo, language.pick(LogonSentences::sentence(demo, BiText::same(kWrongPassword))));
        }
        if (name == u"logon dialog, a certificate to trust") {
            LogonData soap = demo;
            soap.system = QStringLiteral("https://sap.example.com:44300");
            const Language language(m_kit->state);
            auto dialog = logonDialog(
                soap, language.pick(LogonSentences::sentence(soap, kCertificateError)), 1);
            // The fingerprint is found in the Portuguese sentence too.
            if (!dialog->findChild<QWidget*>(Logon::kTrustCertificate)->isVisibleTo(dialog.get()))
                return nullptr;
            return dialog;
        }
        if (name == u"logon dialog, an SAP Logon file that is not there") {
            auto dialog = logonDialog(demo, {});
            static_cast<LogonDialog*>(dialog.get())
                ->useLandscape(m_files.filePath(QStringLiteral("none.xml")));
            return dialog;
        }
        if (name == u"message box, a read that failed") {
            ReadJob::Result read;
            read.failures.push_back({QStringLiteral("KNA1"),
                                     QString(),
                                     {},
                                     FaultTexts::get(FaultText::RowsChanged)
                                         .arg(QStringLiteral("KNA1"), QStringLiteral("0000000001")),
                                     {}});
            read.failures.push_back({QStringLiteral("BSEG"),
                                     QStringLiteral("SYSTEM_FAILURE"),
                                     BiText::same(kSystemWords),
                                     FaultTexts::get(FaultText::OutOfResources)
                                         .arg(QStringLiteral("BSEG"), QStringLiteral("10")),
                                     {}});
            read.error = FaultTexts::get(FaultText::SpoolNotWritten);
            const ReadMessage message(m_kit->state, ReadMessage::Action::Export);
            return QtDesktop::messageBox(message.failure(read), Desktop::Buttons::Ok,
                                         Desktop::Icon::Warning, message.title());
        }
        if (name == u"message box, a field too wide to read") {
            ReadPlan plan;
            BiText error;
            if (plan.build({{QStringLiteral("KNA1-BLOB"), QStringLiteral("C"), 600, {}}}, {},
                           &error))
                return nullptr;
            return QtDesktop::messageBox(Language(m_kit->state).pick(error), Desktop::Buttons::Ok,
                                         Desktop::Icon::Information, {});
        }
        if (name == u"options dialog")
            return std::make_unique<OptionsDialog>(m_kit->state, nullptr);
        if (name == u"message box, a recent document that is gone") {
            const QString gone = m_files.filePath(QStringLiteral("gone.txt"));
            RecentDocuments(RecentDocuments::pathIn(m_kit->home.path())).add(gone);
            QMenu* file = m_kit->window.menu(QStringLiteral("mfile"));
            Q_EMIT file->aboutToShow();
            file->findChild<QAction*>(Main::recentDocument(1))->trigger();
            return lastMessageBox();
        }
        if (name == u"message box, the queries kept from the last run") {
            workingQueryWindow();
            m_kit->workspace.keepUnsavedWork();
            m_kit->closeAllWindows();
            m_kit->desktop.answers.enqueue(Desktop::Answer::No);
            m_kit->workspace.offerRecoveryCopies();
            return lastMessageBox();
        }
        if (name == u"message box, save changes") {
            if (QueryWindow* window = workingQueryWindow())
                m_kit->workspace.setModified(window, true);
            m_kit->desktop.answers.enqueue(Desktop::Answer::Cancel);
            m_kit->window.workspace()->closeActiveSubWindow();
            return lastMessageBox();
        }
        if (name == u"message box, a file that no program opens") {
            m_kit->desktop.answers.enqueue(Desktop::Answer::Ok);
            m_kit->desktop.answers.enqueue(Desktop::Answer::No);
            m_kit->window.services().openWithAssociatedProgram(
                m_files.filePath(QStringLiteral("KNA1.zorvtest")));
            return lastMessageBox();
        }
        if (name == u"message box, the queries open at the last exit") {
            const QString document = m_files.filePath(QStringLiteral("open.txt"));
            QFile file(document);
            if (!file.open(QIODevice::WriteOnly))
                return nullptr;
            file.close();
            OpenDocuments(OpenDocuments::pathIn(m_kit->home.path()))
                .write({document, m_files.filePath(QStringLiteral("gone.txt"))});
            m_kit->desktop.answers.enqueue(Desktop::Answer::Ok);
            m_kit->desktop.answers.enqueue(Desktop::Answer::No);
            m_kit->workspace.offerOpenDocuments();
            return lastMessageBox();
        }
        if (name == u"file dialog") {
            auto dialog = std::make_unique<QFileDialog>(
                nullptr, Language(m_kit->state).pick(Texts::get(TextId::SaveMyTableAs)));
            dialog->setOption(QFileDialog::DontUseNativeDialog);
            dialog->setAcceptMode(QFileDialog::AcceptSave);
            return dialog;
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        m_kit = std::make_unique<QueryTestKit>();
        m_kit->state.languageEnglish = false;
        m_kit->state.languagePortuguese = true;
        m_kit->window.applyCaptions();
        m_qtSpeaksPortuguese = QtTranslations().use(true);
        // Field texts come in the logon language.
        m_kit->logon.answers.enqueue(
            ScriptedLogon::demo(QStringLiteral("DEMO"), QStringLiteral("PT")));
        QVERIFY(m_kit->window.connectToSystem());
    }

    void cleanup()
    {
        m_kit->closeAllWindows();
        m_kit->desktop.messages.clear();
        m_kit->desktop.answers.clear();
    }

    // The judge itself: it must tell English from Portuguese, or the test below proves nothing.
    void englishIsToldFromPortuguese_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("english");
        QTest::newRow("a label of Zorv's") << "Password" << true;
        QTest::newRow("its Portuguese") << "Senha" << false;
        QTest::newRow("a sentence") << "Keep this system in Zorv's list" << true;
        QTest::newRow("a Portuguese sentence") << "Guardar este sistema na lista do Zorv" << false;
        QTest::newRow("a one-form text") << "&R/3 System" << false;
        QTest::newRow("a Portuguese form with English in it") << "Conectar R/3 System" << false;
        QTest::newRow("a one-form part") << "maria is not connected " << false;
        QTest::newRow("Qt's own button") << "&Cancel" << true;
        QTest::newRow("names and numbers") << "KNA1-KUNNR 100 SAP" << false;
    }
    void englishIsToldFromPortuguese()
    {
        QFETCH(QString, text);
        QFETCH(bool, english);
        QCOMPARE(EnglishLeft().isEnglish(text), english);
    }

    void noTextOfZorvsOwnIsLeftInEnglish_data()
    {
        QTest::addColumn<QString>("scene");
        // What may stay as it is there: the system's own words.
        QTest::addColumn<QStringList>("theirs");
        // Whether all the scene shows is Qt's (a message box's buttons, the file dialog).
        QTest::addColumn<bool>("qtsOwn");
        for (const char* name :
             {"logon dialog", "logon dialog, RFC SOAP service", "logon dialog, application server",
              "logon dialog, message server", "logon dialog, an SAP Logon file that is not there",
              "options dialog"})
            QTest::newRow(name) << name << QStringList{} << false;
        QTest::newRow("logon dialog, a wrong password")
            << "logon dialog, a wrong password" << QStringList{kWrongPassword} << false;
        QTest::newRow("logon dialog, a certificate to trust")
            << "logon dialog, a certificate to trust" << QStringList{kCertificateWords} << false;
        for (const char* name :
             {"message box, a recent document that is gone",
              "message box, the queries kept from the last run", "message box, save changes",
              "message box, a field too wide to read", "message box, a file that no program opens",
              "message box, the queries open at the last exit"})
            QTest::newRow(name) << name << QStringList{} << false;
        QTest::newRow("message box, a read that failed")
            << "message box, a read that failed" << QStringList{kSystemWords} << false;
        QTest::newRow("file dialog") << "file dialog" << QStringList{} << true;
    }
    void noTextOfZorvsOwnIsLeftInEnglish()
    {
        QFETCH(QString, scene);
        QFETCH(QStringList, theirs);
        QFETCH(bool, qtsOwn);
        if (qtsOwn && !m_qtSpeaksPortuguese)
            QSKIP("Qt's Portuguese translations are not installed (qt6-translations-l10n)");
        const std::unique_ptr<QWidget> shown = this->scene(scene);
        QVERIFY2(shown, "the scene was not shown");
        // Where Qt has no Portuguese, its standard buttons are English, and only they may be.
        const QStringList texts = EnglishLeft::visibleTexts(shown.get(), m_qtSpeaksPortuguese);
        QVERIFY(texts.size() > 1);
        const QStringList english = EnglishLeft(theirs).in(texts);
        QVERIFY2(english.isEmpty(), qPrintable(english.join(QStringLiteral(" | "))));
    }

    void noTextOfTheWindowsIsLeftInEnglish_data()
    {
        QTest::addColumn<bool>("queryWindow");
        QTest::newRow("main window") << false;
        QTest::newRow("query window with My Table, options and a preview") << true;
    }
    void noTextOfTheWindowsIsLeftInEnglish()
    {
        QFETCH(bool, queryWindow);
        QWidget* shown = &m_kit->window;
        if (queryWindow) {
            shown = workingQueryWindow();
            QVERIFY(shown);
        }
        const QStringList texts = EnglishLeft::visibleTexts(shown);
        QVERIFY(texts.size() > 10);
        if (queryWindow) {
            // A packed value that did not fit is marked with a tip of its own.
            auto* grid = shown->findChild<QTableView*>(Query::kPreviewGrid);
            auto* rows = qobject_cast<PreviewModel*>(
                qobject_cast<QSortFilterProxyModel*>(grid->model())
                    ? qobject_cast<QSortFilterProxyModel*>(grid->model())->sourceModel()
                    : grid->model());
            QVERIFY(rows);
            rows->reset({QStringLiteral("Row"), QStringLiteral("DMBTR")}, {false, true});
            rows->fillPiece({{QStringLiteral("*******")}}, 1);
            QCOMPARE(rows->data(rows->index(0, 1), Qt::ToolTipRole).toString(),
                     QStringLiteral("O valor não coube no seu comprimento de saída"));
        }
        const QStringList english =
            EnglishLeft(kQueryWindowOneForm, kQueryWindowOneFormPatterns).in(texts);
        QVERIFY2(english.isEmpty(), qPrintable(english.join(QStringLiteral(" | "))));
    }
};

QTEST_MAIN(TestPortuguese)
#include "tst_portuguese.moc"
