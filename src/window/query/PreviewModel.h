#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

// The preview grid's rows: a row-number column and one column per field, filled piece by
// piece; row r of every piece fills the same row. Packed values that did not fit their
// output length (they start with "*") are marked.
class PreviewModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit PreviewModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Starts over with these column headers (the first is the row number's), their tips and
    // the fields' types, by which a column sorts.
    void reset(const QStringList& headers, const std::vector<bool>& packed = {},
               const QStringList& headerTips = {}, const QStringList& types = {});
    // Fills the cells of one piece: row r of values goes to row r, columns from firstColumn.
    void fillPiece(const std::vector<std::vector<QString>>& rows, int firstColumn);
    void setHeader(int column, const QString& text);
    QString header(int column) const { return m_headers.value(column); }
    QString cell(int row, int column) const;
    static bool overflowed(const QString& value);
    // What a marked value's tip says, in the window's language.
    void setOverflowTip(const QString& tip) { m_overflowTip = tip; }

private:
    QStringList m_headers;
    QStringList m_headerTips;
    QString m_overflowTip = QStringLiteral("The value did not fit its output length");
    std::vector<bool> m_packed;
    QStringList m_types;
    std::vector<std::vector<QString>> m_rows; // each row: number text, then the cells
};
