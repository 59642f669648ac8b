#include "window/query/PreviewModel.h"

#include "query/read/ValueOrder.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

PreviewModel::PreviewModel(QObject* parent) : QAbstractTableModel(parent)
{
    m_headers = {QStringLiteral("Preview")};
}

int PreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

bool PreviewModel::overflowed(const QString& value)
{
    for (const QChar c : value) {
        if (c != u' ')
            return c == u'*';
    }
    return false;
}

QString PreviewModel::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0)
        return {};
    const auto& values = m_rows[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < values.size() ? values[static_cast<size_t>(column)]
                                                       : QString();
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const QString value = cell(index.row(), index.column());
    const bool packed = static_cast<size_t>(index.column()) < m_packed.size() &&
                        m_packed[static_cast<size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole: {
        // Values come padded to their output length; the padding would only push the text
        // into an ellipsis.
        qsizetype shown = value.size();
        while (shown > 0 && value.at(shown - 1) == u' ')
            --shown;
        return value.left(shown);
    }
    case Qt::ForegroundRole:
        return packed && overflowed(value) ? QVariant(QBrush(QColor(0xB0, 0x00, 0x20)))
                                           : QVariant();
    case Qt::ToolTipRole:
        return packed && overflowed(value) ? QVariant(m_overflowTip) : QVariant();
    case Qt::TextAlignmentRole:
        return packed ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headers.size())
        return {};
    // Every header tells its whole text in a tip, since a narrow column cuts it.
    if (role == Qt::ToolTipRole)
        return m_headerTips.value(section).isEmpty() ? m_headers.value(section)
                                                     : m_headerTips.at(section);
    return role == Qt::DisplayRole ? QVariant(m_headers.value(section)) : QVariant();
}

void PreviewModel::reset(const QStringList& headers, const std::vector<bool>& packed,
                         const QStringList& headerTips, const QStringList& types)
{
    beginResetModel();
    m_headers = headers;
    m_headerTips = headerTips;
    m_packed = packed;
    m_types = types;
    m_rows.clear();
    endResetModel();
}

void PreviewModel::fillPiece(const std::vector<std::vector<QString>>& rows, int firstColumn)
{
    const size_t width = static_cast<size_t>(m_headers.size());
    const size_t before = m_rows.size();
    const auto fill = [&](std::vector<QString>& target, const std::vector<QString>& values) {
        for (size_t k = 0; k < values.size(); ++k) {
            const size_t column = static_cast<size_t>(firstColumn) + k;
            if (column < target.size())
                target[column] = values[k];
        }
    };
    const size_t changed = std::min(rows.size(), before);
    for (size_t r = 0; r < changed; ++r)
        fill(m_rows[r], rows[r]);
    if (changed > 0)
        Q_EMIT dataChanged(index(0, firstColumn),
                           index(static_cast<int>(changed) - 1, columnCount() - 1));
    // New rows come with their cells: whoever watches the insertion (the filter) sees them.
    if (rows.size() > before) {
        beginInsertRows({}, static_cast<int>(before), static_cast<int>(rows.size()) - 1);
        for (size_t r = before; r < rows.size(); ++r) {
            std::vector<QString> row(width);
            row[0] = QStringLiteral("%1").arg(r + 1, 3, 10, QChar(u'0'));
            fill(row, rows[r]);
            m_rows.push_back(std::move(row));
        }
        endInsertRows();
    }
}

void PreviewModel::setHeader(int column, const QString& text)
{
    if (column < 0 || column >= m_headers.size())
        return;
    m_headers[column] = text;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

void PreviewModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const size_t c = static_cast<size_t>(column);
    std::vector<size_t> order_(m_rows.size());
    for (size_t i = 0; i < order_.size(); ++i)
        order_[i] = i;
    // Numbers by their value (the row number's column too), texts as the grid shows them.
    const QString type = column == 0 ? QStringLiteral("N") : m_types.value(column);
    const QChar letter = type.isEmpty() ? QChar(u'C') : type.front();
    std::stable_sort(order_.begin(), order_.end(), [&](size_t a, size_t b) {
        const int compared = ValueOrder::compare(m_rows[a][c], m_rows[b][c], letter);
        return order == Qt::AscendingOrder ? compared < 0 : compared > 0;
    });
    std::vector<std::vector<QString>> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRowOf(m_rows.size());
    for (size_t i = 0; i < order_.size(); ++i) {
        newRowOf[order_[i]] = static_cast<int>(i);
        sorted.push_back(std::move(m_rows[order_[i]]));
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& index : before)
        after.append(this->index(newRowOf[static_cast<size_t>(index.row())], index.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
