#include "window/query/TableTreeController.h"

#include "sap/TableReader.h"
#include "shell/AppState.h"
#include "shell/DesktopServices.h"
#include "shell/Language.h"
#include "shell/ShellHost.h"
#include "shell/Texts.h"
#include "window/query/FieldList.h"
#include "window/query/QueryCommands.h"
#include "window/query/QueryContext.h"
#include "window/query/TableTreeView.h"

#include <QLabel>
#include <QTimer>

TableTreeController::TableTreeController(QueryContext& context, TableTreeView* view,
                                         QLabel* summary, FieldList& fields,
                                         std::function<bool()> singleClick)
    : QObject(view), m_context(context), m_view(view), m_summary(summary), m_fields(fields),
      m_singleClick(std::move(singleClick))
{
    connect(view, &TableTreeView::labelEdited, this, &TableTreeController::labelEdited);
    connect(view, &TableTreeView::nodeActivated, this, &TableTreeController::activate);
    // The keys do what the Table menu does, Paste given up as the menu gives it up.
    connect(view, &TableTreeView::renameRequested, this, [this] {
        m_context.host.setCommandEnabled(QStringLiteral("mpastetable"), false);
        renameNode();
    });
    connect(view, &TableTreeView::removeRequested, this, [this] {
        const QTreeWidgetItem* item = m_view->currentItem();
        if (!item)
            return;
        m_context.host.setCommandEnabled(QStringLiteral("mpastetable"), false);
        removeNode(item->data(0, Qt::UserRole).toString(), QStringLiteral("user"));
    });
    connect(view, &TableTreeView::menuRequested, this,
            [this](const QPoint& at) { m_context.host.popupMenu(QStringLiteral("mtable"), at); });
    connect(view, &TableTreeView::nodeExpansionChanged, this, [this](int id, bool expanded) {
        // A table's picture tells whether its fields are open, not whether it is expanded.
        TableTreeModel::Node* node = m_model.node(id);
        if (node && m_model.hasChildren(id)) {
            node->expanded = expanded;
            node->image = expanded ? 2 : 1;
            m_view->refreshNode(m_model, id);
        }
    });
}

void TableTreeController::render()
{
    m_view->render(m_model, m_current);
}

void TableTreeController::setSingleSel(bool on)
{
    if (m_singleClick())
        m_view->setSingleSel(on);
}

void TableTreeController::showSummary()
{
    m_summary->setText(m_model.summary());
    m_view->setToolTip(m_model.count() < 4
                           ? Language(m_context.host.state()).pick(Texts::get(TextId::TreeHint))
                           : QString());
}

void TableTreeController::loadTree()
{
    m_model.load(m_context.host.state().treePaths);
    render();
    showSummary();
}

void TableTreeController::saveTree()
{
    m_context.host.state().treePaths = m_model.save();
}

bool TableTreeController::validateFolder(const QString& name)
{
    Desktop& desktop = m_context.host.services().desktop();
    switch (m_model.validate(name)) {
    case TableTreeModel::NameCheck::Numeric:
        desktop.message(Texts::get(TextId::NoNumbers).en);
        return false;
    case TableTreeModel::NameCheck::Empty:
        return false;
    case TableTreeModel::NameCheck::Exists:
        desktop.message(name + Texts::get(TextId::AlreadyExists).en);
        return false;
    case TableTreeModel::NameCheck::Ok:
        break;
    }
    return true;
}

void TableTreeController::newNode(const QString& name)
{
    m_current = m_view->currentId();
    if (validateFolder(name)) {
        const TableTreeModel::Node* selected = m_model.node(m_current);
        int created = 0;
        if (!selected || name == u"Root") {
            m_parentKey.clear();
            created = m_model.add(name, name, 0);
        } else {
            // Adding may move the nodes: keep the parent's id, not a pointer to it.
            const int parent = selected->id;
            m_parentKey = selected->key;
            created = m_model.add(name, name, parent);
            m_model.node(parent)->expanded = true;
        }
        m_current = created;
        m_creating = name;
        render();
        editCurrent();
    }
    showSummary();
}

void TableTreeController::renameNode()
{
    m_creating.clear();
    editCurrent();
}

void TableTreeController::editCurrent()
{
    const int id = m_view->currentId();
    const TableTreeModel::Node* node = m_model.node(id);
    if (!node)
        return;
    if (m_singleClick())
        m_view->setSingleSel(false);
    m_editKey = node->key;
    m_view->editNode(id);
}

void TableTreeController::labelEdited(int id, const QString& text, bool cancelled)
{
    const TableTreeModel::Node* edited = m_model.node(id);
    if (!edited)
        return;
    const QString creating = m_creating;
    if (cancelled) {
        // Leaving a new node's edit with Esc drops the node instead of trapping the user.
        if (!creating.isEmpty())
            m_model.removeSubtree(id);
        m_creating.clear();
        render();
        showSummary();
        setSingleSel(true);
        return;
    }
    const bool unchangedRename = creating.isEmpty() && text == edited->text;
    if (!unchangedRename && !validateFolder(text)) {
        m_current = id;
        render();
        QTimer::singleShot(0, this, [this] { editCurrent(); });
        return;
    }
    m_creating.clear();
    if (creating.isEmpty()) {
        m_current = id;
        // The key follows the name: a node created later under the old name cannot meet it.
        TableTreeModel::Node* node = m_model.node(id);
        node->key = text;
        node->text = text;
        m_editKey = text;
    } else {
        const int parent = edited->parent;
        const bool root = creating == u"Root" || parent == 0;
        m_model.removeSubtree(id);
        m_current = m_model.add(text, text, root ? 0 : m_model.findKey(m_parentKey));
    }
    render();
    showSummary();
    if (creating == u"Table") {
        // A refused node never stands in for another: only the node just made is validated.
        if (m_current == 0)
            m_context.host.setStatusText(text + Texts::get(TextId::AlreadyExists).en);
        else
            validateTable(text);
    }
    setSingleSel(true);
}

void TableTreeController::validateTable(const QString& table)
{
    ShellHost& host = m_context.host;
    if (!host.state().connected) {
        host.connectToSystem();
        if (!host.state().connected) {
            refuseTable(table, TextId::NoConnection);
            return;
        }
    }
    if (!m_fields.readFieldCatalogue(table.toUpper())) {
        refuseTable(table, TextId::NoFieldsReturned);
        return;
    }
    const Language language(host.state());
    host.setStatusText(table + language.pick(Texts::get(TextId::TableAdded)) +
                       QString::number(m_fields.catalogue().rowCount()) +
                       language.pick(Texts::get(TextId::TableAddedEnd)));
}

void TableTreeController::refuseTable(const QString& table, TextId reason)
{
    removeNode(table, QStringLiteral("yes"));
    // The status line must not keep the success of an earlier table.
    const Language language(m_context.host.state());
    m_context.host.setStatusText(table + language.pick(Texts::get(TextId::NotAdded)) +
                                 language.pick(Texts::get(reason)));
}

void TableTreeController::removeNode(const QString& key, const QString& mode)
{
    const int id = m_model.findKey(key);
    const TableTreeModel::Node* node = m_model.node(id);
    if (!node)
        return;
    if (m_model.hasChildren(id) && mode == u"user") {
        const Language language(m_context.host.state());
        const auto answer = m_context.host.services().desktop().message(
            language.pick(Texts::get(TextId::DeleteFolder)) + node->text +
                Texts::get(TextId::SaveChangesEnd).en,
            Desktop::Buttons::YesNo, Desktop::Icon::Question);
        if (answer != Desktop::Answer::Yes)
            return;
    }
    removeNodeQuietly(key);
}

void TableTreeController::removeNodeQuietly(const QString& key)
{
    const int id = m_model.findKey(key);
    if (m_model.node(id)) {
        // Every open table of the subtree takes its fields along, by the name they were opened
        // under, whatever the node is called now.
        QStringList open;
        for (const TableTreeModel::Node& each : m_model.nodes()) {
            if (!each.openTable.isEmpty() && m_model.isInSubtree(each.id, id))
                open.append(each.openTable);
        }
        m_model.removeSubtree(id);
        for (const QString& table : std::as_const(open))
            closeFields(table);
        if (m_current && !m_model.node(m_current))
            m_current = 0;
        render();
    }
    showSummary();
}

void TableTreeController::closeFields(const QString& table)
{
    for (const TableTreeModel::Node& each : m_model.nodes()) {
        if (each.openTable.compare(table, Qt::CaseInsensitive) == 0)
            return;
    }
    m_fields.removeTableFields(table);
}

void TableTreeController::cutNode()
{
    m_current = m_view->currentId();
    const TableTreeModel::Node* node = m_model.node(m_current);
    if (!node) {
        m_context.host.setCommandEnabled(QStringLiteral("mpastetable"), false);
        return;
    }
    m_editKey = node->key;
    m_cutPaths = m_model.cutPaths(m_current);
    QVector<int> ids;
    for (const TableTreeModel::Node& each : m_model.nodes())
        ids.append(each.id);
    // Only the latest cut is marked.
    for (int each : ids) {
        TableTreeModel::Node* marked = m_model.node(each);
        if (m_model.isInSubtree(each, m_current))
            marked->colour = TableTreeModel::Colour::Cut;
        else if (marked->colour == TableTreeModel::Colour::Cut)
            marked->colour = TableTreeModel::Colour::Default;
    }
    render();
}

void TableTreeController::pasteNode()
{
    const int target = m_view->currentId();
    const int cut = m_model.findKey(m_editKey);
    const TableTreeModel::Node* targetNode = m_model.node(target);
    const TableTreeModel::Node* cutNode = m_model.node(cut);
    if (!targetNode || !cutNode || m_cutPaths.isEmpty())
        return;
    m_parentKey = targetNode->key;
    // Pasting into the moved subtree itself would lose it.
    if (cutNode->text == m_parentKey || m_model.isInSubtree(target, cut))
        return;
    const QStringList moved = TableTreeModel::reRoot(m_cutPaths, m_parentKey);
    removeNode(m_editKey, QStringLiteral("yes"));
    m_model.load(moved);
    m_cutPaths.clear();
    m_current = m_model.findKey(m_parentKey);
    if (TableTreeModel::Node* node = m_model.node(m_current)) {
        node->image = 2;
        node->expanded = true;
    }
    render();
    showSummary();
}

void TableTreeController::activate(int id)
{
    setSingleSel(true);
    m_current = id;
    TableTreeModel::Node* node = m_model.node(id);
    if (!node)
        return;
    ShellHost& host = m_context.host;
    const Language language(host.state());
    if (m_model.hasChildren(id)) {
        node->expanded = !node->expanded;
        node->image = node->expanded ? 2 : 1;
    } else if (node->image == 1) {
        node->image = 2;
        const QString text = node->text;
        if (m_fields.addTableFields(text)) {
            node = m_model.node(id);
            node->colour = TableTreeModel::Colour::Blue;
            node->openTable = text;
            host.setStatusText(text + language.pick(Texts::get(TextId::TableHas)) +
                               QString::number(m_fields.catalogue().rowCount()) +
                               language.pick(Texts::get(TextId::TableHasOf)) +
                               QString::number(m_fields.count()) +
                               language.pick(Texts::get(TextId::TotalFields)));
        } else if ((node = m_model.node(id))) {
            node->image = 1; // nothing was opened
        }
    } else {
        node->image = 1;
        node->colour = TableTreeModel::Colour::Default;
        const QString table = node->openTable.isEmpty() ? node->text : node->openTable;
        node->openTable.clear();
        closeFields(table);
        host.setStatusText(QString::number(m_fields.count()) +
                           language.pick(Texts::get(TextId::TotalFields)));
    }
    // The click or key that opened the node is still being handled: redraw it in place.
    m_view->refreshNode(m_model, id);
    m_fields.showHint();
}

void TableTreeController::addCommands(QueryCommands& commands)
{
    commands.add(QStringLiteral("mnewtable"), [this] { newNode(QStringLiteral("Table")); });
    commands.add(QStringLiteral("mnewfolder"), [this] { newNode(QStringLiteral("Folder")); });
    commands.add(QStringLiteral("mnewroot"), [this] { newNode(QStringLiteral("Root")); });
    commands.add(QStringLiteral("mcuttable"), [this] { cutNode(); });
    commands.add(QStringLiteral("mpastetable"), [this] { pasteNode(); });
    commands.add(QStringLiteral("mrename"), [this] { renameNode(); });
    // The main window names the node: the key of the current one.
    commands.add(QStringLiteral("mremovetable"), [this](const QStringList& arguments) {
        if (arguments.size() == 2)
            removeNode(arguments.at(0), arguments.at(1));
    });
}
