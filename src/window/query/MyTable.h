#pragma once

#include "query/read/ReadPlan.h"
#include "window/query/QueryCommands.h"

#include <QObject>

#include <functional>

struct QueryContext;
class QComboBox;
class QMimeData;
class QTreeWidgetItem;
class ReportListView;

// My Table (ListView2): the chosen fields in the user's order, without duplicates. Each item
// keeps the list key it was added with; moves exchange contents, so keys may drift from the
// texts, and a copy that meets such a key rebuilds the list first. Fields dropped from the field
// list land where they are dropped; fields dragged within the list move there whole.
class MyTable : public QObject
{
    Q_OBJECT
public:
    MyTable(QueryContext& context, ReportListView* view, QComboBox* fieldBox);

    // Adds the fields not present yet, in order, at the end or before the item at row.
    void addFields(const QVector<ReadPlan::Field>& fields, int row = -1);
    // Moves the fields with these keys, in their order, before the item at row (-1: the end).
    void moveFields(const QStringList& keys, int row);
    void moveDown();
    void moveUp();
    void removeSelected();
    void removeAll();
    int totalBytes();
    void showSummary();
    // The header alone: the fields, their bytes and the calls a read takes (once a read found
    // the system's widest module, through it).
    void showHeader();
    void printMyTable();

    QVector<ReadPlan::Field> items() const;
    int count() const;
    ReportListView* view() const { return m_view; }
    // The table of the first field, which names the export file and the query document.
    QString tableName() const;
    void addCommands(QueryCommands& commands);
    // The fields chosen in the field list: what Copy to My Table adds, and what a copy in
    // progress adds again after a rebuild of the list keys.
    void setChosenFields(std::function<QVector<ReadPlan::Field>()> chosen)
    {
        m_chosenFields = std::move(chosen);
    }
    void setLoading(bool loading) { m_loading = loading; }

Q_SIGNALS:
    void modified();
    void summaryShown();

private:
    void rebuildItems();
    void swapRows(QTreeWidgetItem* current, QTreeWidgetItem* other);
    void insert(const ReadPlan::Field& field, int row);
    bool dropped(const QMimeData* data, int row, bool fromHere);
    void move(int step);

    QueryContext& m_context;
    ReportListView* m_view;
    QComboBox* m_fieldBox;
    std::function<QVector<ReadPlan::Field>()> m_chosenFields;
    bool m_loading = false;
    bool m_redoing = false;
};
