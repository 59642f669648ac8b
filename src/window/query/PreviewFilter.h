#pragma once

#include <QSortFilterProxyModel>

#include <vector>

class PreviewModel;

// The rows of the preview that hold a text, in any column or in one: what the filter box above
// the grid shows. It filters what was read; sorting stays the preview model's own.
class PreviewFilter : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    static constexpr int kAllColumns = -1;

    explicit PreviewFilter(PreviewModel* rows, QObject* parent = nullptr);

    // Rows whose cell in column (or any cell) contains text, whatever its case; empty: all.
    void setFilter(const QString& text, int column = kAllColumns);
    QString text() const { return m_text; }
    int column() const { return m_column; }
    bool filtering() const { return !m_text.isEmpty(); }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    const QString& foldedRow(int row) const;
    void forget() { m_folded.clear(); }

    PreviewModel* m_rows;
    QString m_text; // case-folded
    int m_column = kAllColumns;
    // Each row's cells case-folded and joined once, so a keystroke over a thousand columns
    // searches one text per row; made anew when the rows change.
    mutable std::vector<QString> m_folded;
};
