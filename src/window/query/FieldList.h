#pragma once

#include "query/read/ReadPlan.h"
#include "sap/RfcTable.h"

#include <QObject>

struct QueryContext;
class QueryCommands;
class QLineEdit;
class QTreeWidgetItem;
class ReportListView;

// The field list (ListView1): the fields of every table opened in the tree, keyed
// "TABLE-FIELD", chosen from here into My Table (by the menu, a double click or a drag),
// narrowed by the filter box above it, printed through the print file.
class FieldList : public QObject
{
    Q_OBJECT
public:
    FieldList(QueryContext& context, ReportListView* view, QLineEdit* filter);
    // Adds the menu commands this part carries out.
    void addCommands(QueryCommands& commands);

    // Connects when needed, reads the table's catalogue and appends its fields.
    bool addTableFields(const QString& table);
    // Reads a table's field catalogue; a failure is told in a sentence. The fields stay in
    // catalogue() until the next read.
    bool readFieldCatalogue(const QString& table);
    const RfcTable& catalogue() const { return m_catalogue; }
    // Removes the fields whose key begins with the table's name and "-".
    void removeTableFields(const QString& table);
    // The selected fields the filter shows, in list order, as they travel to My Table.
    QVector<ReadPlan::Field> selectedFields() const;
    void showHint();
    void printFields();
    int count() const;
    // The fields the filter lets through.
    int shownCount() const;
    ReportListView* view() const { return m_view; }
    QLineEdit* filter() const { return m_filter; }
    // Keeps the fields whose name or text holds the text, in any case; empty shows all.
    void setFilterText(const QString& text);
    // The header of the names' column adds the row count of each listed table once a count
    // or a read of every row told it: "FieldName (KNA1: 1,234 rows)".
    void showRowCounts();
    // The tables whose fields are listed, in the order they were opened.
    QStringList tables() const;

Q_SIGNALS:
    // A double click or Enter asks for these fields in My Table.
    void chosen(const QVector<ReadPlan::Field>& fields);

private:
    static ReadPlan::Field fieldOf(const QTreeWidgetItem* item);
    void applyFilter(QTreeWidgetItem* item) const;
    void refilter();
    // "70 Total Fields", or "1 of 70 Total Fields" while the filter hides some.
    void showCount() const;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Down or Enter in the filter: on into the list.
    void focusList();

    QueryContext& m_context;
    ReportListView* m_view;
    QLineEdit* m_filter;
    RfcTable m_catalogue;
    QString m_namesTitle;
};
