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
// without the field names above them.
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int cellPadding() const;

    QTableView* m_view;
    QObject* m_viewport = nullptr; // compared only, never called: it may be half gone
    PreviewModel* m_model;
    std::function<QString(int)> m_fieldName;
    QAction* m_copy;
    QAction* m_copyWithHeaders;
};
