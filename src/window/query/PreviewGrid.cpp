#include "window/query/PreviewGrid.h"

#include "window/query/ClipboardText.h"
#include "window/query/PreviewModel.h"

#include <QAbstractProxyModel>
#include <QAction>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QTableView>
#include <QToolTip>

#include <algorithm>
#include <map>
#include <set>

namespace
{
// The length of a value as the grid shows it: trailing blanks take no room.
qsizetype shownLength(const QString& value)
{
    qsizetype n = value.size();
    while (n > 0 && value.at(n - 1).isSpace())
        --n;
    return n;
}
} // namespace

PreviewGrid::PreviewGrid(QTableView* view, PreviewModel* model,
                         std::function<QString(int)> fieldName)
    : QObject(view), m_view(view), m_model(model), m_fieldName(std::move(fieldName)),
      m_copy(new QAction(view)), m_copyWithHeaders(new QAction(view))
{
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->setTextElideMode(Qt::ElideRight);
    QHeaderView* header = m_view->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setTextElideMode(Qt::ElideRight);
    header->setStretchLastSection(true);
    m_copy->setObjectName(QStringLiteral("CopyCells"));
    m_copy->setShortcut(QKeySequence::Copy);
    m_copy->setShortcutContext(Qt::WidgetShortcut);
    m_copyWithHeaders->setObjectName(QStringLiteral("CopyCellsWithHeaders"));
    m_copyWithHeaders->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    m_copyWithHeaders->setShortcutContext(Qt::WidgetShortcut);
    m_view->addAction(m_copy);
    m_view->addAction(m_copyWithHeaders);
    connect(m_copy, &QAction::triggered, this, [this] {
        if (const QString text = selectedText(false); !text.isEmpty())
            ClipboardText::put(text);
    });
    connect(m_copyWithHeaders, &QAction::triggered, this, [this] {
        if (const QString text = selectedText(true); !text.isEmpty())
            ClipboardText::put(text);
    });
    m_viewport = m_view->viewport();
    m_viewport->installEventFilter(this);
    m_view->installEventFilter(this);
}

QString PreviewGrid::shownCell(int row, int column) const
{
    const auto* proxy = qobject_cast<const QAbstractProxyModel*>(m_view->model());
    if (proxy)
        row = proxy->mapToSource(proxy->index(row, column)).row();
    return m_model->cell(row, column);
}

int PreviewGrid::cellPadding() const
{
    // The margins a cell keeps on either side of its text, and a little air.
    return 2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) +
           4;
}

void PreviewGrid::fitColumns()
{
    const QFontMetrics cells = m_view->fontMetrics();
    const QFontMetrics headers = m_view->horizontalHeader()->fontMetrics();
    const int headerPadding =
        2 * m_view->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, m_view) + 6;
    const int padding = cellPadding();
    const int most = kMostCharacters * cells.horizontalAdvance(u'0') + padding;
    const int rows = std::min(m_model->rowCount(), kSampleRows);
    // A stretched last column would be laid out again after every other column's change.
    QHeaderView* grid = m_view->horizontalHeader();
    grid->setStretchLastSection(false);
    for (int c = 0; c < m_model->columnCount(); ++c) {
        // Measuring every value is slow for a thousand columns: the longest two by characters
        // stand for the column.
        QString longest;
        QString second;
        for (int r = 0; r < rows; ++r) {
            const QString value = m_model->cell(r, c);
            const qsizetype n = shownLength(value);
            if (n > shownLength(longest)) {
                second = longest;
                longest = value.left(n);
            } else if (n > shownLength(second)) {
                second = value.left(n);
            }
        }
        const int values =
            std::max(cells.horizontalAdvance(longest), cells.horizontalAdvance(second)) + padding;
        // Room for the sort marker too, which a sorted header adds to its text.
        const int header =
            headers.horizontalAdvance(m_model->header(c) + QStringLiteral(" »")) + headerPadding;
        m_view->setColumnWidth(c, std::min(std::max(values, header), most));
    }
    grid->setStretchLastSection(true);
}

bool PreviewGrid::cut(int row, int column) const
{
    const QString value = shownCell(row, column);
    return m_view->fontMetrics().horizontalAdvance(value.left(shownLength(value))) + cellPadding() >
           m_view->columnWidth(column);
}

QString PreviewGrid::selectedText(bool withHeaders) const
{
    const QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    std::map<int, std::set<int>> rows;
    std::set<int> columns;
    for (const QModelIndex& index : selected) {
        rows[index.row()].insert(index.column());
        columns.insert(index.column());
    }
    QList<QStringList> lines;
    if (withHeaders && !columns.empty()) {
        QStringList names;
        for (int c : columns)
            names.append(m_fieldName(c));
        lines.append(names);
    }
    for (const auto& [row, chosen] : rows) {
        QStringList cells;
        for (int c : columns)
            cells.append(chosen.count(c) ? shownCell(row, c) : QString());
        lines.append(cells);
    }
    return rows.empty() ? QString() : ClipboardText::tabSeparated(lines);
}

bool PreviewGrid::sortKey(QEvent* event)
{
    auto* key = static_cast<QKeyEvent*>(event);
    const bool sorts =
        key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space;
    if (!sorts || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const QModelIndex current = m_view->currentIndex();
    if (event->type() == QEvent::KeyPress && current.isValid())
        Q_EMIT sortRequested(current.column());
    return current.isValid();
}

bool PreviewGrid::eventFilter(QObject* watched, QEvent* event)
{
    // The view is asked only for keys: those come while it is whole.
    if (watched == m_view && event->type() == QEvent::KeyPress && sortKey(event))
        return true;
    // Asked also while the view is torn down: the view itself is not asked anything then.
    if (event->type() != QEvent::ToolTip || watched != m_viewport)
        return QObject::eventFilter(watched, event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = m_view->indexAt(help->pos());
    // The model's own tip (a packed value that did not fit) comes first.
    if (!index.isValid() || index.data(Qt::ToolTipRole).isValid())
        return QObject::eventFilter(watched, event);
    if (cut(index.row(), index.column()))
        QToolTip::showText(help->globalPos(), shownCell(index.row(), index.column()).trimmed(),
                           m_view->viewport(), m_view->visualRect(index));
    else
        QToolTip::hideText();
    return true;
}
