#pragma once

#include "query/tree/TableTreeModel.h"

#include <QTreeWidget>

// Shows the table tree model (TreeView1): sorted nodes, closed and open pictures, blue open
// tables and greyed cut nodes; labels are edited only when the window asks for it. In
// single-click mode a click acts as a double-click; Enter opens a table as a double-click does.
class TableTreeView : public QTreeWidget
{
    Q_OBJECT
    Q_PROPERTY(bool SingleSel READ singleSel WRITE setSingleSel)
    Q_PROPERTY(bool HotTracking READ hotTracking WRITE setHotTracking)
public:
    explicit TableTreeView(QWidget* parent = nullptr);

    void render(const TableTreeModel& model, int currentId);
    // Redraws one node's picture, colour and expansion in place, for changes made while Qt is
    // still handling the click or key that caused them.
    void refreshNode(const TableTreeModel& model, int id);
    int currentId() const; // 0 when nothing is selected
    void editNode(int id); // starts the label edit of a node
    bool editing() const { return m_editing != 0; }

    bool singleSel() const { return m_singleSel; }
    void setSingleSel(bool on) { m_singleSel = on; }
    bool hotTracking() const { return m_hotTracking; }
    void setHotTracking(bool on);

Q_SIGNALS:
    // The edit of a node's label ended: its new text, or cancelled (Esc).
    void labelEdited(int id, const QString& text, bool cancelled);
    void nodeActivated(int id);
    void nodeExpansionChanged(int id, bool expanded);
    // Keys on the selected node: F2, Delete, and the menu key or Shift+F10 (at this place).
    void renameRequested();
    void removeRequested();
    void menuRequested(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QTreeWidgetItem* itemFor(int id) const;
    // Under the selected node, or at the list's corner without one.
    QPoint menuPlace() const;
    void paint(const TableTreeModel& model, int id, QTreeWidgetItem* item) const;
    void addChildren(const TableTreeModel& model, int parent, QTreeWidgetItem* under);

    bool m_singleSel = false;
    bool m_hotTracking = false;
    bool m_rendering = false;
    int m_editing = 0;
    bool m_cancelled = false;
};
