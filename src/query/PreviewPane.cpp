#include "PreviewPane.h"

#include "AppState.h"
#include "DesktopServices.h"
#include "ImportController.h"
#include "PreviewModel.h"
#include "PrintFile.h"
#include "QueryContext.h"
#include "ShellHost.h"
#include "TableReader.h"
#include "Texts.h"
#include "Twips.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace
{
const QString kAscending = QStringLiteral(" »");
const QString kDescending = QStringLiteral(" «");
} // namespace

PreviewPane::PreviewPane(QueryContext& context, QTableView* view, Hooks hooks)
    : QObject(view), m_context(context), m_view(view), m_hooks(std::move(hooks)),
      m_model(new PreviewModel(this))
{
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    m_view->setWordWrap(false);
    m_view->horizontalHeader()->setSectionsClickable(true);
    m_view->setColumnWidth(0, Twips::toPixels(9400, m_hooks.dotsPerInch()));
    connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, this, &PreviewPane::sortBy);
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

void PreviewPane::AddColumnHeadersPreview()
{
    const double dpi = m_hooks.dotsPerInch();
    const int factor = widthFactor(m_plan.SFI);
    QStringList headers{QStringLiteral("Row")};
    std::vector<bool> packed{false};
    for (int i = 1; i <= m_plan.SFI; ++i) {
        headers.append(m_plan.sFieldText.at(i));
        packed.push_back(m_plan.sFieldType.at(i) == u"P");
    }
    m_model->reset(headers, packed);
    m_view->setColumnWidth(0, Twips::toPixels(kRowColumnTwips, dpi));
    for (int i = 1; i <= m_plan.SFI; ++i)
        m_view->setColumnWidth(
            i,
            Twips::toPixels(columnWidth(m_plan.iFieldLen.at(i),
                                        static_cast<int>(m_plan.sFieldText.at(i).size()), factor),
                            dpi));
}

void PreviewPane::AddDataPreview(int piece, const RfcTable& data)
{
    const ReadPlan::Piece& p = m_plan.piece(piece);
    m_context.host.setStatusText(
        Texts::get(TextId::PreviewStatus).en + p.table +
        QStringLiteral(" - Fields %1 to %2 with %3 rows").arg(p.first).arg(p.last).arg(p.lRows));
    std::vector<std::vector<QString>> rows;
    rows.reserve(data.rows().size());
    for (const RfcTable::Row& row : data.rows()) {
        const QString& wa = row.front();
        std::vector<QString> cells;
        cells.reserve(static_cast<size_t>(p.last - p.first + 1));
        qsizetype at = 0;
        for (int j = p.first; j <= p.last; ++j) {
            const int length = m_plan.iFieldLen.at(j);
            cells.push_back(wa.mid(at, length));
            at += length;
        }
        rows.push_back(std::move(cells));
    }
    m_model->fillPiece(rows, p.first);
}

void PreviewPane::UpdatePreview()
{
    ShellHost& host = m_context.host;
    m_rows = 0;
    qint64 limit = m_hooks.rowLimit();
    if (limit > kMaxRows || limit <= 0)
        limit = kMaxRows;
    if (m_hooks.paneClosed())
        m_hooks.openPane();
    host.setCommandEnabled(QStringLiteral("mcloseqpreview"), true);
    m_view->setSortingEnabled(false);
    m_model->reset({QStringLiteral("Preview")});
    m_view->setColumnWidth(0, Twips::toPixels(9400, m_hooks.dotsPerInch()));
    if (!m_hooks.readPlan(m_plan)) {
        host.setCommandEnabled(QStringLiteral("mprintpreview"), false);
        return;
    }
    if (!host.state().Connected) {
        host.mconectar_Click();
        if (!host.state().Connected)
            return;
    }
    AddColumnHeadersPreview();
    QElapsedTimer timer;
    timer.start();
    for (int p = 1; p <= m_plan.NPiece; ++p) {
        ReadPlan::Piece& piece = m_plan.pieces[p];
        if (!m_context.reader.GetData(m_plan, piece.table, static_cast<qint32>(limit),
                                      QStringLiteral(" "), piece.first, piece.last, piece.optFirst,
                                      piece.optLast))
            continue;
        piece.lRows = m_context.reader.DataTable().RowCount();
        m_rows = std::max(m_rows, piece.lRows);
        AddDataPreview(p, m_context.reader.DataTable());
    }
    m_elapsed = timer.nsecsElapsed() / 1e9;
    host.setStatusText(
        ImportController::ShowImportDone(host.state(), m_plan.SFI, m_rows, m_elapsed));
    host.setCommandEnabled(QStringLiteral("mprintpreview"), true);
}

void PreviewPane::sortBy(int column)
{
    if (m_sortColumn != 0) {
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

void PreviewPane::PrintPreview()
{
    const int columns = m_model->columnCount();
    std::vector<qsizetype> widths(static_cast<size_t>(columns), 0);
    for (int k = 1; k < columns; ++k) {
        const int length = k < m_plan.iFieldLen.size() ? m_plan.iFieldLen.at(k) : 0;
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
    PrintFile::ShowPrintFile(m_context.host.services(), path);
}
