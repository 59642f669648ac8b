#pragma once

#include <QObject>

class QTableView;

// Keeps a grid's first column (the row number) in view when the grid scrolls sideways: a
// narrow view of the same rows and selection lies over the grid's left edge, scrolls up and
// down with it, and sorts by a click on its header as the grid's own header does.
class RowNumberColumn : public QObject
{
    Q_OBJECT
public:
    explicit RowNumberColumn(QTableView* grid);

    QTableView* view() const { return m_column; }
    // Takes the grid's model and selection again (after the grid was given a new model).
    void follow();

Q_SIGNALS:
    void headerClicked(int section);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
    // A cell reached by the keyboard is moved out from under the column.
    void uncover();

    QTableView* m_grid;
    QTableView* m_column;
    QObject* m_viewport; // compared only, never called: it may be half gone
};
