#include "ImportController.h"

#include "AppState.h"
#include "DesktopServices.h"
#include "ElapsedText.h"
#include "Language.h"
#include "QueryContext.h"
#include "QueryDocumentFile.h"
#include "RfcConnection.h"
#include "SapComponents.h"
#include "ShellHost.h"
#include "TableReader.h"
#include "Texts.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

ImportController::ImportController(QueryContext& context, QObject* parent)
    : QObject(parent), m_context(context)
{
}

ImportController::~ImportController()
{
    wait();
}

QString ImportController::ShowImportDone(const AppState& state, int fields, long rows,
                                         double seconds)
{
    const Language language(state);
    return language.pick(Texts::get(TextId::ImportDone)) + QString::number(fields) +
           language.pick(Texts::get(TextId::ImportDoneFields)) + QString::number(rows) +
           language.pick(Texts::get(TextId::ImportDoneRows)) + QString::number(state.RowBytes) +
           language.pick(Texts::get(TextId::ImportDoneBytes)) + ElapsedText::format(seconds);
}

bool ImportController::AskExportFile(const QString& table, QString& MyTableF)
{
    DesktopServices& services = m_context.host.services();
    const QString name =
        DesktopServices::ReplaceAll(table, QStringLiteral("/"), QStringLiteral("_"));
    MyTableF = QueryDocumentFile::FolderOf(MyTableF) + name;
    const QString title = Language(m_context.host.state()).pick(Texts::get(TextId::SaveMyTableAs));
    if (services.ChooseFileToSaveAs(title, QStringLiteral("Text (*.csv)|*.csv|Text (*.txt)|*.txt"),
                                    MyTableF) == 0)
        return false;
    MyTableF = services.dialogFileName();
    return CheckExportFile(MyTableF);
}

bool ImportController::CheckExportFile(const QString& path)
{
    ShellHost& host = m_context.host;
    host.setStatusText(Texts::get(TextId::Checking).en + path);
    // The file is only checked here; it is replaced when the import has written it all.
    QFile file(path);
    const bool existed = file.exists();
    if (file.open(existed ? QIODevice::ReadWrite | QIODevice::Append : QIODevice::WriteOnly)) {
        file.close();
        if (!existed)
            file.remove();
        return true;
    }
    Desktop& desktop = host.services().desktop();
    const bool locked = file.error() == QFileDevice::OpenError && existed;
    desktop.message(QStringLiteral("Error %1: %2").arg(locked ? 70 : 75).arg(file.errorString()));
    if (locked)
        desktop.message(Texts::get(TextId::CloseYourTable).en + path +
                        Texts::get(TextId::CloseYourTableEnd).en);
    return false;
}

bool ImportController::start(const ReadPlan& plan, const QString& path, qint64 rowLimit)
{
    ShellHost& host = m_context.host;
    // The reader's connection serves the import; nothing else reads until it ends.
    RfcDestination* destination = m_context.reader.destination();
    if (!destination || running())
        return false;
    TableExport::Settings settings;
    settings.path = path;
    settings.separator = host.state().ListSeparator;
    settings.rowLimit = rowLimit;
    m_export = std::make_unique<TableExport>(*destination, plan, settings);
    m_cancel = false;
    m_path = path;
    host.state().ImportRunning = true;
    host.setProgressCancel([this] { cancel(); });
    std::atomic<float>& fraction = host.state().ProgressFraction;
    m_thread = QThread::create([this, &fraction] {
        TableExport::Observer observer;
        observer.progress = [&fraction](float f) { fraction.store(f); };
        observer.status = [this](const QString& text) {
            QMetaObject::invokeMethod(
                this, [this, text] { m_context.host.setStatusText(text); }, Qt::QueuedConnection);
        };
        m_result = m_export->run(m_cancel, observer);
    });
    connect(m_thread, &QThread::finished, this, &ImportController::done);
    m_thread->start();
    return true;
}

void ImportController::wait()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        done();
    }
}

void ImportController::done()
{
    if (!m_thread)
        return;
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    m_export.reset();
    m_context.host.state().ImportRunning = false;
    m_context.host.setProgressCancel({});
    Q_EMIT finished(m_result);
}
