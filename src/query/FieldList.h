#pragma once

#include "ReadPlan.h"

#include <QObject>

struct QueryContext;
class ReportListView;

// The field list (ListView1): the fields of every table opened in the tree, keyed
// "TABLE-FIELD", selected from here into My Table, printed through the print file.
class FieldList : public QObject
{
    Q_OBJECT
public:
    FieldList(QueryContext& context, ReportListView* view);

    // Connects when needed, reads the table's catalogue and appends its fields.
    bool AddTableFields(const QString& table);
    // Removes the fields whose key begins with the table's name and "-".
    void RemoveTableFields(const QString& table);
    // The selected fields in list order, as they travel to My Table.
    QVector<ReadPlan::Item> selectedFields() const;
    void ShowFieldListHint();
    void PrintFields();
    int count() const;
    ReportListView* view() const { return m_view; }

private:
    QueryContext& m_context;
    ReportListView* m_view;
};
