// Import Table through the query window (the save dialog, the worker thread, the progress
// display, cancel, refused commands, failures and the closing status line) and the headless
// `zorv export`, which must write the same file from the saved query.
#include "QueryTestKit.h"
#include "query/read/TableCall.h"
#include "shell/ControlNames.h"
#include "window/query/ExportController.h"

#include "query/document/QueryDocumentFile.h"
#include "query/read/ReadPlan.h"
#include "window/main/ProgressDisplay.h"
#include "window/main/StatusPanels.h"
#include "window/query/FieldList.h"
#include "window/query/MyTable.h"
#include "window/query/OptionList.h"
#include "window/query/ReportListView.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace ControlNames;

namespace
{
const QString kRunning =
    QStringLiteral("An import is running: wait for it to end, or cancel it with Esc.");
const QString kCancelled = QStringLiteral("Import cancelled; the file was left as it was: ");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};
} // namespace

class TestWindowExport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QueryTestKit> m_kit;
    QueryWindow* m_window = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;

    QString status() const { return m_kit->window.statusPanels()->message(); }
    ProgressDisplay& progress() const { return *m_kit->window.progress(); }
    QString file(const QString& name) const { return m_dir->filePath(name); }
    bool exporting() const { return m_window && m_window->exporter().running(); }

    [[nodiscard]] bool copy(const QStringList& keys)
    {
        return QueryTestKit::copyFields(m_window, keys);
    }

    void setLimit(const QString& rows)
    {
        m_window->findChild<QLineEdit*>(Query::kRowLimit)->setText(rows);
    }

    // Runs Import Table into target and waits for it to end.
    [[nodiscard]] bool exportTo(const QString& target)
    {
        m_kit->desktop.files.enqueue(target);
        m_window->exporter().exportMyTable();
        if (!exporting())
            return false;
        return QTest::qWaitFor([this] { return !exporting(); }, 60000);
    }

    // The DATA lines of a delimited read through the window's own reader.
    QStringList delimitedRead(const QString& table, const QStringList& fields, int rows)
    {
        QVector<ReadPlan::Field> items;
        for (const QString& field : fields)
            items.append({table + u'-' + field, QStringLiteral("C"), 1, QString()});
        ReadPlan plan;
        if (!plan.build(items, {}, nullptr))
            return {};
        TableCall::Request request;
        request.table = table;
        request.fields = fields;
        request.rowCount = rows;
        request.delimiter = QStringLiteral(";");
        TableCall call(*m_kit->reader.destination());
        RowBlock block;
        if (call.run(request, block) != TableCall::Outcome::Done)
            return {};
        QStringList lines;
        for (qsizetype r = 0; r < block.size(); ++r)
            lines.append(block.line(r).toString());
        return lines;
    }

    Run zorv(const QStringList& args, const QString& password = {})
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ZORV_HOME"), m_kit->home.path());
        environment.remove(QStringLiteral("ZORV_DEMO_SCALE"));
        environment.remove(QStringLiteral("ZORV_PASSWORD"));
        if (!password.isEmpty())
            environment.insert(QStringLiteral("ZORV_PASSWORD"), password);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ZORV_EXECUTABLE),
                      QStringList{QStringLiteral("export")} + args);
        Run run;
        if (!process.waitForFinished(120000))
            return run;
        run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }

    // A query of customers and vendors with an option line for each table, exported through
    // the window into target and saved as a query document.
    [[nodiscard]] bool exportAndSaveQuery(const QString& target, const QString& query)
    {
        if (!copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-NAME1"),
                   QStringLiteral("KNA1-ORT01"), QStringLiteral("LFA1-LIFNR"),
                   QStringLiteral("LFA1-NAME1")}))
            return false;
        m_window->options().fillOptions(
            {QStringLiteral("KNA1-LAND1 EQ 'BR' "), QStringLiteral("LFA1-LAND1 EQ 'DE' ")});
        setLimit(QStringLiteral("0"));
        if (!exportTo(target) || !m_kit->desktop.messages.isEmpty())
            return false;
        m_kit->desktop.files.enqueue(query);
        m_kit->workspace.saveQueryAs();
        return QFile::exists(query);
    }

    // A query document written directly: one field, an optional option line.
    [[nodiscard]] bool writeQuery(const QString& path, const QString& field, const QString& option,
                                  const QString& output)
    {
        QueryDocument document;
        document.exportFile = output;
        document.rowLimitShown = true;
        document.rowLimit = 0;
        document.fields = {QueryDocumentFile::fieldEntry({"C", 10, field, "Key"})};
        document.fieldCount = 1;
        if (!option.isEmpty())
            document.options = {option};
        document.optionCount = static_cast<int>(document.options.size());
        QString error;
        return QueryDocumentFile::writeFile(path, document, &error);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_kit = std::make_unique<QueryTestKit>();
        QVERIFY(m_kit->connect());
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        if (!m_kit->state.connected)
            QVERIFY(m_kit->connect());
        m_window = m_kit->newWindow();
        QVERIFY(m_window);
        m_kit->state.listSeparator = QStringLiteral(";");
        m_kit->state.lastExportFile = file(QStringLiteral("last/previous.csv"));
        m_kit->desktop.messages.clear();
        m_kit->desktop.fileRequests.clear();
        m_kit->desktop.files.clear();
        m_kit->desktop.starts.clear();
        m_kit->desktop.associations.insert(QStringLiteral("csv"), QStringLiteral("/usr/bin/calc"));
        m_kit->desktop.associations.insert(QStringLiteral("txt"), QStringLiteral("/usr/bin/edit"));
        m_kit->desktop.associations.insert(QStringLiteral("xlsx"), QStringLiteral("/usr/bin/calc"));
        // Each test starts from the documented file type.
        QFile::remove(QDir(m_kit->home.path()).filePath(QStringLiteral("export.ini")));
        m_kit->state.languageEnglish = true;
        m_kit->state.languagePortuguese = false;
        m_kit->state.languageOther = false;
    }

    void cleanup()
    {
        // A failed check must not leave an export running into the next test.
        if (exporting()) {
            progress().cancel();
            QTRY_VERIFY_WITH_TIMEOUT(!exporting(), 60000);
        }
        m_kit->closeAllWindows();
        m_window = nullptr;
    }

    // --- the window's export

    void exportWritesTheFileAndOpensIt_data()
    {
        QTest::addColumn<bool>("associated");
        QTest::addColumn<bool>("portuguese");
        QTest::newRow("with an associated program") << true << false;
        QTest::newRow("without one") << false << false;
        QTest::newRow("in Portuguese") << true << true;
    }

    void exportWritesTheFileAndOpensIt()
    {
        QFETCH(bool, associated);
        QFETCH(bool, portuguese);
        m_kit->state.languageEnglish = !portuguese;
        m_kit->state.languagePortuguese = portuguese;
        if (!associated)
            m_kit->desktop.associations.remove(QStringLiteral("csv"));
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1"),
                      QStringLiteral("KNA1-ORT01")}));
        setLimit(QStringLiteral("20"));
        const QString target = file(QStringLiteral("customers.csv"));
        m_kit->desktop.files.enqueue(target);
        m_window->exporter().exportMyTable();

        QCOMPARE(m_kit->desktop.fileRequests.size(), 1);
        const Desktop::FileRequest request = m_kit->desktop.fileRequests.first();
        QCOMPARE(request.mode, Desktop::FileRequest::Mode::Save);
        QCOMPARE(request.title, portuguese ? QStringLiteral("Salvar Minha Tabela como")
                                           : QStringLiteral("Save My Table as"));
        QCOMPARE(request.filter,
                 portuguese ? QStringLiteral("Texto (*.csv)|*.csv|Texto (*.txt)|*.txt|Pasta de "
                                             "trabalho do Excel (*.xlsx)|*.xlsx|Texto para "
                                             "planilhas, UTF-8 (*.csv)|*.csv")
                            : QStringLiteral("Text (*.csv)|*.csv|Text (*.txt)|*.txt|Excel "
                                             "workbook (*.xlsx)|*.xlsx|Text for spreadsheets, "
                                             "UTF-8 (*.csv)|*.csv"));
        QCOMPARE(request.fileName, file(QStringLiteral("last/KNA1")));
        QVERIFY(request.confirmOverwrite);
        // The dialog says how many rows will be written before anything is.
        QCOMPARE(request.note, portuguese ? QStringLiteral("Grava 20 linhas (o limite de linhas)")
                                          : QStringLiteral("Writes 20 rows (the row limit)"));
        QCOMPARE(status(), QStringLiteral("Checking ") + target);
        // The command returned while the export runs on: the window stays usable.
        QVERIFY(exporting());
        QVERIFY(progress().isShown());
        QVERIFY(progress().cancellable());

        QTRY_VERIFY_WITH_TIMEOUT(!exporting(), 60000);
        QVERIFY(!progress().isShown());
        QVERIFY(!progress().cancellable());
        QCOMPARE(m_kit->state.lastExportFile, target);
        // The done line names the file, and says that the row limit stopped the export.
        const QRegularExpression done(
            portuguese ? QStringLiteral("^Minha Tabela > 3 Campos 20 Linhas 48 Bytes/Linha "
                                        "concluído com sucesso em (\\d+ min )?\\d+\\.\\d\\d s "
                                        "\\(1 chamada\\): ")
                       : QStringLiteral("^My Table > 3 Fields 20 Rows 48 Bytes/Row was completed "
                                        "successfully in (\\d+ min )?\\d+\\.\\d\\d s "
                                        "\\(1 call\\): "));
        QVERIFY2(done.match(status()).hasMatch(), qPrintable(status()));
        const QString limited =
            portuguese ? QStringLiteral("20 linhas, o limite de linhas; marque All Rows para todas "
                                        "as linhas")
                       : QStringLiteral("20 rows, the row limit; tick All Rows for every row");
        QVERIFY2(status().endsWith(QStringLiteral("): ") + target + QStringLiteral(" (") + limited +
                                   u')'),
                 qPrintable(status()));

        const QStringList rows =
            delimitedRead(QStringLiteral("KNA1"), {"KUNNR", "LAND1", "ORT01"}, 20);
        QCOMPARE(rows.size(), 20);
        QByteArray expected = "KNA1-KUNNR;KNA1-LAND1;KNA1-ORT01\r\nCustomer;Country;City\r\n";
        for (const QString& row : rows)
            expected += row.toLatin1() + "\r\n";
        QCOMPARE(readAll(target), expected);
        QCOMPARE(entries(m_dir->path()), QStringList{"customers.csv"});

        if (associated) {
            QCOMPARE(m_kit->desktop.messageTexts(), QStringList{});
            QCOMPARE(m_kit->desktop.starts.size(), 1);
            QCOMPARE(m_kit->desktop.starts.first().program, QStringLiteral("/usr/bin/calc"));
            QCOMPARE(m_kit->desktop.starts.first().arguments, QStringList{target});
        } else {
            // Said with the file's path, and its folder offered instead.
            QCOMPARE(m_kit->desktop.messageTexts(),
                     (QStringList{QStringLiteral("Vub could not open ") + target,
                                  QStringLiteral("Open the folder that holds it instead?\n") +
                                      QDir::toNativeSeparators(QFileInfo(target).absolutePath())}));
        }

        // The next export starts in the folder of this one.
        m_window->exporter().exportMyTable();
        QCOMPARE(m_kit->desktop.fileRequests.size(), 2);
        QCOMPARE(m_kit->desktop.fileRequests.last().fileName, file(QStringLiteral("KNA1")));
    }

    // Only an export that the row limit stopped says so; every done line names its file.
    void theDoneLineTellsTheFileAndTheRowLimit_data()
    {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("tail"); // after the elapsed time
        QTest::addColumn<QString>("note"); // in the save dialog, before the export
        // The demo's client 100 has 6 company codes.
        QTest::newRow("stopped at 3")
            << "3" << 3 << " (3 rows, the row limit; tick All Rows for every row)"
            << "Writes 3 rows (the row limit)";
        QTest::newRow("stopped at 1")
            << "1" << 1 << " (1 rows, the row limit; tick All Rows for every row)"
            << "Writes 1 row (the row limit)";
        QTest::newRow("All Rows") << "0" << 6 << ""
                                  << "Writes all rows (All Rows)";
        QTest::newRow("a limit above the table's rows") << "7" << 6 << ""
                                                        << "Writes 7 rows (the row limit)";
        QTest::newRow("the limit is the table's rows")
            << "6" << 6 << " (6 rows, the row limit; tick All Rows for every row)"
            << "Writes 6 rows (the row limit)";
    }
    void theDoneLineTellsTheFileAndTheRowLimit()
    {
        QFETCH(QString, limit);
        QFETCH(int, rows);
        QFETCH(QString, tail);
        QFETCH(QString, note);
        QVERIFY(copy({QStringLiteral("T001-BUKRS"), QStringLiteral("T001-BUTXT")}));
        setLimit(limit);
        const QString target = file(QStringLiteral("company codes.csv"));
        QVERIFY(exportTo(target));
        QCOMPARE(m_kit->desktop.fileRequests.size(), 1);
        QCOMPARE(m_kit->desktop.fileRequests.first().note, note);
        QCOMPARE(m_kit->desktop.messageTexts(), QStringList{});
        QCOMPARE(readAll(target).count("\r\n"), rows + 2);
        const QString line = status();
        QVERIFY2(line.startsWith(QStringLiteral("My Table > 2 Fields %1 Rows ").arg(rows)),
                 qPrintable(line));
        QVERIFY2(line.endsWith(QStringLiteral(" s (1 call): ") + target + tail), qPrintable(line));
    }

    // A new window's row limit is 20: its first export of KNA1 writes 20 of 500 rows, and the
    // save dialog says so before; ticking All Rows makes the dialog say every row, and it is.
    void aNewWindowSaysItsRowLimitBeforeWriting_data()
    {
        QTest::addColumn<bool>("portuguese");
        QTest::newRow("English") << false;
        QTest::newRow("Portuguese") << true;
    }
    void aNewWindowSaysItsRowLimitBeforeWriting()
    {
        QFETCH(bool, portuguese);
        m_kit->state.languageEnglish = !portuguese;
        m_kit->state.languagePortuguese = portuguese;
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR")}));
        QCOMPARE(m_window->findChild<QLineEdit*>(Query::kRowLimit)->text(), QStringLiteral("20"));
        const QString target = file(QStringLiteral("KNA1.csv"));
        QVERIFY(exportTo(target));
        QCOMPARE(m_kit->desktop.fileRequests.last().note,
                 portuguese ? QStringLiteral("Grava 20 linhas (o limite de linhas)")
                            : QStringLiteral("Writes 20 rows (the row limit)"));
        QCOMPARE(readAll(target).count("\r\n"), 20 + 2);

        m_window->findChild<QCheckBox*>(Query::kAllRows)->click();
        QCOMPARE(m_window->findChild<QLineEdit*>(Query::kRowLimit)->text(), QStringLiteral("0"));
        QVERIFY(exportTo(target));
        QCOMPARE(m_kit->desktop.fileRequests.last().note,
                 portuguese ? QStringLiteral("Grava todas as linhas (All Rows)")
                            : QStringLiteral("Writes all rows (All Rows)"));
        QCOMPARE(readAll(target).count("\r\n"), 500 + 2);
    }

    // The export fails as a whole: one message naming the table and the exception, a status
    // line that says so, the progress display ended, no file, nothing opened.
    void aFailedTableIsReportedAndNothingWritten()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1"),
                      QStringLiteral("LFA1-LIFNR")}));
        m_window->options().fillOptions(
            {QStringLiteral("KNA1-LAND1 EQ 'BR' "), QStringLiteral("LFA1-LAND1 XX 'DE' ")});
        setLimit(QStringLiteral("0"));
        const QString target = file(QStringLiteral("partners.csv"));
        m_kit->desktop.files.enqueue(target);
        m_window->exporter().exportMyTable();
        QTRY_VERIFY_WITH_TIMEOUT(!exporting(), 60000);
        QCOMPARE(m_kit->desktop.messages.size(), 1);
        const QString message = m_kit->desktop.messages.first().text;
        QVERIFY2(message.contains(QStringLiteral("OPTION_NOT_VALID")) &&
                     message.contains(QStringLiteral("LFA1")) &&
                     message.contains(QStringLiteral("not written")),
                 qPrintable(message));
        QCOMPARE(status(), QStringLiteral("Export failed - LFA1: OPTION_NOT_VALID"));
        QVERIFY(!progress().isShown());
        QVERIFY(!QFile::exists(target));
        QCOMPARE(m_kit->desktop.starts.size(), 0);
    }

    void startNameAndCancelledDialog_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain table") << "KNA1-KUNNR"
                                     << "KNA1";
        QTest::newRow("namespace") << "/ABC/TAB-FIELD"
                                   << "_ABC_TAB";
    }

    void startNameAndCancelledDialog()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        m_window->myTable().addFields({{key, QStringLiteral("C"), 10, QStringLiteral("Key")}});
        QCOMPARE(m_window->myTable().count(), 1);
        const QString before = status();
        m_window->exporter().exportMyTable();
        QCOMPARE(m_kit->desktop.fileRequests.size(), 1);
        QCOMPARE(m_kit->desktop.fileRequests.first().fileName,
                 file(QStringLiteral("last/")) + name);
        // Cancelled: nothing checked, nothing started, nothing said.
        QVERIFY(!exporting());
        QVERIFY(!progress().isShown());
        QCOMPARE(status(), before);
        QCOMPARE(m_kit->desktop.messageTexts(), QStringList{});
        QCOMPARE(m_kit->state.lastExportFile, file(QStringLiteral("last/previous.csv")));
        QCOMPARE(entries(m_dir->path()), QStringList{});
    }

    void noConnectionOrEmptyMyTableEndQuietly()
    {
        // Empty My Table: no dialog, no message.
        m_window->exporter().exportMyTable();
        QCOMPARE(m_kit->desktop.fileRequests.size(), 0);

        QVERIFY(copy({QStringLiteral("KNA1-KUNNR")}));
        m_kit->window.perform(QStringLiteral("mdesconectar"));
        QVERIFY(!m_kit->state.connected);
        m_kit->logon.answers.clear();
        const int asked = m_kit->logon.asked;
        m_kit->desktop.files.enqueue(file(QStringLiteral("never.csv")));
        m_kit->window.perform(QStringLiteral("mimportmytable"));
        QCOMPARE(m_kit->logon.asked, asked + 1);
        QCOMPARE(m_kit->desktop.fileRequests.size(), 0);
        QVERIFY(!exporting());
        QVERIFY(!progress().isShown());
        QCOMPARE(m_kit->desktop.messageTexts(), QStringList{});
        QCOMPARE(entries(m_dir->path()), QStringList{});

        // Logging on when asked goes on with the export.
        m_kit->logon.answers.enqueue(ScriptedLogon::demo());
        m_kit->window.perform(QStringLiteral("mimportmytable"));
        QVERIFY(m_kit->state.connected);
        QCOMPARE(m_kit->desktop.fileRequests.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!exporting(), 60000);
        QVERIFY(
            readAll(file(QStringLiteral("never.csv"))).startsWith("KNA1-KUNNR\r\nCustomer\r\n"));
    }

    void readsAndClosingWaitWhileAnExportRuns()
    {
        QVERIFY(copy({QStringLiteral("BSEG-*")}));
        setLimit(QStringLiteral("0"));
        const QString target = file(QStringLiteral("lines.csv"));
        m_kit->desktop.files.enqueue(target);
        m_window->exporter().exportMyTable();
        QVERIFY(exporting());

        // Opening a table reads from the system beside the export: calls take turns.
        const int fieldsBefore = m_window->fields().view()->topLevelItemCount();
        QVERIFY(m_window->fields().addTableFields(QStringLiteral("MAKT")));
        QVERIFY(m_window->fields().view()->topLevelItemCount() > fieldsBefore);

        // A second export is refused without a dialog.
        m_kit->desktop.files.enqueue(file(QStringLiteral("second.csv")));
        m_kit->window.perform(QStringLiteral("mimportmytable"));
        QCOMPARE(m_kit->desktop.fileRequests.size(), 1);
        QCOMPARE(status(), kRunning);

        // The window cannot close under the running export.
        auto* sub = qobject_cast<QMdiSubWindow*>(m_window->parentWidget());
        QVERIFY(sub);
        QVERIFY(!sub->close());
        QCOMPARE(m_kit->window.workspace()->subWindowList().size(), 1);
        QVERIFY(m_window->isVisible());
        QCOMPARE(status(), kRunning);
        QCOMPARE(m_kit->desktop.messageTexts(), QStringList{});

        QTRY_VERIFY_WITH_TIMEOUT(!exporting(), 60000);
        QVERIFY2(status().startsWith(QStringLiteral("My Table > ")), qPrintable(status()));
        const QByteArrayList lines = readAll(target).split('\n');
        // Two header lines, the 10,000 accounting lines, nothing after the last line end.
        QCOMPARE(lines.size(), 2 + 10000 + 1);
        QVERIFY(!QFile::exists(file(QStringLiteral("second.csv"))));
    }

    void cancelLeavesThePreviousFile_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::addColumn<bool>("previous");
        QTest::addColumn<bool>("portuguese");
        QTest::newRow("cancel button, file before") << false << true << false;
        QTest::newRow("Esc, file before") << true << true << false;
        QTest::newRow("cancel button, no file before") << false << false << false;
        QTest::newRow("in Portuguese") << false << true << true;
    }

    void cancelLeavesThePreviousFile()
    {
        QFETCH(bool, escape);
        QFETCH(bool, previous);
        QFETCH(bool, portuguese);
        m_kit->state.languageEnglish = !portuguese;
        m_kit->state.languagePortuguese = portuguese;
        QVERIFY(copy({QStringLiteral("KNA1-*"), QStringLiteral("BSEG-*")}));
        setLimit(QStringLiteral("0"));
        const QString target = file(QStringLiteral("big.csv"));
        const QByteArray before = "KNA1-KUNNR\r\nthe last good export\r\n";
        if (previous)
            QVERIFY(writeAll(target, before));
        m_kit->desktop.files.enqueue(target);
        m_window->exporter().exportMyTable();
        QVERIFY(exporting());
        if (escape) {
            m_kit->window.activateWindow();
            QTest::keyClick(&m_kit->window, Qt::Key_Escape);
        } else {
            progress().cancel();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!exporting(), 60000);
        QCOMPARE(status(),
                 (portuguese ? QStringLiteral("Importação cancelada; o arquivo ficou como "
                                              "estava: ")
                             : kCancelled) +
                     target);
        QVERIFY(!progress().isShown());
        QCOMPARE(m_kit->desktop.messageTexts(), QStringList{});
        QCOMPARE(m_kit->desktop.starts.size(), 0);
        if (previous) {
            QCOMPARE(readAll(target), before);
            QCOMPARE(entries(m_dir->path()), QStringList{"big.csv"});
        } else {
            QCOMPARE(entries(m_dir->path()), QStringList{});
        }
    }

    void unwritableTargetsAreReported_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a missing folder") << "missing";
        QTest::newRow("no permission") << "permission";
    }

    void unwritableTargetsAreReported()
    {
        QFETCH(QString, kind);
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR")}));
        QString target;
        const QByteArray before = "open elsewhere\r\n";
        if (kind == u"folder") {
            target = file(QStringLiteral("folder.csv"));
            QVERIFY(QDir().mkpath(target));
        } else if (kind == u"missing") {
            target = file(QStringLiteral("missing/out.csv"));
        } else {
            target = file(QStringLiteral("locked.csv"));
            QVERIFY(writeAll(target, before));
            // Readable by everyone, writable by no one.
            const auto readable =
                QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
            const auto enterable =
                QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
            QVERIFY(QFile::setPermissions(m_dir->path(),
                                          readable | enterable | QFileDevice::WriteOwner));
            QVERIFY(QFile::setPermissions(target, readable));
        }
        m_kit->desktop.files.enqueue(target);
        // Root may write anything: the check runs as an ordinary user for a permission error.
        const bool root = geteuid() == 0 && kind == u"permission";
        if (root)
            QVERIFY(seteuid(65534) == 0);
        m_window->exporter().exportMyTable();
        if (root)
            QVERIFY(seteuid(0) == 0);

        QCOMPARE(m_kit->desktop.fileRequests.size(), 1);
        QCOMPARE(status(), QStringLiteral("Checking ") + target);
        QVERIFY(!exporting());
        QVERIFY(!progress().isShown());
        const QStringList messages = m_kit->desktop.messageTexts();
        QVERIFY2(!messages.isEmpty() && messages.first().startsWith(QStringLiteral("Error ")),
                 qPrintable(messages.join(u'|')));
        if (kind == u"permission") {
            QVERIFY2(messages.first().startsWith(QStringLiteral("Error 70: ")),
                     qPrintable(messages.first()));
            QCOMPARE(messages.size(), 2);
            QCOMPARE(messages.at(1), QStringLiteral("Please, close your ") + target +
                                         QStringLiteral(" table and try again!"));
            QCOMPARE(readAll(target), before);
            QCOMPARE(entries(m_dir->path()), QStringList{"locked.csv"});
        } else if (kind == u"missing") {
            QCOMPARE(messages.size(), 1);
            QVERIFY(!QFileInfo::exists(file(QStringLiteral("missing"))));
        } else {
            QVERIFY(QFileInfo(target).isDir());
        }
    }

    // The save dialog's file type decides how the rows are written, and is offered first the
    // next time.
    void fileTypesOfTheSaveDialog_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("text") << 0 << "a"
                              << "a.csv" << QByteArray("KNA1-KUNNR;KNA1-NAME1\r\n");
        QTest::newRow("text, .txt") << 1 << "b"
                                    << "b.txt" << QByteArray("KNA1-KUNNR;KNA1-NAME1\r\n");
        QTest::newRow("workbook") << 2 << "c"
                                  << "c.xlsx" << QByteArray("PK");
        QTest::newRow("workbook by its name") << 0 << "d.xlsx"
                                              << "d.xlsx" << QByteArray("PK");
        QTest::newRow("text for spreadsheets")
            << 3 << "e"
            << "e.csv" << QByteArray("\xEF\xBB\xBFKNA1-KUNNR;KNA1-NAME1\r\n");
    }

    void fileTypesOfTheSaveDialog()
    {
        QFETCH(int, type);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QByteArray, start);
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-NAME1")}));
        setLimit(QStringLiteral("3"));
        m_kit->desktop.filterIndexes.enqueue(type);
        QVERIFY(exportTo(file(typed)));
        QVERIFY2(m_kit->desktop.messages.isEmpty(),
                 qPrintable(m_kit->desktop.messageTexts().join(u'|')));
        const QByteArray bytes = readAll(file(written));
        QVERIFY2(bytes.startsWith(start), bytes.left(40).constData());
        if (type == 3) // values without the blanks that pad them
            QVERIFY(bytes.contains("\r\n0000000001;") && !bytes.contains(" \r\n"));
        // The next dialog offers the same type first.
        m_kit->desktop.files.enqueue(std::nullopt);
        m_window->exporter().exportMyTable();
        QCOMPARE(m_kit->desktop.fileRequests.last().filterIndex, type);
    }

    // A name typed without an extension would open in a text editor, not the spreadsheet.
    void aNameWithoutExtensionGetsCsv()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR")}));
        setLimit(QStringLiteral("5"));
        QVERIFY(exportTo(file(QStringLiteral("customers"))));
        QVERIFY(QFile::exists(file(QStringLiteral("customers.csv"))));
        QVERIFY(!QFile::exists(file(QStringLiteral("customers"))));
        QCOMPARE(m_kit->state.lastExportFile, file(QStringLiteral("customers.csv")));
    }

    // --- zorv export

    void exportCommandWritesWhatTheWindowWrites()
    {
        const QString fromWindow = file(QStringLiteral("window.csv"));
        const QString query = file(QStringLiteral("partners.txt"));
        QVERIFY(exportAndSaveQuery(fromWindow, query));
        const QByteArray bytes = readAll(fromWindow);
        // Both pieces returned rows, and values that need quotes are among them.
        QVERIFY(bytes.count("\r\n") > 40);
        QVERIFY(bytes.contains("\"\""));

        const QString exported = file(QStringLiteral("exported.csv"));
        Run run = zorv({query, QStringLiteral("--output"), exported});
        QVERIFY2(run.code == 0, run.err.constData());
        QCOMPARE(run.out, exported.toUtf8() + '\n');
        QCOMPARE(readAll(exported), bytes);

        // Without --output the file is the one the query names: the last export's.
        QVERIFY(QFile::remove(fromWindow));
        run = zorv({query});
        QVERIFY2(run.code == 0, run.err.constData());
        QCOMPARE(run.out, fromWindow.toUtf8() + '\n');
        QCOMPARE(readAll(fromWindow), bytes);
    }

    void exportCommandSeparatorAndEncoding()
    {
        const QString fromWindow = file(QStringLiteral("window.csv"));
        const QString query = file(QStringLiteral("partners.txt"));
        QVERIFY(exportAndSaveQuery(fromWindow, query));

        // The window's export with a separator of two characters, to compare with.
        m_kit->state.listSeparator = QStringLiteral("||");
        const QString piped = file(QStringLiteral("piped.csv"));
        QVERIFY(exportTo(piped));
        const QByteArray windowBytes = readAll(piped);
        QVERIFY(windowBytes.startsWith("KNA1-KUNNR||KNA1-NAME1||KNA1-ORT01||LFA1-LIFNR||"));

        const QString exported = file(QStringLiteral("exported.csv"));
        const Run run =
            zorv({query, QStringLiteral("--output"), exported, QStringLiteral("--separator"),
                  QStringLiteral("||"), QStringLiteral("--encoding"), QStringLiteral("utf-8")});
        QVERIFY2(run.code == 0, run.err.constData());
        // The same text, in UTF-8 behind a byte order mark.
        QCOMPARE(readAll(exported), "\xEF\xBB\xBF" + QString::fromLatin1(windowBytes).toUtf8());
    }

    void exportCommandFailures_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("exception");
        QTest::newRow("option not valid") << "KNA1-KUNNR"
                                          << "KNA1-LAND1 XX 'DE' "
                                          << "OPTION_NOT_VALID";
        QTest::newRow("table not available") << "ZNOPE-FIELD"
                                             << ""
                                             << "TABLE_NOT_AVAILABLE";
    }

    void exportCommandFailures()
    {
        QFETCH(QString, field);
        QFETCH(QString, option);
        QFETCH(QString, exception);
        const QString output = file(QStringLiteral("out.csv"));
        const QString query = file(QStringLiteral("bad.txt"));
        QVERIFY(writeQuery(query, field, option, output));

        const Run run = zorv({query});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(exception.toLatin1()), run.err.constData());
        QVERIFY2(run.err.contains("was not written"), run.err.constData());
        QVERIFY(!QFile::exists(output));
    }

    // Refused before anything is read: lines the system would cut, options no table sends,
    // targets that are not files (a device or a pipe would be replaced by a file), pages of
    // no rows.
    void exportCommandRefusals_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("target"); // file, fifo, folder
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("an option longer than a line")
            << "KNA1-NAME1 EQ '" + QString(62, u'x') + u'\'' << "file" << QStringList{} << 1
            << "characters long as it is sent";
        QTest::newRow("an option of a table not in My Table")
            << "BKPF-BELNR EQ '1'"
            << "file" << QStringList{} << 1 << "names no table";
        QTest::newRow("a pipe") << ""
                                << "fifo" << QStringList{} << 1 << "not a regular file";
        QTest::newRow("a folder") << ""
                                  << "folder" << QStringList{} << 1 << "not a regular file";
        QTest::newRow("pages of no rows")
            << ""
            << "file" << QStringList{"--page-rows", "0"} << 2 << "--page-rows takes";
    }

    void exportCommandRefusals()
    {
        QFETCH(QString, option);
        QFETCH(QString, target);
        QFETCH(QStringList, extra);
        QFETCH(int, code);
        QFETCH(QString, message);
        const QString output = file(QStringLiteral("out"));
        if (target == u"fifo")
            QCOMPARE(::mkfifo(output.toUtf8().constData(), 0600), 0);
        else if (target == u"folder")
            QVERIFY(QDir().mkpath(output));
        const QString query = file(QStringLiteral("q.txt"));
        QVERIFY(writeQuery(query, QStringLiteral("KNA1-KUNNR"), option, output));
        const Run run = zorv(QStringList{query} + extra);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
        const QFileInfo info(output);
        QCOMPARE(info.exists(), target != u"file");
        QVERIFY(!info.isFile());
    }

    void exportCommandWritesToStandardOutput()
    {
        const QString query = file(QStringLiteral("q.txt"));
        QVERIFY(writeQuery(query, QStringLiteral("KNA1-KUNNR"), {}, file(QStringLiteral("x.csv"))));
        const Run run = zorv({query, QStringLiteral("--output"), QStringLiteral("-")});
        QVERIFY2(run.code == 0, run.err.constData());
        QVERIFY(run.out.startsWith("KNA1-KUNNR\r\nKey\r\n0000000001\r\n"));
        QCOMPARE(run.out.count("\r\n"), 2 + 500);
        QVERIFY(!QFile::exists(file(QStringLiteral("x.csv"))));
    }

    void exportCommandWrongPassword()
    {
        const QString output = file(QStringLiteral("audit.csv"));
        const QString query = file(QStringLiteral("customers.txt"));
        QVERIFY(writeQuery(query, QStringLiteral("KNA1-KUNNR"), {}, output));
        const Run run = zorv({query, QStringLiteral("--output"), output, QStringLiteral("--user"),
                              QStringLiteral("AUDIT")},
                             QStringLiteral("wrong"));
        QCOMPARE(run.code, 1);
        QVERIFY(!run.err.trimmed().isEmpty());
        QVERIFY(!run.err.contains("wrong"));
        QVERIFY(!QFile::exists(output));
    }

    // Kept last: if the connection is torn down under the worker, the process may not survive.
    // The export keeps its own hold on the connection: a disconnect goes through at once, and
    // the export ends undisturbed.
    void disconnectDoesNotDisturbARunningExport()
    {
        QVERIFY(copy({QStringLiteral("KNA1-*"), QStringLiteral("BSEG-*")}));
        setLimit(QStringLiteral("0"));
        const QString target = file(QStringLiteral("everything.csv"));
        m_kit->desktop.files.enqueue(target);
        m_window->exporter().exportMyTable();
        QVERIFY(exporting());
        m_kit->window.perform(QStringLiteral("mdesconectar"));
        QVERIFY(!m_kit->state.connected);
        QTRY_VERIFY_WITH_TIMEOUT(!exporting(), 60000);
        QCOMPARE(m_kit->desktop.messageTexts(), QStringList{});
        QVERIFY2(status().startsWith(QStringLiteral("My Table > ")), qPrintable(status()));
        QCOMPARE(readAll(target).count("\r\n"), 2 + 10000);
    }
};

QTEST_MAIN(TestWindowExport)
#include "tst_windowexport.moc"
