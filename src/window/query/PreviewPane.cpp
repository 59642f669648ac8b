#include "window/query/PreviewPane.h"

#include "query/document/PrintFile.h"
#include "query/read/ReadMessage.h"
#include "query/read/ReadWorker.h"
#include "query/read/RowCollector.h"
#include "query/read/SessionPool.h"
#include "sap/TableReader.h"
#include "shell/AppState.h"
#include "shell/DesktopServices.h"
#include "shell/Language.h"
#include "shell/ShellHost.h"
#include "shell/Texts.h"
#include "shell/Twips.h"
#include "window/query/ExportController.h"
#include "window/query/PreviewFilter.h"
#include "window/query/PreviewFilterBar.h"
#include "window/query/PreviewGrid.h"
#include "window/query/PreviewModel.h"
#include "window/query/QueryCommands.h"
#include "window/query/QueryContext.h"
#include "window/query/RowNumberColumn.h"

#include <QHeaderView>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace
{
const QString kAscending = QStringLiteral(" »");
const QString kDescending = QStringLiteral(" «");
// A read that ends sooner shows no progress display.
constexpr int kProgressDelayMs = 300;
} // namespace

// What a read on the worker thread hands back to the window.
struct PreviewPane::Read {
    ReadPlan plan;
    std::vector<std::vector<QString>> rows;
    ReadJob::Result result;
};

PreviewPane::PreviewPane(QueryContext& context, QTableView* view, Hooks hooks)
    : QObject(view), m_context(context), m_view(view), m_hooks(std::move(hooks)),
      m_model(new PreviewModel(this)), m_filter(new PreviewFilter(m_model, this)),
      m_worker(new ReadWorker(this)), m_progressDelay(new QTimer(this))
{
    m_progressDelay->setSingleShot(true);
    m_progressDelay->setInterval(kProgressDelayMs);
    connect(m_progressDelay, &QTimer::timeout, this, &PreviewPane::showProgress);
    connect(m_worker, &ReadWorker::finished, this, [this](bool) {
        m_progressDelay->stop();
        if (m_progressShown) {
            m_context.host.setProgressCancel({});
            m_context.host.endProgress();
            m_progressShown = false;
        }
        const std::shared_ptr<Read> read = std::move(m_read);
        if (read)
            showResult(*read);
        Q_EMIT finished();
    });
    m_view->setModel(m_filter);
    m_filterBar = new PreviewFilterBar(m_filter, m_view->parentWidget());
    m_grid = new PreviewGrid(m_view, m_model, [this](int column) {
        return column > 0 && column <= m_plan.fieldCount() ? m_plan.fields().at(column - 1).key
                                                           : m_model->header(column);
    });
    connect(m_grid, &PreviewGrid::sortRequested, this, &PreviewPane::sortBy);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    m_view->setWordWrap(false);
    m_view->horizontalHeader()->setSectionsClickable(true);
    m_view->setColumnWidth(0, Twips::toPixels(9400, m_hooks.dotsPerInch()));
    connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, this, &PreviewPane::sortBy);
    m_rowNumbers = new RowNumberColumn(m_view);
    connect(m_rowNumbers, &RowNumberColumn::headerClicked, this, &PreviewPane::sortBy);
}

int PreviewPane::widthFactor(int fields)
{
    int factor = 15; // exactly 1000 fields takes the factor of the fields just below
    if (fields > 1000)
        factor = 13;
    if (fields < 1000)
        factor = 15;
    if (fields < 760)
        factor = 20;
    if (fields < 600)
        factor = 23;
    if (fields < 320)
        factor = 50;
    if (fields < 240)
        factor = 66;
    if (fields < 200)
        factor = 70;
    if (fields < 160)
        factor = 90;
    return factor;
}

int PreviewPane::columnWidth(int length, int textLength, int factor)
{
    const int width = std::max(length, textLength) * factor;
    return factor == 90 && width < 1200 ? 1200 : width;
}

void PreviewPane::showHeaders()
{
    const double dpi = m_hooks.dotsPerInch();
    const int factor = widthFactor(m_plan.fieldCount());
    QStringList headers{QStringLiteral("Row")};
    QStringList tips{QString()};
    QStringList types{QStringLiteral("N")};
    std::vector<bool> packed{false};
    for (const ReadPlan::Field& field : m_plan.fields()) {
        headers.append(field.text);
        tips.append(field.key + u' ' + field.text);
        types.append(field.type);
        packed.push_back(field.type == u"P");
    }
    m_model->setOverflowTip(
        Language(m_context.host.state()).pick(Texts::get(TextId::PreviewValueOverflowed)));
    m_model->reset(headers, packed, tips, types);
    // Until the rows come, the widths of the field lengths; a stretched last column would be
    // laid out again after each of them.
    m_view->horizontalHeader()->setStretchLastSection(false);
    m_view->setColumnWidth(0, Twips::toPixels(kRowColumnTwips, dpi));
    for (int i = 0; i < m_plan.fieldCount(); ++i) {
        const ReadPlan::Field& field = m_plan.fields().at(i);
        m_view->setColumnWidth(
            i + 1,
            Twips::toPixels(columnWidth(field.length, static_cast<int>(field.text.size()), factor),
                            dpi));
    }
    m_view->horizontalHeader()->setStretchLastSection(true);
}

PreviewPane::~PreviewPane()
{
    // The grid may be half torn down by now: what the worker read is dropped, not shown.
    m_read.reset();
    m_worker->stop();
}

bool PreviewPane::reading() const
{
    return m_worker->running();
}

void PreviewPane::cancel()
{
    m_worker->cancel();
}

void PreviewPane::wait()
{
    m_worker->wait();
}

void PreviewPane::clear()
{
    m_read.reset();
    m_worker->stop();
    m_rows = 0;
    m_view->setSortingEnabled(false);
    m_model->reset({QStringLiteral("Preview")});
    m_view->setColumnWidth(0, Twips::toPixels(9400, m_hooks.dotsPerInch()));
    m_context.host.setCommandEnabled(QStringLiteral("mprintpreview"), false);
}

void PreviewPane::showProgress()
{
    if (!m_worker->running())
        return;
    m_progressShown = true;
    m_context.host.startProgress(QStringLiteral("Preview"));
    m_context.host.setProgressCancel([this] { cancel(); });
}

void PreviewPane::readPreview()
{
    ShellHost& host = m_context.host;
    if (m_worker->running()) {
        host.setStatusText(Language(host.state()).pick(Texts::get(TextId::ExportRunning)));
        return;
    }
    qint64 limit = m_hooks.rowLimit();
    if (limit > kMaxRows || limit <= 0)
        limit = kMaxRows;
    if (m_hooks.paneClosed())
        m_hooks.openPane();
    host.setCommandEnabled(QStringLiteral("mcloseqpreview"), true);
    // A query that cannot be read is refused before anything is cleared: the rows read last
    // stay in the grid (and printable) while the user mends the query.
    ReadPlan plan;
    if (!m_hooks.readPlan(plan))
        return;
    if (!host.state().connected) {
        host.connectToSystem();
        if (!host.state().connected)
            return;
    }
    const BiText problem = ReadJob::check(plan);
    const std::shared_ptr<RfcDestination> destination = m_context.reader.destination();
    if (!problem.en.isEmpty() || !destination) {
        const Language language(host.state());
        if (!problem.en.isEmpty())
            host.services().desktop().message(language.pick(problem), Desktop::Buttons::Ok,
                                              Desktop::Icon::Warning,
                                              language.pick(Texts::get(TextId::TitlePreview)));
        return;
    }
    m_plan = std::move(plan);
    m_rows = 0;
    m_view->setSortingEnabled(false);
    showHeaders();
    const std::shared_ptr<KeyCatalog> keys = m_context.keys;
    keys->bind(destination);
    auto read = std::make_shared<Read>();
    read->plan = m_plan;
    m_read = read;
    ReadJob::Settings settings;
    settings.limit = limit;
    settings.keepWhatWasRead = true;
    settings.widestModule = true;
    settings.moduleName = host.state().readModule;
    settings.sessions = SessionPool::fromSetting(host.state().readSessions);
    settings.openSession = m_context.reader.sessionOpener();
    host.setStatusText(Texts::get(TextId::PreviewStatus).en + m_plan.pieces().front().table);
    m_worker->start([read, destination, keys, settings](const std::atomic<bool>& cancel) {
        RowCollector rows(read->plan.fieldCount());
        ReadJob job(*destination, *keys, read->plan, settings);
        read->result = job.run(rows, cancel);
        read->rows = rows.takeRows();
    });
    m_progressDelay->start();
}

void PreviewPane::showResult(const Read& read)
{
    ShellHost& host = m_context.host;
    const ReadJob::Result& result = read.result;
    m_model->fillPiece(read.rows, 1);
    m_grid->fitColumns();
    m_rows = static_cast<long>(read.rows.size());
    m_elapsed = result.elapsed;
    for (const ReadJob::Failure& failure : result.failures) {
        if (failure.exception == u"SYSTEM_FAILURE")
            m_context.reader.systemFailure();
    }
    const ReadMessage message(host.state(), ReadMessage::Action::Preview);
    if (result.cancelled) {
        host.setStatusText(message.cancelled(m_plan.pieces().front().table));
    } else if (!result.failures.empty() || !result.error.isEmpty()) {
        host.setStatusText(message.statusLine(result));
        host.services().desktop().message(message.failure(result, &m_plan), Desktop::Buttons::Ok,
                                          Desktop::Icon::Warning, message.title());
    } else {
        QString status =
            ExportController::doneText(host.state(), m_plan, m_rows, m_elapsed, result.calls);
        QStringList notes;
        for (const BiText& note : result.notes)
            notes.append(Language(host.state()).pick(note));
        if (!notes.isEmpty())
            status += QStringLiteral(" (") + notes.join(QStringLiteral("; ")) + u')';
        host.setStatusText(status);
    }
    host.setCommandEnabled(QStringLiteral("mprintpreview"), true);
}

void PreviewPane::sortBy(int column)
{
    if (m_sortColumn != kNoColumn) {
        QString text = m_model->header(m_sortColumn);
        if (text.endsWith(kAscending) || text.endsWith(kDescending))
            text.chop(2);
        m_model->setHeader(m_sortColumn, text);
    }
    Qt::SortOrder order = Qt::AscendingOrder;
    if (column == m_sortColumn && m_sortOrder == Qt::AscendingOrder)
        order = Qt::DescendingOrder;
    m_model->sort(column, order);
    m_model->setHeader(column, m_model->header(column) +
                                   (order == Qt::AscendingOrder ? kAscending : kDescending));
    m_sortColumn = column;
    m_sortOrder = order;
}

void PreviewPane::printPreview()
{
    const int columns = m_model->columnCount();
    std::vector<qsizetype> widths(static_cast<size_t>(columns), 0);
    for (int k = 1; k < columns; ++k) {
        const int length = k <= m_plan.fieldCount() ? m_plan.fields().at(k - 1).length : 0;
        widths[static_cast<size_t>(k)] = std::max<qsizetype>(m_model->header(k).size(), length);
    }
    const auto padded = [&](const QString& text, int k) {
        return text.leftJustified(widths[static_cast<size_t>(k)] + 1, u' ');
    };
    QString header;
    for (int k = 1; k < columns; ++k)
        header += padded(m_model->header(k), k);
    QStringList lines{header, QString()};
    for (int r = 0; r < m_model->rowCount(); ++r) {
        QString line;
        for (int k = 1; k < columns; ++k)
            line += padded(m_model->cell(r, k), k);
        lines.append(line);
    }
    const QString path = PrintFile::pathIn(m_context.programFolder);
    if (!PrintFile::write(path, lines)) {
        m_context.host.services().desktop().message(Texts::get(TextId::NoFile).en);
        return;
    }
    PrintFile::showPrintFile(m_context.host.services(), path);
}

void PreviewPane::addCommands(QueryCommands& commands)
{
    commands.add(QStringLiteral("mqpreview"), [this] { readPreview(); });
    commands.add(QStringLiteral("mprintpreview"), [this] { printPreview(); });
}
