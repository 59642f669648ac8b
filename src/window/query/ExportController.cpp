#include "window/query/ExportController.h"

#include "query/document/QueryDocumentFile.h"
#include "query/export/ExportTarget.h"
#include "query/read/ElapsedText.h"
#include "query/read/ReadMessage.h"
#include "query/read/ReadWorker.h"
#include "query/read/SessionPool.h"
#include "sap/TableReader.h"
#include "shell/AppState.h"
#include "shell/DesktopServices.h"
#include "shell/Language.h"
#include "shell/ShellHost.h"
#include "shell/Texts.h"
#include "window/query/QueryCommands.h"
#include "window/query/QueryContext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

QString ExportController::fileTypes(const Language& language)
{
    return language.pick(Texts::get(TextId::ExportFileTypes));
}

namespace
{
// The file type last chosen, kept beside the settings file (which keeps its own lines).
QString choiceFile(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("export.ini"));
}
} // namespace

ExportController::ExportController(QueryContext& context, Hooks hooks, QObject* parent)
    : QObject(parent), m_context(context), m_hooks(std::move(hooks)), m_worker(new ReadWorker(this))
{
    connect(m_worker, &ReadWorker::finished, this, [this](bool) {
        m_context.host.setProgressCancel({});
        report(m_result);
        Q_EMIT finished(m_result);
    });
}

void ExportController::addCommands(QueryCommands& commands)
{
    commands.add(QStringLiteral("mimportmytable"), [this] { exportMyTable(); });
}

void ExportController::exportMyTable()
{
    ShellHost& host = m_context.host;
    if (running()) {
        host.setStatusText(Language(host.state()).pick(Texts::get(TextId::ExportRunning)));
        return;
    }
    if (!host.state().connected) {
        host.connectToSystem();
        if (!host.state().connected)
            return;
    }
    if (m_hooks.fieldCount() == 0)
        return;
    QString file = m_hooks.file();
    if (file.isEmpty())
        file = host.state().lastExportFile;
    if (!askFile(m_hooks.tableName(), file))
        return;
    m_hooks.setFile(file);
    host.state().lastExportFile = file;
    m_file = file;
    host.startProgress(QStringLiteral("Download"));
    host.advanceProgress(1);
    if (!m_hooks.readPlan(m_plan) || !readable(m_plan) || !start(m_plan, file, m_hooks.rowLimit()))
        host.endProgress();
}

void ExportController::report(const TableExport::Result& result)
{
    ShellHost& host = m_context.host;
    Desktop& desktop = host.services().desktop();
    const Language language(host.state());
    const QString& file = m_file;
    host.endProgress();
    if (result.cancelled) {
        host.setStatusText(language.pick(Texts::get(TextId::ExportCancelled)) + file);
        return;
    }
    for (const ReadJob::Failure& failure : result.failures) {
        if (failure.exception == u"SYSTEM_FAILURE")
            m_context.reader.systemFailure();
    }
    if (!result.ok) {
        ReadJob::Result read;
        read.failures = result.failures;
        read.error = result.failures.empty() && !result.error.isEmpty()
                         ? BiText::same(QStringLiteral("Error 75: ")) + result.error
                         : result.error;
        const ReadMessage message(host.state(), ReadMessage::Action::Export);
        host.setStatusText(message.statusLine(read));
        desktop.message(message.failure(read, &m_plan), Desktop::Buttons::Ok,
                        Desktop::Icon::Warning, message.title());
        return;
    }
    if (result.lostCharacters > 0)
        desktop.message(QString::number(result.lostCharacters) +
                        language.pick(Texts::get(TextId::LostCharacters)) + file);
    host.services().openWithAssociatedProgram(file);
    host.setStatusText(exportDoneText(host.state(), m_plan, result, file, m_rowLimit));
}

ExportController::~ExportController()
{
    wait();
}

bool ExportController::running() const
{
    return m_worker->running();
}

void ExportController::cancel()
{
    m_worker->cancel();
}

void ExportController::wait()
{
    m_worker->stop();
}

QString ExportController::doneText(const AppState& state, const ReadPlan& plan, long rows,
                                   double seconds, int calls)
{
    const Language language(state);
    int rowBytes = 0;
    for (const ReadPlan::Field& field : plan.fields())
        rowBytes += field.length;
    return language.pick(Texts::get(TextId::ExportDone)) + QString::number(plan.fieldCount()) +
           language.pick(Texts::get(TextId::ExportDoneFields)) + QString::number(rows) +
           language.pick(Texts::get(TextId::ExportDoneRows)) + QString::number(rowBytes) +
           language.pick(Texts::get(TextId::ExportDoneBytes)) + ElapsedText::format(seconds) +
           (calls > 0 ? QStringLiteral(" (") + language.pick(ReadJob::callsText(calls, {})) + u')'
                      : QString());
}

QString ExportController::exportDoneText(const AppState& state, const ReadPlan& plan,
                                         const TableExport::Result& result, const QString& file,
                                         qint64 rowLimit)
{
    const Language language(state);
    QStringList notes;
    for (const BiText& note : result.notes)
        notes.append(language.pick(note));
    // An export that stopped at the row limit says so, lest it pass for the whole table.
    if (rowLimit > 0 && result.rows >= rowLimit)
        notes.prepend(language.pick(Texts::get(TextId::ExportStoppedAtRowLimit)).arg(result.rows));
    QString text = doneText(state, plan, result.rows, result.elapsed, result.calls) +
                   QStringLiteral(": ") + QDir::toNativeSeparators(file);
    if (!notes.isEmpty())
        text += QStringLiteral(" (") + notes.join(QStringLiteral("; ")) + u')';
    return text;
}

QString ExportController::rowLimitNote(const AppState& state, qint64 rowLimit)
{
    const Language language(state);
    if (rowLimit <= 0)
        return language.pick(Texts::get(TextId::ExportWritesAllRows));
    if (rowLimit == 1)
        return language.pick(Texts::get(TextId::ExportWritesOneRow));
    return language.pick(Texts::get(TextId::ExportWritesRows)).arg(rowLimit);
}

QString ExportController::withExtension(const QString& path, int fileType)
{
    // A name typed without an extension would open in a text editor, not the spreadsheet.
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    switch (fileType) {
    case TxtFile:
        return path + QStringLiteral(".txt");
    case Workbook:
        return path + QStringLiteral(".xlsx");
    default:
        return path + QStringLiteral(".csv");
    }
}

void ExportController::applyFileType(const QString& path, int fileType,
                                     TableExport::Settings& settings)
{
    settings.format = TableExport::formatOf(path);
    const bool spreadsheetText =
        fileType == SpreadsheetText && settings.format == TableExport::Format::Csv;
    settings.encoding =
        spreadsheetText ? TableExport::Encoding::Utf8 : TableExport::Encoding::WindowsCodePage;
    settings.trim = spreadsheetText;
    settings.markFormulasAsText = spreadsheetText;
}

bool ExportController::askFile(const QString& table, QString& file)
{
    DesktopServices& services = m_context.host.services();
    const QString name =
        DesktopServices::replaceAll(table, QStringLiteral("/"), QStringLiteral("_"));
    file = QueryDocumentFile::folderOf(file) + name;
    const Language language(m_context.host.state());
    const QString title = language.pick(Texts::get(TextId::SaveMyTableAs));
    QSettings choice(choiceFile(m_context.programFolder), QSettings::IniFormat);
    const int last = std::clamp(choice.value(QStringLiteral("Export/FileType")).toInt(), 0,
                                static_cast<int>(SpreadsheetText));
    // Said before anything is written: a new window's limit is 20 rows, not the table.
    const QString note = rowLimitNote(m_context.host.state(), m_hooks.rowLimit());
    if (services.chooseFileToSaveAs(title, fileTypes(language), file, last, note) == 0)
        return false;
    m_fileType = services.dialogFilterIndex();
    if (m_fileType != last)
        choice.setValue(QStringLiteral("Export/FileType"), m_fileType);
    file = withExtension(services.dialogFileName(), m_fileType);
    return checkFile(file);
}

bool ExportController::checkFile(const QString& path)
{
    ShellHost& host = m_context.host;
    host.setStatusText(Texts::get(TextId::Checking).en + path);
    Desktop& desktop = host.services().desktop();
    const BiText unfit = ExportTarget::unfit(path);
    if (!unfit.en.isEmpty()) {
        desktop.message(QStringLiteral("Error 75: ") + Language(host.state()).pick(unfit));
        return false;
    }
    // The file is only checked here; it is replaced when the export has written it all.
    QFile file(path);
    const bool existed = file.exists();
    if (file.open(existed ? QIODevice::ReadWrite | QIODevice::Append : QIODevice::WriteOnly)) {
        file.close();
        if (!existed)
            file.remove();
        return true;
    }
    const bool locked = file.error() == QFileDevice::OpenError && existed;
    desktop.message(QStringLiteral("Error %1: %2").arg(locked ? 70 : 75).arg(file.errorString()));
    if (locked)
        desktop.message(Texts::get(TextId::CloseYourTable).en + path +
                        Texts::get(TextId::CloseYourTableEnd).en);
    return false;
}

bool ExportController::readable(const ReadPlan& plan)
{
    const BiText problem = ReadJob::check(plan);
    if (problem.en.isEmpty())
        return true;
    const Language language(m_context.host.state());
    m_context.host.services().desktop().message(language.pick(problem), Desktop::Buttons::Ok,
                                                Desktop::Icon::Warning,
                                                language.pick(Texts::get(TextId::TitleExport)));
    return false;
}

bool ExportController::start(const ReadPlan& plan, const QString& path, qint64 rowLimit)
{
    ShellHost& host = m_context.host;
    const std::shared_ptr<RfcDestination> destination = m_context.reader.destination();
    if (!destination || running())
        return false;
    const std::shared_ptr<KeyCatalog> keys = m_context.keys;
    keys->bind(destination);
    TableExport::Settings settings;
    settings.path = path;
    settings.separator = host.state().listSeparator;
    settings.rowLimit = rowLimit;
    settings.widestModule = true;
    settings.moduleName = host.state().readModule;
    settings.countRows = true;
    settings.sessions = SessionPool::fromSetting(host.state().readSessions);
    settings.openSession = m_context.reader.sessionOpener();
    m_rowLimit = rowLimit;
    applyFileType(path, m_fileType, settings);
    m_result = {};
    host.setProgressCancel([this] { cancel(); });
    std::atomic<float>& fraction = host.state().progressFraction;
    return m_worker->start(
        [this, destination, keys, plan, settings, &fraction](const std::atomic<bool>& cancel) {
            TableExport::Observer observer;
            observer.progress = [&fraction](float f) { fraction.store(f); };
            observer.status = [this](const BiText& text) {
                QMetaObject::invokeMethod(
                    this,
                    [this, text] {
                        m_context.host.setStatusText(Language(m_context.host.state()).pick(text));
                    },
                    Qt::QueuedConnection);
            };
            TableExport exporter(*destination, *keys, plan, settings);
            m_result = exporter.run(cancel, observer);
        });
}
