#include "window/query/PreviewFilter.h"

#include "window/query/PreviewModel.h"

namespace
{
// Joins the cells of a row: no text typed into the box can hold it, so no match spans two
// cells.
constexpr QChar kCellBreak = u'\x1f';

QString shown(const QString& value)
{
    qsizetype n = value.size();
    while (n > 0 && value.at(n - 1) == u' ')
        --n;
    return value.left(n);
}
} // namespace

PreviewFilter::PreviewFilter(PreviewModel* rows, QObject* parent)
    : QSortFilterProxyModel(parent), m_rows(rows)
{
    // Connected before the proxy's own handlers, so the texts are dropped before it filters the
    // changed rows again.
    connect(rows, &QAbstractItemModel::modelAboutToBeReset, this, &PreviewFilter::forget);
    connect(rows, &QAbstractItemModel::layoutAboutToBeChanged, this, &PreviewFilter::forget);
    connect(rows, &QAbstractItemModel::rowsAboutToBeInserted, this, &PreviewFilter::forget);
    connect(rows, &QAbstractItemModel::rowsAboutToBeRemoved, this, &PreviewFilter::forget);
    connect(rows, &QAbstractItemModel::dataChanged, this, &PreviewFilter::forget);
    setSourceModel(rows);
    setDynamicSortFilter(true);
}

void PreviewFilter::setFilter(const QString& text, int column)
{
    QString folded = text.toCaseFolded();
    folded.remove(kCellBreak);
    if (folded == m_text && column == m_column)
        return;
    m_text = folded;
    m_column = column;
    invalidateRowsFilter();
}

const QString& PreviewFilter::foldedRow(int row) const
{
    if (m_folded.size() != static_cast<size_t>(m_rows->rowCount()))
        m_folded.assign(static_cast<size_t>(m_rows->rowCount()), QString());
    QString& text = m_folded[static_cast<size_t>(row)];
    if (text.isNull()) {
        text = QStringLiteral("");
        const int columns = m_rows->columnCount();
        for (int c = 0; c < columns; ++c) {
            text += shown(m_rows->cell(row, c)).toCaseFolded();
            text += kCellBreak;
        }
    }
    return text;
}

bool PreviewFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (m_text.isEmpty() || sourceParent.isValid())
        return true;
    if (m_column != kAllColumns)
        return shown(m_rows->cell(sourceRow, m_column)).toCaseFolded().contains(m_text);
    return foldedRow(sourceRow).contains(m_text);
}
