#pragma once

#include <QString>
#include <QStringList>

// The query window as the main window drives it: menu commands by their item's name, and the
// view states the menus show for the active window (single click, the field list's view and its
// grid lines).
class QueryWindowControl
{
public:
    enum class FieldView { List, Report };

    virtual ~QueryWindowControl() = default;

    // False when the command is not one of the window's.
    virtual bool perform(const QString& command, const QStringList& arguments = {}) = 0;
    // The key of the table tree's current node (its text where a node has none), or empty.
    virtual QString currentTreeNode() const = 0;

    // The document's setting: the tree opens a node on a single click.
    virtual bool singleClick() const = 0;
    virtual void setSingleClick(bool on) = 0;
    // The tree's own state: nodes selected and hot-tracked under the mouse.
    virtual void setTreeSingleSelect(bool on) = 0;

    virtual FieldView fieldView() const = 0;
    virtual void setFieldView(FieldView view) = 0;
    virtual bool fieldGridLines() const = 0;
    virtual void setFieldGridLines(bool on) = 0;
};
