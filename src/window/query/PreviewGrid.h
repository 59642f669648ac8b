#pragma once

#include <QList>
#include <QObject>

#include <functional>

class PreviewModel;
class QAction;
class QTableView;

// The preview grid as a reader uses it: each column as wide as its header and the widest value
// of the first rows (up to kMostCharacters, the whole value then in a tool tip), headers cut
// with an ellipsis at the end, and the selected cells copied as tab-separated lines, with or
// without the field names above them. Enter or Space sorts by the current cell's column, as a
// click on its header does. Rows are counted as the grid shows them (the filter may hide some).
class PreviewGrid : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSampleRows = 50;
    static constexpr int kMostCharacters = 40;

    // fieldName: the name copied above a column's cells.
    PreviewGrid(QTableView* view, PreviewModel* model, std::function<QString(int)> fieldName);

    // Widths from the headers and the rows now in the model.
    void fitColumns();
    // The selected cells, row by row, over the columns that hold any of them.
    QString selectedText(bool withHeaders) const;
    QAction* copyAction() const { return m_copy; }
    QAction* copyWithHeadersAction() const { return m_copyWithHeaders; }
    QList<QAction*> actions() const { return {m_copy, m_copyWithHeaders}; }
    // Whether the cell shows its value cut.
    bool cut(int row, int column) const;
    // The value of a cell in a row as shown.
    QString shownCell(int row, int column) const;

Q_SIGNALS:
    void sortRequested(int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int cellPadding() const;
    bool sortKey(QEvent* event);

    QTableView* m_view;
    QObject* m_viewport = nullptr; // compared only, never called: it may be half gone
    PreviewModel* m_model;
    std::function<QString(int)> m_fieldName;
    QAction* m_copy;
    QAction* m_copyWithHeaders;
};
