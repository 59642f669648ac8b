#include "window/query/TableTreeView.h"

#include "window/common/Icons.h"

#include <QAbstractItemDelegate>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>

namespace
{
constexpr int kIdRole = Qt::UserRole + 1;
// The system's application-workspace grey marks cut nodes.
const QColor kCutColour(0xAB, 0xAB, 0xAB);
} // namespace

TableTreeView::TableTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    setExpandsOnDoubleClick(false);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        Q_EMIT nodeActivated(item->data(0, kIdRole).toInt());
    });
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (m_singleSel && !editing())
            Q_EMIT nodeActivated(item->data(0, kIdRole).toInt());
    });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!m_rendering)
            Q_EMIT nodeExpansionChanged(item->data(0, kIdRole).toInt(), true);
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (!m_rendering)
            Q_EMIT nodeExpansionChanged(item->data(0, kIdRole).toInt(), false);
    });
    connect(itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                const int id = m_editing;
                m_editing = 0;
                QTreeWidgetItem* item = itemFor(id);
                if (!item)
                    return;
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
                Q_EMIT labelEdited(id, item->text(0),
                                   hint == QAbstractItemDelegate::RevertModelCache);
            });
}

void TableTreeView::setHotTracking(bool on)
{
    m_hotTracking = on;
    setStyleSheet(on ? QStringLiteral("QTreeView::item:hover { text-decoration: underline; "
                                      "color: #0000ff; }")
                     : QString());
}

void TableTreeView::addChildren(const TableTreeModel& model, int parent, QTreeWidgetItem* under)
{
    for (int id : model.children(parent)) {
        const TableTreeModel::Node* node = model.node(id);
        auto* item = under ? new QTreeWidgetItem(under) : new QTreeWidgetItem(this);
        item->setText(0, node->text);
        item->setData(0, Qt::UserRole, node->key);
        item->setData(0, kIdRole, node->id);
        paint(model, id, item);
        addChildren(model, id, item);
        item->setExpanded(node->expanded);
    }
}

void TableTreeView::paint(const TableTreeModel& model, int id, QTreeWidgetItem* item) const
{
    const TableTreeModel::Node* node = model.node(id);
    const bool folder = model.hasChildren(id);
    const bool open = node->image == 2;
    item->setIcon(
        0,
        Icons::get(folder ? (open ? QStringLiteral("folder-open") : QStringLiteral("folder-closed"))
                          : (open ? QStringLiteral("table-open") : QStringLiteral("table"))));
    if (node->colour == TableTreeModel::Colour::Blue)
        item->setForeground(0, QColor(0, 0, 255));
    else if (node->colour == TableTreeModel::Colour::Cut)
        item->setForeground(0, kCutColour);
    else
        item->setData(0, Qt::ForegroundRole, QVariant());
}

void TableTreeView::refreshNode(const TableTreeModel& model, int id)
{
    QTreeWidgetItem* item = itemFor(id);
    if (!item || !model.node(id))
        return;
    m_rendering = true;
    paint(model, id, item);
    if (item->isExpanded() != model.node(id)->expanded)
        item->setExpanded(model.node(id)->expanded);
    m_rendering = false;
}

void TableTreeView::render(const TableTreeModel& model, int currentId)
{
    m_rendering = true;
    clear();
    addChildren(model, 0, nullptr);
    if (QTreeWidgetItem* current = itemFor(currentId))
        setCurrentItem(current);
    m_rendering = false;
}

QTreeWidgetItem* TableTreeView::itemFor(int id) const
{
    if (id == 0)
        return nullptr;
    QTreeWidgetItemIterator it(const_cast<TableTreeView*>(this));
    while (*it) {
        if ((*it)->data(0, kIdRole).toInt() == id)
            return *it;
        ++it;
    }
    return nullptr;
}

int TableTreeView::currentId() const
{
    const QTreeWidgetItem* item = currentItem();
    return item ? item->data(0, kIdRole).toInt() : 0;
}

void TableTreeView::editNode(int id)
{
    QTreeWidgetItem* item = itemFor(id);
    if (!item)
        return;
    setCurrentItem(item);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    m_editing = id;
    editItem(item, 0);
}

void TableTreeView::keyPressEvent(QKeyEvent* event)
{
    // Keys the label editor passes on (its Enter, say) are the edit's, not the tree's.
    if (editing() || state() == QAbstractItemView::EditingState) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        if (const int id = currentId())
            Q_EMIT nodeActivated(id);
    } else if (modifiers == Qt::NoModifier && key == Qt::Key_F2) {
        Q_EMIT renameRequested();
    } else if (modifiers == Qt::NoModifier && key == Qt::Key_Delete) {
        Q_EMIT removeRequested();
    } else if (modifiers == Qt::ShiftModifier && key == Qt::Key_F10) {
        Q_EMIT menuRequested(menuPlace());
    } else {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TableTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    // The mouse's menu comes on the button's release; the menu key's comes here.
    if (event->reason() != QContextMenuEvent::Keyboard) {
        event->ignore();
        return;
    }
    Q_EMIT menuRequested(menuPlace());
    event->accept();
}

QPoint TableTreeView::menuPlace() const
{
    const QTreeWidgetItem* item = currentItem();
    const QRect place = item ? visualItemRect(item) : QRect();
    return viewport()->mapToGlobal(place.isValid() ? place.bottomLeft() : QPoint(0, 0));
}
