#pragma once

#include "query/tree/TableTreeModel.h"
#include "shell/Texts.h"

#include <QObject>

#include <functional>

struct QueryContext;
class QueryCommands;
class FieldList;
class QLabel;
class TableTreeView;

// The table tree's operations: creating, validating, renaming, removing, cutting and pasting
// nodes, opening and closing tables, and loading and saving the shared tree.
class TableTreeController : public QObject
{
    Q_OBJECT
public:
    TableTreeController(QueryContext& context, TableTreeView* view, QLabel* summary,
                        FieldList& fields, std::function<bool()> singleClick);
    // Adds the menu commands this part carries out.
    void addCommands(QueryCommands& commands);

    void newNode(const QString& name);
    bool validateFolder(const QString& name);
    void renameNode();
    void validateTable(const QString& table);
    void removeNode(const QString& key, const QString& mode);
    void removeNodeQuietly(const QString& key);
    void cutNode();
    void pasteNode();
    void loadTree();
    void saveTree();
    void showSummary();
    // Double-click, or a click in single-click mode.
    void activate(int id);

    const TableTreeModel& model() const { return m_model; }
    TableTreeView* view() const { return m_view; }
    const QStringList& cutPaths() const { return m_cutPaths; }

private:
    // Opens the label editor on the selected node, for a rename or for the new node's name.
    void editCurrent();
    void labelEdited(int id, const QString& text, bool cancelled);
    void refuseTable(const QString& table, TextId reason);
    // Removes a table's fields unless another node still has the same table open.
    void closeFields(const QString& table);
    void render();
    void setSingleSel(bool on);

    QueryContext& m_context;
    TableTreeView* m_view;
    QLabel* m_summary;
    FieldList& m_fields;
    std::function<bool()> m_singleClick;
    TableTreeModel m_model;
    int m_current = 0;
    QString m_editKey;
    // "Table", "Folder" or "Root" while a new node waits for its name; empty during a rename.
    QString m_creating;
    QString m_parentKey;
    QStringList m_cutPaths;
};
