#pragma once

#include "query/read/ReadJob.h"
#include "query/read/ReadPlan.h"

#include <QObject>

#include <functional>
#include <memory>

struct QueryContext;
class QueryCommands;
class PreviewFilter;
class PreviewFilterBar;
class PreviewGrid;
class PreviewModel;
class RowNumberColumn;
class QTableView;
class QTimer;
class ReadWorker;

// The preview: up to 500 rows of My Table read by the read job on a worker thread (the window
// stays usable; Esc or Cancel stops a long read) and shown side by side, sorted by a click on a
// column header (or Enter on a cell), filtered by the box above the grid, and printed through
// the print file.
class PreviewPane : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxRows = 500;
    static constexpr int kRowColumnTwips = 640;

    struct Hooks {
        std::function<bool(ReadPlan&)> readPlan; // builds the plan from the window
        std::function<qint64()> rowLimit;        // the row-limit box
        std::function<bool()> paneClosed;        // the preview is less than 50 twips high
        std::function<void()> openPane;
        std::function<double()> dotsPerInch;
    };

    PreviewPane(QueryContext& context, QTableView* view, Hooks hooks);
    // Adds the menu commands this part carries out.
    void addCommands(QueryCommands& commands);
    ~PreviewPane() override;

    void readPreview();
    void showHeaders();
    void printPreview();
    void sortBy(int column);
    // Empties the grid (the user who read those rows is gone); a running read is stopped.
    void clear();
    bool reading() const;
    void cancel();
    // Waits for a running read to end and shows its rows.
    void wait();

    // Twips per character by the number of fields.
    static int widthFactor(int fields);
    static int columnWidth(int length, int textLength, int factor);
    PreviewModel* model() const { return m_model; }
    PreviewGrid* grid() const { return m_grid; }
    PreviewFilter* filter() const { return m_filter; }
    PreviewFilterBar* filterBar() const { return m_filterBar; }
    RowNumberColumn* rowNumbers() const { return m_rowNumbers; }
    const ReadPlan& plan() const { return m_plan; }
    long rowsRead() const { return m_rows; }
    double elapsed() const { return m_elapsed; }
    // The column sorted last (the row number's is 0), kNoColumn before any.
    int sortColumn() const { return m_sortColumn; }
    static constexpr int kNoColumn = -1;

Q_SIGNALS:
    // A read ended and its rows are shown.
    void finished();

private:
    struct Read;
    void showResult(const Read& read);
    void showProgress();

    QueryContext& m_context;
    QTableView* m_view;
    Hooks m_hooks;
    PreviewModel* m_model;
    PreviewFilter* m_filter;
    PreviewFilterBar* m_filterBar = nullptr;
    PreviewGrid* m_grid = nullptr;
    RowNumberColumn* m_rowNumbers = nullptr;
    ReadWorker* m_worker;
    QTimer* m_progressDelay;
    std::shared_ptr<Read> m_read;
    bool m_progressShown = false;
    ReadPlan m_plan;
    long m_rows = 0;
    double m_elapsed = 0;
    int m_sortColumn = kNoColumn;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
