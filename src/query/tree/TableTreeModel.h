#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The table tree as plain data: nodes in creation order (the order in which paths are saved),
// each with a key, a text, a parent, an image (1 closed, 2 open) and a colour. Children are
// shown sorted by text. A node with children is a folder; a node without is a table. A node's
// key is its name, also after a rename, so keys stay unique as long as names do.
class TableTreeModel
{
public:
    static constexpr int kMaxSaved = 999;
    static constexpr QChar kSeparator = u'\\';

    enum class Colour { Default, Blue, Cut };
    enum class NameCheck { Ok, Numeric, Empty, Exists };

    struct Node {
        int id = 0;     // stable for the node's life
        QString key;    // unique in the tree
        QString text;   // the name shown
        int parent = 0; // id of the parent, 0 at root level
        int image = 1;
        Colour colour = Colour::Default;
        bool expanded = false;
        // The table whose fields this node put in the field list (its name then); empty while
        // closed. A rename does not change which fields are there.
        QString openTable;
    };

    // Adds a node; 0 when the key is taken or the parent does not exist.
    int add(const QString& key, const QString& text, int parent = 0);
    // Removes the node and all its descendants.
    void removeSubtree(int id);
    void clear();

    const Node* node(int id) const;
    Node* node(int id);
    int findKey(const QString& key) const; // 0 when none
    int findText(const QString& text) const;
    const QVector<Node>& nodes() const { return m_nodes; } // creation order
    // Children of a node (0: the root level), sorted by text.
    QVector<int> children(int parent) const;
    bool hasChildren(int id) const;
    bool isInSubtree(int id, int ancestor) const; // true also when id == ancestor

    QString fullPath(int id) const; // texts from the root level down, joined by "\"
    // The paths of the first 999 nodes in creation order.
    QStringList save() const;
    // Adds one node per path, in order: the last component under the node whose key is the
    // path's second-to-last component (root level when there is none). A path whose parent
    // is not a key, or whose name is a key already, adds nothing.
    void load(const QStringList& paths);

    int count() const { return static_cast<int>(m_nodes.size()); }
    int tables() const; // nodes without children
    int folders() const { return count() - tables(); }
    // "  Table > <folders> Folders <tables> Tables"
    QString summary() const;

    // The name check of new and renamed nodes: numeric, empty, or the text of a node already.
    NameCheck validate(const QString& name) const;

    // The paths of a cut node and of its descendants, in creation order.
    QStringList cutPaths(int id) const;
    // The cut paths re-rooted under the target key: each path loses everything before the cut
    // node's own name (found in the first path) and gets target + "\" in front.
    static QStringList reRoot(const QStringList& cut, const QString& targetKey);

private:
    QVector<Node> m_nodes;
    int m_nextId = 1;
};
