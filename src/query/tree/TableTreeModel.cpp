#include "query/tree/TableTreeModel.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <utility>

namespace
{

// Ids only grow and removal keeps the order, so the node list is always sorted by id.
template <typename Nodes> auto findById(Nodes& nodes, int id)
{
    auto it =
        std::lower_bound(nodes.begin(), nodes.end(), id,
                         [](const TableTreeModel::Node& n, int value) { return n.id < value; });
    return (it != nodes.end() && it->id == id) ? &*it : nullptr;
}

} // namespace

int TableTreeModel::add(const QString& key, const QString& text, int parent)
{
    if (findKey(key) != 0)
        return 0;
    if (parent != 0 && node(parent) == nullptr)
        return 0;
    Node n;
    n.id = m_nextId++;
    n.key = key;
    n.text = text;
    n.parent = parent;
    m_nodes.append(n);
    return n.id;
}

void TableTreeModel::removeSubtree(int id)
{
    if (node(id) == nullptr)
        return;
    // A parent always stands before its children, so one pass finds every descendant.
    QSet<int> doomed{id};
    for (const Node& n : std::as_const(m_nodes)) {
        if (doomed.contains(n.parent))
            doomed.insert(n.id);
    }
    m_nodes.removeIf([&doomed](const Node& n) { return doomed.contains(n.id); });
}

void TableTreeModel::clear()
{
    // m_nextId keeps counting, so an id held from before the clear never names a new node.
    m_nodes.clear();
}

const TableTreeModel::Node* TableTreeModel::node(int id) const
{
    return findById(m_nodes, id);
}

TableTreeModel::Node* TableTreeModel::node(int id)
{
    return findById(m_nodes, id);
}

int TableTreeModel::findKey(const QString& key) const
{
    for (const Node& n : m_nodes) {
        if (n.key == key)
            return n.id;
    }
    return 0;
}

int TableTreeModel::findText(const QString& text) const
{
    for (const Node& n : m_nodes) {
        if (n.text == text)
            return n.id;
    }
    return 0;
}

QVector<int> TableTreeModel::children(int parent) const
{
    QVector<const Node*> kids;
    for (const Node& n : m_nodes) {
        if (n.parent == parent)
            kids.append(&n);
    }
    // Plain code-unit order, case included; equal texts keep their creation order.
    std::stable_sort(kids.begin(), kids.end(),
                     [](const Node* a, const Node* b) { return a->text < b->text; });
    QVector<int> ids;
    ids.reserve(kids.size());
    for (const Node* n : kids)
        ids.append(n->id);
    return ids;
}

bool TableTreeModel::hasChildren(int id) const
{
    return std::any_of(m_nodes.begin(), m_nodes.end(),
                       [id](const Node& n) { return n.parent == id; });
}

bool TableTreeModel::isInSubtree(int id, int ancestor) const
{
    // The root level (0) holds every node; a node that does not exist is in no subtree.
    for (const Node* n = node(id); n != nullptr; n = node(n->parent)) {
        if (n->id == ancestor || n->parent == ancestor)
            return true;
    }
    return false;
}

QString TableTreeModel::fullPath(int id) const
{
    QStringList parts;
    for (const Node* n = node(id); n != nullptr; n = node(n->parent))
        parts.prepend(n->text);
    return parts.join(kSeparator);
}

QStringList TableTreeModel::save() const
{
    QStringList paths;
    const int n = std::min(count(), kMaxSaved);
    paths.reserve(n);
    for (int i = 0; i < n; ++i)
        paths.append(fullPath(m_nodes.at(i).id));
    return paths;
}

void TableTreeModel::load(const QStringList& paths)
{
    for (const QString& path : paths) {
        const qsizetype last = path.lastIndexOf(kSeparator);
        const QString name = path.mid(last + 1);
        // No name can be typed empty, so such an entry ("" or "A\") is damage: skip it.
        if (name.isEmpty())
            continue;
        int parent = 0;
        if (last >= 0) {
            // Only the last two components count: the parent is found by its key alone,
            // which is how a child of a renamed folder finds it again.
            const QString parentPath = path.left(last);
            parent = findKey(parentPath.mid(parentPath.lastIndexOf(kSeparator) + 1));
            if (parent == 0)
                continue;
        }
        add(name, name, parent); // a name that is a key already adds nothing
    }
}

int TableTreeModel::tables() const
{
    QSet<int> parents;
    for (const Node& n : m_nodes)
        parents.insert(n.parent);
    return static_cast<int>(
        std::count_if(m_nodes.begin(), m_nodes.end(),
                      [&parents](const Node& n) { return !parents.contains(n.id); }));
}

QString TableTreeModel::summary() const
{
    return QStringLiteral("  Table > ") + QString::number(folders()) + QStringLiteral(" Folders ") +
           QString::number(tables()) + QStringLiteral(" Tables");
}

TableTreeModel::NameCheck TableTreeModel::validate(const QString& name) const
{
    // "Numeric" means a plain decimal number, possibly signed, with a fraction and an
    // exponent, and blanks around it: "12", " 12 ", "-3", "+4", "1.5", ".5", "7.", "1e3",
    // "2E-4". Not numeric: "1,000", "0x1F", "inf", "nan", "1e", "1 2", "KNA1", digits
    // other than 0-9. SAP table names never look like that, and refusing "NAN" or "INF"
    // would refuse names a user may well want.
    static const QRegularExpression numeric(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    const QString trimmed = name.trimmed();
    if (numeric.match(trimmed).hasMatch())
        return NameCheck::Numeric;
    // A name of blanks only would show as nothing, so it counts as empty.
    if (trimmed.isEmpty())
        return NameCheck::Empty;
    if (findText(name) != 0)
        return NameCheck::Exists;
    return NameCheck::Ok;
}

QStringList TableTreeModel::cutPaths(int id) const
{
    // Taken from the structure, not by comparing path prefixes, so a name containing the
    // separator cannot pull an unrelated node into the cut. No 999 limit: the cut list is
    // only held in memory until the paste, and a move must not lose nodes.
    QStringList paths;
    if (node(id) == nullptr)
        return paths;
    for (const Node& n : m_nodes) {
        if (isInSubtree(n.id, id))
            paths.append(fullPath(n.id));
    }
    return paths;
}

QStringList TableTreeModel::reRoot(const QStringList& cut, const QString& targetKey)
{
    QStringList paths;
    if (cut.isEmpty())
        return paths;
    // The cut node's name starts after the last separator of its own path (index 0 when it
    // stood at the root level); its descendants share that prefix.
    const qsizetype k = cut.first().lastIndexOf(kSeparator) + 1;
    paths.reserve(cut.size());
    for (const QString& path : cut)
        paths.append(targetKey + kSeparator + path.mid(k));
    return paths;
}
