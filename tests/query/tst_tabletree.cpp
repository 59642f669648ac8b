#include "QueryTestKit.h"
#include "shell/ControlNames.h"

#include "window/main/StatusPanels.h"
#include "window/query/ReportListView.h"
#include "window/query/TableTreeView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>

using namespace ControlNames;

namespace
{
const QColor kBlue(0, 0, 255);

// Lets queued work (a restarted label edit, deferred deletes of closed windows) happen.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

TableTreeView* treeOf(QueryWindow* window)
{
    return window->findChild<TableTreeView*>(Query::kTree);
}

ReportListView* fieldListOf(QueryWindow* window)
{
    return window->findChild<ReportListView*>(Query::kFieldList);
}

QString summaryOf(QueryWindow* window)
{
    return window->findChild<QLabel*>(Query::kTreeSummary)->text();
}

QTreeWidgetItem* itemOf(TableTreeView* tree, const QString& text)
{
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.size() == 1 ? found.first() : nullptr;
}

// Every node as its full path of texts, in the order the tree shows them (children sorted).
QStringList shown(TableTreeView* tree)
{
    QStringList paths;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        QStringList parts;
        for (const QTreeWidgetItem* at = *it; at; at = at->parent())
            parts.prepend(at->text(0));
        paths.append(parts.join(u'\\'));
    }
    return paths;
}

QStringList saved(const AppState& state)
{
    return state.treePaths;
}

void seed(AppState& state, const QStringList& paths)
{
    state.treePaths = paths;
}

// A double-click as the system delivers it: press, release, double-click, release.
void userDoubleClick(TableTreeView* tree, QPoint at)
{
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at);
    settle();
}

// Selects a node as the user would: its collapsed ancestors are opened first by double-clicking
// them (only visible nodes can be clicked).
void select(TableTreeView* tree, const QString& text)
{
    QTreeWidgetItem* item = itemOf(tree, text);
    QVERIFY2(item, qPrintable(text));
    QStringList ancestors;
    for (const QTreeWidgetItem* at = item->parent(); at; at = at->parent())
        ancestors.prepend(at->text(0));
    for (const QString& ancestor : ancestors) {
        QTreeWidgetItem* folder = itemOf(tree, ancestor);
        if (!folder->isExpanded()) {
            userDoubleClick(tree, tree->visualItemRect(folder).center());
            settle();
        }
    }
    tree->setCurrentItem(itemOf(tree, text));
}

QLineEdit* openEditor(TableTreeView* tree)
{
    settle();
    return qobject_cast<QLineEdit*>(tree->indexWidget(tree->currentIndex()));
}

// Types a name into the open label editor as the user would and presses Enter.
bool typeName(TableTreeView* tree, const QString& name)
{
    QLineEdit* editor = openEditor(tree);
    if (!editor)
        return false;
    editor->selectAll();
    if (name.isEmpty())
        QTest::keyClick(editor, Qt::Key_Delete);
    else
        QTest::keyClicks(editor, name);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    return true;
}

QPoint centreOf(TableTreeView* tree, const QString& text)
{
    QTreeWidgetItem* item = itemOf(tree, text);
    return item ? tree->visualItemRect(item).center() : QPoint();
}

void doubleClick(TableTreeView* tree, const QString& text)
{
    QTreeWidgetItem* item = itemOf(tree, text);
    QVERIFY2(item, qPrintable(text));
    tree->scrollToItem(item);
    userDoubleClick(tree, centreOf(tree, text));
}

QStringList keysOf(ReportListView* list)
{
    QStringList keys;
    for (QTreeWidgetItem* item : list->itemsInOrder())
        keys.append(item->text(0));
    return keys;
}

bool isBlue(TableTreeView* tree, const QString& text)
{
    const QTreeWidgetItem* item = itemOf(tree, text);
    return item && item->foreground(0).style() != Qt::NoBrush &&
           item->foreground(0).color() == kBlue;
}

bool isCutColour(TableTreeView* tree, const QString& text)
{
    const QTreeWidgetItem* item = itemOf(tree, text);
    return item && item->foreground(0).style() != Qt::NoBrush &&
           item->foreground(0).color() != kBlue && item->foreground(0).color() != Qt::black;
}

bool isDefaultColour(TableTreeView* tree, const QString& text)
{
    const QTreeWidgetItem* item = itemOf(tree, text);
    return item &&
           (item->foreground(0).style() == Qt::NoBrush || item->foreground(0).color() == Qt::black);
}

QString status(QueryTestKit& kit)
{
    return kit.window.statusPanels()->message();
}

bool pasteEnabled(QueryTestKit& kit)
{
    return kit.window.action(QStringLiteral("mpastetable"))->isEnabled();
}

} // namespace

class TestTableTree : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Summary line and hint

    void summaryAndHint_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<bool>("hint");
        QTest::newRow("empty") << QStringList{} << "  Table > 0 Folders 0 Tables" << true;
        QTest::newRow("three nodes") << QStringList{"Sales", "Sales\\KNA1", "T001"}
                                     << "  Table > 1 Folders 2 Tables" << true;
        QTest::newRow("four nodes") << QStringList{"Sales", "Sales\\KNA1", "Sales\\KNVV", "T001"}
                                    << "  Table > 1 Folders 3 Tables" << false;
        QTest::newRow("nested folders") << QStringList{"A", "A\\B", "A\\B\\C", "A\\B\\C\\KNA1", "D"}
                                        << "  Table > 3 Folders 2 Tables" << false;
    }

    void summaryAndHint()
    {
        QFETCH(QStringList, paths);
        QFETCH(QString, summary);
        QFETCH(bool, hint);
        QueryTestKit kit;
        seed(kit.state, paths);
        QueryWindow* window = kit.newWindow();
        QCOMPARE(summaryOf(window), summary);
        QCOMPARE(treeOf(window)->toolTip(),
                 hint ? QStringLiteral("Right click to add New Table") : QString());
    }

    // Creating nodes

    void newFolderRootAndTablePlacement()
    {
        QueryTestKit kit;
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);

        kit.window.perform(QStringLiteral("mnewfolder"));
        QCOMPARE(shown(tree), QStringList{"Folder"});
        QVERIFY(typeName(tree, QStringLiteral("Sales")));
        QCOMPARE(shown(tree), QStringList{"Sales"});

        // With a node selected, a new folder goes under it and makes it a folder.
        select(tree, QStringLiteral("Sales"));
        kit.window.perform(QStringLiteral("mnewfolder"));
        QCOMPARE(shown(tree), (QStringList{"Sales", "Sales\\Folder"}));
        QVERIFY(typeName(tree, QStringLiteral("Customers")));
        QCOMPARE(shown(tree), (QStringList{"Sales", "Sales\\Customers"}));
        QCOMPARE(summaryOf(window), QStringLiteral("  Table > 1 Folders 1 Tables"));

        // New Root ignores the selection.
        select(tree, QStringLiteral("Customers"));
        kit.window.perform(QStringLiteral("mnewroot"));
        QVERIFY(typeName(tree, QStringLiteral("Archive")));
        // Siblings are sorted by text.
        QCOMPARE(shown(tree), (QStringList{"Archive", "Sales", "Sales\\Customers"}));
        QCOMPARE(summaryOf(window), QStringLiteral("  Table > 1 Folders 2 Tables"));
        QVERIFY(kit.desktop.messages.isEmpty());
    }

    void refusedNameKeepsEditOpen_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("number") << "mnewfolder"
                                << "12" << QStringList{"No numbers allowed"};
        QTest::newRow("decimal") << "mnewroot"
                                 << "3.5" << QStringList{"No numbers allowed"};
        QTest::newRow("duplicate") << "mnewfolder"
                                   << "Sales" << QStringList{"Sales already exists"};
        QTest::newRow("placeholder word") << "mnewroot"
                                          << "Root" << QStringList{"Root already exists"};
        QTest::newRow("empty") << "mnewfolder"
                               << "" << QStringList{};
    }

    void refusedNameKeepsEditOpen()
    {
        QFETCH(QString, command);
        QFETCH(QString, typed);
        QFETCH(QStringList, messages);
        QueryTestKit kit;
        seed(kit.state, {QStringLiteral("Sales")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        tree->setCurrentItem(nullptr);

        kit.window.perform(command);
        const QStringList placeholder = shown(tree);
        QVERIFY(typeName(tree, typed));
        QCOMPARE(kit.desktop.messageTexts(), messages);
        // The placeholder stays and its edit starts again.
        QCOMPARE(shown(tree), placeholder);
        QVERIFY(openEditor(tree));
        QVERIFY(typeName(tree, QStringLiteral("Purchasing")));
        QCOMPARE(shown(tree), (QStringList{"Purchasing", "Sales"}));
        QVERIFY(!openEditor(tree));
        QCOMPARE(kit.desktop.messageTexts(), messages);
    }

    // A new table is kept only after its catalogue read

    void newTableKeptAfterCatalogueRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("statusText");
        QTest::newRow("KNA1") << "KNA1"
                              << "KNA1 was successfully added with 70 Fields. ";
        // The name keeps its case; the read upper-cases it.
        QTest::newRow("lower case") << "t001"
                                    << "t001 was successfully added with 10 Fields. ";
    }

    void newTableKeptAfterCatalogueRead()
    {
        QFETCH(QString, name);
        QFETCH(QString, statusText);
        QueryTestKit kit;
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        // Not connected yet: the validation connects first.
        kit.logon.answers.enqueue(ScriptedLogon::demo());
        kit.window.perform(QStringLiteral("mnewtable"));
        QCOMPARE(shown(tree), QStringList{"Table"});
        QVERIFY(typeName(tree, name));
        QCOMPARE(kit.logon.asked, 1);
        QVERIFY(kit.state.connected);
        QCOMPARE(shown(tree), QStringList{name});
        QCOMPARE(status(kit), statusText);
        QCOMPARE(tree->currentItem(), itemOf(tree, name));
        // Confirming a name does not open the table.
        QCOMPARE(fieldListOf(window)->topLevelItemCount(), 0);
        QVERIFY(kit.desktop.messages.isEmpty());
    }

    void unknownTableRemovedAfterSapException()
    {
        QueryTestKit kit;
        QVERIFY(kit.connect());
        seed(kit.state, {QStringLiteral("Sales")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        select(tree, QStringLiteral("Sales"));
        kit.window.perform(QStringLiteral("mnewtable"));
        QVERIFY(typeName(tree, QStringLiteral("ZZZZ")));
        QCOMPARE(kit.desktop.messageTexts(),
                 QStringList{"The system has no table ZZZZ (TABLE_NOT_AVAILABLE). Check the "
                             "name in the tree."});
        QCOMPARE(shown(tree), QStringList{"Sales"});
        QCOMPARE(summaryOf(window), QStringLiteral("  Table > 0 Folders 1 Tables"));
    }

    void newTableWithoutConnectionRemovedSilently()
    {
        QueryTestKit kit;
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        kit.window.perform(QStringLiteral("mnewtable"));
        QVERIFY(typeName(tree, QStringLiteral("KNA1"))); // the logon is cancelled
        QCOMPARE(kit.logon.asked, 1);
        QVERIFY(!kit.state.connected);
        QVERIFY(shown(tree).isEmpty());
        QVERIFY(kit.desktop.messages.isEmpty());
        QCOMPARE(summaryOf(window), QStringLiteral("  Table > 0 Folders 0 Tables"));
    }

    void longNameSavedAndRestored()
    {
        QueryTestKit kit;
        QueryWindow* window = kit.newWindow();
        const QString name = QString(999, u'x') + u'y';
        kit.window.perform(QStringLiteral("mnewroot"));
        QVERIFY(typeName(treeOf(window), name));
        QCOMPARE(shown(treeOf(window)), QStringList{name});
        window->parentWidget()->close();
        settle();
        QCOMPARE(saved(kit.state), QStringList{name});
        QCOMPARE(shown(treeOf(kit.newWindow())), QStringList{name});
    }

    // Rename

    void renameKeyFollowsName()
    {
        QueryTestKit kit;
        seed(kit.state,
             {QStringLiteral("Sales"), QStringLiteral("Sales\\KNA1"), QStringLiteral("T001")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);

        // A click never edits a label; F2 starts a rename, as the menu does, and Esc leaves
        // the name as it was.
        select(tree, QStringLiteral("T001"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centreOf(tree, "T001"));
        QVERIFY(!openEditor(tree));
        QTest::keyClick(tree, Qt::Key_F2);
        QLineEdit* editor = openEditor(tree);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Escape);
        settle();
        QVERIFY(!openEditor(tree));
        QCOMPARE(shown(tree), (QStringList{"Sales", "Sales\\KNA1", "T001"}));

        select(tree, QStringLiteral("Sales"));
        kit.window.perform(QStringLiteral("mrename"));
        QVERIFY(typeName(tree, QStringLiteral("T001")));
        QCOMPARE(kit.desktop.messageTexts(), QStringList{"T001 already exists"});
        QVERIFY(typeName(tree, QStringLiteral("Vertrieb")));
        QCOMPARE(shown(tree), (QStringList{"T001", "Vertrieb", "Vertrieb\\KNA1"}));
        // The key follows the name, so the old name is free for a node of its own.
        QCOMPARE(itemOf(tree, QStringLiteral("Vertrieb"))->data(0, Qt::UserRole).toString(),
                 QStringLiteral("Vertrieb"));

        // Delete finds the renamed node by its key.
        select(tree, QStringLiteral("Vertrieb"));
        kit.desktop.answers.enqueue(Desktop::Answer::Yes);
        kit.window.perform(QStringLiteral("mremovetable"));
        QCOMPARE(kit.desktop.messageTexts().last(),
                 QStringLiteral("Are you sure you want to delete folder 'Vertrieb'?"));
        QCOMPARE(shown(tree), QStringList{"T001"});
    }

    // A node made under a renamed node's old name meets no key of another: it is refused or kept
    // on its own, never taking the renamed node (and what is under it) along; the status says
    // what became of it, and the tree the session keeps is the one shown.
    void newNodeUnderARenamedNodesOldName_data()
    {
        QTest::addColumn<QString>("oldName");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("portuguese");
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QString>("statusText");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("a table SAP does not know")
            << "Sales"
            << "mnewtable" << false << QStringList{"Vertrieb", "Vertrieb\\KNA1"}
            << "Sales was not added: R/3 did not return its fields"
            << QStringList{"The system has no table SALES (TABLE_NOT_AVAILABLE). Check the name in "
                           "the tree."};
        QTest::newRow("a table SAP does not know, Portuguese")
            << "Sales"
            << "mnewtable" << true << QStringList{"Vertrieb", "Vertrieb\\KNA1"}
            << "Sales não foi adicionada: o R/3 não devolveu os seus campos"
            << QStringList{"O sistema não tem a tabela SALES (TABLE_NOT_AVAILABLE). Verifique o "
                           "nome na árvore."};
        QTest::newRow("a table SAP knows")
            << "T001"
            << "mnewtable" << false << QStringList{"T001", "Vertrieb", "Vertrieb\\KNA1"}
            << "T001 was successfully added with 10 Fields. " << QStringList{};
        QTest::newRow("a folder") << "Sales"
                                  << "mnewfolder" << false
                                  << QStringList{"Sales", "Vertrieb", "Vertrieb\\KNA1"} << QString()
                                  << QStringList{};
    }
    void newNodeUnderARenamedNodesOldName()
    {
        QFETCH(QString, oldName);
        QFETCH(QString, command);
        QFETCH(bool, portuguese);
        QFETCH(QStringList, tree);
        QFETCH(QString, statusText);
        QFETCH(QStringList, messages);
        QueryTestKit kit;
        kit.state.languageEnglish = !portuguese;
        kit.state.languagePortuguese = portuguese;
        QVERIFY(kit.connect());
        seed(kit.state, {oldName, oldName + QStringLiteral("\\KNA1")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* view = treeOf(window);
        select(view, oldName);
        kit.window.perform(QStringLiteral("mrename"));
        QVERIFY(typeName(view, QStringLiteral("Vertrieb")));
        // A success from before must not outlive what happens next.
        kit.window.setStatusText(QStringLiteral("KNA1 was successfully added with 70 Fields. "));

        view->setCurrentItem(nullptr);
        kit.window.perform(command);
        QVERIFY(typeName(view, oldName));
        QCOMPARE(kit.desktop.messageTexts(), messages);
        QCOMPARE(shown(view), tree);
        if (!statusText.isNull())
            QCOMPARE(status(kit), statusText);
        window->parentWidget()->close();
        settle();
        QStringList kept = saved(kit.state);
        kept.sort();
        QCOMPARE(kept, tree);
    }

    void renamedParentRestoredByNewName()
    {
        QueryTestKit kit;
        seed(kit.state, {QStringLiteral("Sales"), QStringLiteral("Sales\\KNA1")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        select(tree, QStringLiteral("Sales"));
        kit.window.perform(QStringLiteral("mrename"));
        QVERIFY(typeName(tree, QStringLiteral("Vertrieb")));
        window->parentWidget()->close();
        settle();
        QCOMPARE(saved(kit.state), (QStringList{"Vertrieb", "Vertrieb\\KNA1"}));
        QCOMPARE(shown(treeOf(kit.newWindow())), (QStringList{"Vertrieb", "Vertrieb\\KNA1"}));
    }

    void renameUnchangedOrCancelledKeepsName()
    {
        QueryTestKit kit;
        seed(kit.state, {QStringLiteral("Sales")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        select(tree, QStringLiteral("Sales"));
        kit.window.perform(QStringLiteral("mrename"));
        QVERIFY(typeName(tree, QStringLiteral("Sales")));
        QVERIFY(kit.desktop.messages.isEmpty());
        QVERIFY(!openEditor(tree));

        select(tree, QStringLiteral("Sales"));
        kit.window.perform(QStringLiteral("mrename"));
        QLineEdit* editor = openEditor(tree);
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("xyz"));
        QTest::keyClick(editor, Qt::Key_Escape);
        settle();
        QCOMPARE(shown(tree), QStringList{"Sales"});
        QVERIFY(!openEditor(tree));
    }

    // Delete

    void deleteAsksOnlyForFolders()
    {
        QueryTestKit kit;
        seed(kit.state,
             {QStringLiteral("Sales"), QStringLiteral("Sales\\KNA1"), QStringLiteral("T001")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);

        select(tree, QStringLiteral("Sales"));
        kit.desktop.answers.enqueue(Desktop::Answer::No);
        kit.window.perform(QStringLiteral("mremovetable"));
        QCOMPARE(kit.desktop.messages.size(), 1);
        QCOMPARE(kit.desktop.messages.first().text,
                 QStringLiteral("Are you sure you want to delete folder 'Sales'?"));
        QCOMPARE(kit.desktop.messages.first().buttons, Desktop::Buttons::YesNo);
        QCOMPARE(kit.desktop.messages.first().icon, Desktop::Icon::Question);
        QCOMPARE(shown(tree), (QStringList{"Sales", "Sales\\KNA1", "T001"}));

        // A leaf goes without a question.
        select(tree, QStringLiteral("KNA1"));
        kit.window.perform(QStringLiteral("mremovetable"));
        QCOMPARE(kit.desktop.messages.size(), 1);
        QCOMPARE(shown(tree), (QStringList{"Sales", "T001"}));
        QCOMPARE(summaryOf(window), QStringLiteral("  Table > 0 Folders 2 Tables"));

        // Delete with nothing selected does nothing.
        tree->setCurrentItem(nullptr);
        kit.window.perform(QStringLiteral("mremovetable"));
        QCOMPARE(shown(tree), (QStringList{"Sales", "T001"}));
    }

    // Cut and paste

    void cutAndPasteMovesSubtree()
    {
        QueryTestKit kit;
        seed(kit.state, {QStringLiteral("A"), QStringLiteral("A\\B"), QStringLiteral("A\\B\\KNA1"),
                         QStringLiteral("A\\T001"), QStringLiteral("C")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);

        select(tree, QStringLiteral("B"));
        kit.window.perform(QStringLiteral("mcuttable"));
        QVERIFY(pasteEnabled(kit));
        QVERIFY(isCutColour(tree, QStringLiteral("B")));
        QVERIFY(isCutColour(tree, QStringLiteral("KNA1")));
        QVERIFY(isDefaultColour(tree, QStringLiteral("T001")));
        QVERIFY(isDefaultColour(tree, QStringLiteral("A")));

        select(tree, QStringLiteral("C"));
        kit.window.perform(QStringLiteral("mpastetable"));
        QVERIFY(!pasteEnabled(kit));
        QCOMPARE(shown(tree), (QStringList{"A", "A\\T001", "C", "C\\B", "C\\B\\KNA1"}));
        QVERIFY(itemOf(tree, QStringLiteral("C"))->isExpanded());
        QVERIFY(isDefaultColour(tree, QStringLiteral("B")));
        QVERIFY(isDefaultColour(tree, QStringLiteral("KNA1")));
        QCOMPARE(summaryOf(window), QStringLiteral("  Table > 3 Folders 2 Tables"));

        window->parentWidget()->close();
        settle();
        QStringList paths = saved(kit.state);
        paths.sort();
        QCOMPARE(paths, (QStringList{"A", "A\\T001", "C", "C\\B", "C\\B\\KNA1"}));
    }

    void refusedPasteChangesNothing_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("onto the cut node") << "B";
        QTest::newRow("inside the cut subtree") << "KNA1";
        QTest::newRow("inside, two levels down") << "MARA";
    }

    void refusedPasteChangesNothing()
    {
        QFETCH(QString, target);
        QueryTestKit kit;
        const QStringList paths = {"A", "A\\B", "A\\B\\KNA1", "A\\B\\KNA1\\MARA", "C"};
        seed(kit.state, paths);
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        const QStringList before = shown(tree);

        select(tree, QStringLiteral("B"));
        kit.window.perform(QStringLiteral("mcuttable"));
        select(tree, target);
        kit.window.perform(QStringLiteral("mpastetable"));
        QVERIFY(!pasteEnabled(kit));
        QCOMPARE(shown(tree), before);
        QVERIFY(kit.desktop.messages.isEmpty());

        window->parentWidget()->close();
        settle();
        QCOMPARE(saved(kit.state), paths);
    }

    void cutWithNothingSelectedDisablesPaste()
    {
        QueryTestKit kit;
        seed(kit.state, {QStringLiteral("A"), QStringLiteral("C")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        tree->setCurrentItem(nullptr);
        kit.window.perform(QStringLiteral("mcuttable"));
        QVERIFY(!pasteEnabled(kit));
        select(tree, QStringLiteral("C"));
        kit.window.perform(QStringLiteral("mpastetable"));
        QCOMPARE(shown(tree), (QStringList{"A", "C"}));
        QVERIFY(isDefaultColour(tree, QStringLiteral("A")));
    }

    void windowBetweenCutAndPaste()
    {
        QueryTestKit kit;
        const QStringList paths = {"X", "X\\T001", "Y"};
        seed(kit.state, paths);
        QueryWindow* first = kit.newWindow();
        TableTreeView* tree = treeOf(first);
        select(tree, QStringLiteral("T001"));
        kit.window.perform(QStringLiteral("mcuttable"));

        // A window opened now loads the saved tree, not the cut paths.
        QueryWindow* second = kit.newWindow();
        QVERIFY(second != first);
        QCOMPARE(shown(treeOf(second)), (QStringList{"X", "X\\T001", "Y"}));
        // Closing it saves its tree but leaves the first window's cut list alone.
        second->parentWidget()->close();
        settle();
        QCOMPARE(saved(kit.state), paths);

        kit.window.workspace()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(first->parentWidget()));
        QCOMPARE(kit.window.activeQueryWindow(), first);
        select(tree, QStringLiteral("Y"));
        kit.window.perform(QStringLiteral("mpastetable"));
        QCOMPARE(shown(tree), (QStringList{"X", "Y", "Y\\T001"}));
    }

    // The tree shared between windows

    void treeSharedThroughSavedList()
    {
        QueryTestKit kit;
        QueryWindow* first = kit.newWindow();
        kit.window.perform(QStringLiteral("mnewroot"));
        QVERIFY(typeName(treeOf(first), QStringLiteral("OnlyFirst")));
        QueryWindow* second = kit.newWindow();
        // The second window loaded the list before the first saved anything.
        QVERIFY(shown(treeOf(second)).isEmpty());
        kit.window.perform(QStringLiteral("mnewroot"));
        QVERIFY(typeName(treeOf(second), QStringLiteral("OnlySecond")));

        first->parentWidget()->close();
        settle();
        QCOMPARE(saved(kit.state), QStringList{"OnlyFirst"});
        // The window closed last decides what is kept.
        second->parentWidget()->close();
        settle();
        QCOMPARE(saved(kit.state), QStringList{"OnlySecond"});
        QCOMPARE(shown(treeOf(kit.newWindow())), QStringList{"OnlySecond"});
    }

    void onlyFirst999NodesSaved()
    {
        QueryTestKit kit;
        QStringList paths = {QStringLiteral("Root")};
        for (int i = 1; i < 1000; ++i)
            paths.append(QStringLiteral("Root\\Z%1").arg(i, 4, 10, QChar(u'0')));
        seed(kit.state, paths.mid(0, 999));
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        QCOMPARE(tree->topLevelItem(0)->childCount(), 998);
        kit.state.treePaths.clear(); // whatever is saved next comes from the window
        select(tree, QStringLiteral("Root"));
        kit.window.perform(QStringLiteral("mnewfolder"));
        QVERIFY(typeName(tree, QStringLiteral("Z0999")));
        QCOMPARE(tree->topLevelItem(0)->childCount(), 999);
        window->parentWidget()->close();
        settle();
        QCOMPARE(kit.state.treePaths.size(), 999);
        QCOMPARE(saved(kit.state), paths.mid(0, 999));
    }

    // Opening and closing tables

    // Keys on the tree do what a double click and the Table menu do.
    void keysOnTheTree_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("answer"); // to the delete question; -1: none asked
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("fields"); // in the field list after the key
        const QStringList all{"Sales", "Sales\\KNA1", "T001"};
        QTest::newRow("Enter opens a table")
            << "KNA1" << int(Qt::Key_Return) << 0 << -1 << all << 70;
        QTest::newRow("keypad Enter opens a table")
            << "KNA1" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << -1 << all << 70;
        QTest::newRow("Enter on a folder opens nothing")
            << "Sales" << int(Qt::Key_Return) << 0 << -1 << all << 0;
        QTest::newRow("Delete removes a table unasked")
            << "T001" << int(Qt::Key_Delete) << 0 << -1 << QStringList{"Sales", "Sales\\KNA1"} << 0;
        QTest::newRow("Delete asks for a folder, No keeps it")
            << "Sales" << int(Qt::Key_Delete) << 0 << int(Desktop::Answer::No) << all << 0;
        QTest::newRow("Delete asks for a folder, Yes removes it")
            << "Sales" << int(Qt::Key_Delete) << 0 << int(Desktop::Answer::Yes)
            << QStringList{"T001"} << 0;
    }

    void keysOnTheTree()
    {
        QFETCH(QString, node);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, answer);
        QFETCH(QStringList, after);
        QFETCH(int, fields);
        QueryTestKit kit;
        QVERIFY(kit.connect());
        seed(kit.state,
             {QStringLiteral("Sales"), QStringLiteral("Sales\\KNA1"), QStringLiteral("T001")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        tree->expandAll();
        select(tree, node);
        kit.window.action(QStringLiteral("mcuttable"))->trigger();
        QVERIFY(pasteEnabled(kit));
        if (answer >= 0)
            kit.desktop.answers.enqueue(Desktop::Answer(answer));
        QTest::keyClick(tree, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        settle();
        QCOMPARE(shown(tree), after);
        QCOMPARE(fieldListOf(window)->topLevelItemCount(), fields);
        if (answer >= 0) {
            QCOMPARE(
                kit.desktop.messageTexts(),
                QStringList{QStringLiteral("Are you sure you want to delete folder 'Sales'?")});
        } else {
            QVERIFY(kit.desktop.messages.isEmpty());
        }
        // Delete gives up Paste as the menu's Delete does; opening leaves it.
        QCOMPARE(pasteEnabled(kit), key != Qt::Key_Delete);
        if (fields > 0) {
            QVERIFY(isBlue(tree, node));
            QCOMPARE(status(kit), QStringLiteral("KNA1 has 70 of 70 Total Fields"));
            // Enter again closes it.
            QTest::keyClick(tree, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QCOMPARE(fieldListOf(window)->topLevelItemCount(), 0);
        }
    }

    void renameByF2()
    {
        QueryTestKit kit;
        seed(kit.state, {QStringLiteral("Sales"), QStringLiteral("Sales\\KNA1")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        select(tree, QStringLiteral("Sales"));
        kit.window.action(QStringLiteral("mcuttable"))->trigger();
        QTest::keyClick(tree, Qt::Key_F2);
        QVERIFY(!pasteEnabled(kit));
        QVERIFY(typeName(tree, QStringLiteral("Vendas")));
        QCOMPARE(shown(tree), (QStringList{"Vendas", "Vendas\\KNA1"}));
    }

    // The menu key (which the system delivers as a context menu of the keyboard) and Shift+F10
    // open the Table menu under the selected node; the mouse's menu stays the release's.
    void tableMenuByKeyboard_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Shift+F10") << "Shift+F10";
        QTest::newRow("menu key") << "menu key";
        QTest::newRow("mouse") << "mouse";
    }

    void tableMenuByKeyboard()
    {
        QFETCH(QString, how);
        QueryTestKit kit;
        seed(kit.state,
             {QStringLiteral("Sales"), QStringLiteral("Sales\\KNA1"), QStringLiteral("T001")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        QVERIFY(QTest::qWaitForWindowExposed(&kit.window));
        select(tree, QStringLiteral("T001"));
        QMenu* menu = kit.window.menu(QStringLiteral("mtable"));
        const QRect item = tree->visualItemRect(itemOf(tree, QStringLiteral("T001")));
        if (how == u"Shift+F10") {
            QTest::keyClick(tree, Qt::Key_F10, Qt::ShiftModifier);
        } else {
            const bool keyboard = how == u"menu key";
            QContextMenuEvent event(keyboard ? QContextMenuEvent::Keyboard
                                             : QContextMenuEvent::Mouse,
                                    item.center(), tree->viewport()->mapToGlobal(item.center()));
            QCoreApplication::sendEvent(tree->viewport(), &event);
        }
        if (how == u"mouse") {
            QVERIFY(!menu->isVisible());
            return;
        }
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->pos().y(), tree->viewport()->mapToGlobal(item.bottomLeft()).y());
        menu->hide();
    }

    void openAndCloseTable()
    {
        QueryTestKit kit;
        QVERIFY(kit.connect());
        seed(kit.state, {QStringLiteral("Sales"), QStringLiteral("Sales\\KNA1")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        ReportListView* list = fieldListOf(window);
        tree->expandAll();
        QVERIFY(!kit.window.action(QStringLiteral("mprintfields"))->isEnabled());

        doubleClick(tree, QStringLiteral("KNA1"));
        QCOMPARE(list->topLevelItemCount(), 70);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("KNA1-MANDT"));
        QVERIFY(isBlue(tree, QStringLiteral("KNA1")));
        QCOMPARE(status(kit), QStringLiteral("KNA1 has 70 of 70 Total Fields"));
        QVERIFY(kit.window.action(QStringLiteral("mprintfields"))->isEnabled());
        QVERIFY(kit.window.action(QStringLiteral("mcopytomytable"))->isEnabled());
        QVERIFY(list->toolTip().isEmpty());

        doubleClick(tree, QStringLiteral("KNA1"));
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(isDefaultColour(tree, QStringLiteral("KNA1")));
        QCOMPARE(status(kit), QStringLiteral("0 Total Fields"));
        QVERIFY(!kit.window.action(QStringLiteral("mprintfields"))->isEnabled());
        QCOMPARE(list->toolTip(),
                 QStringLiteral("Select fields and right click to copy to My Table"));
        QVERIFY(kit.desktop.messages.isEmpty());
    }

    void openWithoutConnectionLeavesListUnchanged()
    {
        QueryTestKit kit;
        seed(kit.state, {QStringLiteral("T001")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        doubleClick(tree, QStringLiteral("T001")); // logon cancelled
        QCOMPARE(kit.logon.asked, 1);
        QCOMPARE(fieldListOf(window)->topLevelItemCount(), 0);
        QVERIFY(isDefaultColour(tree, QStringLiteral("T001")));
        // The node did not stay open: the next double-click opens it.
        kit.logon.answers.enqueue(ScriptedLogon::demo());
        doubleClick(tree, QStringLiteral("T001"));
        QCOMPARE(fieldListOf(window)->topLevelItemCount(), 10);
        QCOMPARE(status(kit), QStringLiteral("T001 has 10 of 10 Total Fields"));
    }

    void tablesSharingPrefixCloseIndependently_data()
    {
        QTest::addColumn<QString>("closed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("left");
        QTest::newRow("close the shorter name") << "T005"
                                                << "T005T" << 5;
        QTest::newRow("close the longer name") << "T005T"
                                               << "T005" << 6;
    }

    void tablesSharingPrefixCloseIndependently()
    {
        QFETCH(QString, closed);
        QFETCH(QString, kept);
        QFETCH(int, left);
        QueryTestKit kit;
        QVERIFY(kit.connect());
        seed(kit.state, {QStringLiteral("T005"), QStringLiteral("T005T")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        ReportListView* list = fieldListOf(window);

        doubleClick(tree, QStringLiteral("T005"));
        QCOMPARE(status(kit), QStringLiteral("T005 has 6 of 6 Total Fields"));
        doubleClick(tree, QStringLiteral("T005T"));
        QCOMPARE(status(kit), QStringLiteral("T005T has 5 of 11 Total Fields"));
        QCOMPARE(list->topLevelItemCount(), 11);

        doubleClick(tree, closed);
        QCOMPARE(list->topLevelItemCount(), left);
        QCOMPARE(status(kit), QString::number(left) + QStringLiteral(" Total Fields"));
        for (const QString& key : keysOf(list))
            QVERIFY2(key.startsWith(kept + u'-'), qPrintable(key));
        QVERIFY(isBlue(tree, kept));
        QVERIFY(isDefaultColour(tree, closed));
    }

    void deletingOpenTableRemovesItsFields()
    {
        QueryTestKit kit;
        QVERIFY(kit.connect());
        seed(kit.state, {QStringLiteral("T001"), QStringLiteral("T005")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        doubleClick(tree, QStringLiteral("T001"));
        doubleClick(tree, QStringLiteral("T005"));
        QCOMPARE(fieldListOf(window)->topLevelItemCount(), 16);
        select(tree, QStringLiteral("T001"));
        kit.window.perform(QStringLiteral("mremovetable"));
        QCOMPARE(fieldListOf(window)->topLevelItemCount(), 6);
        QVERIFY(keysOf(fieldListOf(window)).first().startsWith(QStringLiteral("T005-")));
    }

    // An open table keeps its fields through a rename, and takes them along when it goes: by the
    // name they were opened under, whatever the node is called now.
    void renamedOpenTableTakesItsFieldsAlong_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("left");
        QTest::newRow("deleted") << "delete" << 6;
        QTest::newRow("closed by a double-click") << "close" << 6;
        QTest::newRow("its folder deleted") << "delete folder" << 0;
    }
    void renamedOpenTableTakesItsFieldsAlong()
    {
        QFETCH(QString, how);
        QFETCH(int, left);
        QueryTestKit kit;
        QVERIFY(kit.connect());
        seed(kit.state, {QStringLiteral("Sales"), QStringLiteral("Sales\\T001"),
                         QStringLiteral("Sales\\T005")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        ReportListView* list = fieldListOf(window);
        tree->expandAll();
        doubleClick(tree, QStringLiteral("T001"));
        doubleClick(tree, QStringLiteral("T005"));
        QCOMPARE(list->topLevelItemCount(), 16);

        select(tree, QStringLiteral("T001"));
        kit.window.perform(QStringLiteral("mrename"));
        QVERIFY(typeName(tree, QStringLiteral("Company codes")));
        QCOMPARE(list->topLevelItemCount(), 16);
        QVERIFY(isBlue(tree, QStringLiteral("Company codes")));

        if (how == u"close") {
            doubleClick(tree, QStringLiteral("Company codes"));
            QVERIFY(itemOf(tree, QStringLiteral("Company codes")));
        } else {
            select(tree,
                   how == u"delete" ? QStringLiteral("Company codes") : QStringLiteral("Sales"));
            kit.desktop.answers.enqueue(Desktop::Answer::Yes);
            kit.window.perform(QStringLiteral("mremovetable"));
            QVERIFY(!itemOf(tree, QStringLiteral("Company codes")));
        }
        QCOMPARE(list->topLevelItemCount(), left);
        for (const QString& key : keysOf(list))
            QVERIFY2(key.startsWith(QStringLiteral("T005-")), qPrintable(key));
    }

    void singleClickModeOpensWithOneClick()
    {
        QueryTestKit kit;
        QVERIFY(kit.connect());
        seed(kit.state, {QStringLiteral("KNA1")});
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);

        kit.window.perform(QStringLiteral("msinglesel"));
        QVERIFY(window->singleClick());
        QVERIFY(tree->singleSel());
        QVERIFY(tree->hotTracking());
        QVERIFY(kit.window.action(QStringLiteral("msinglesel"))->isChecked());

        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centreOf(tree, "KNA1"));
        settle();
        QCOMPARE(fieldListOf(window)->topLevelItemCount(), 70);
        QCOMPARE(status(kit), QStringLiteral("KNA1 has 70 of 70 Total Fields"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centreOf(tree, "KNA1"));
        settle();
        QCOMPARE(fieldListOf(window)->topLevelItemCount(), 0);

        // A rename switches single-click off while the label is edited, and back on.
        select(tree, QStringLiteral("KNA1"));
        kit.window.perform(QStringLiteral("mrename"));
        QVERIFY(openEditor(tree));
        QVERIFY(!tree->singleSel());
        QVERIFY(typeName(tree, QStringLiteral("Customers")));
        QVERIFY(tree->singleSel());
        QCOMPARE(fieldListOf(window)->topLevelItemCount(), 0);

        kit.window.perform(QStringLiteral("msinglesel"));
        QVERIFY(!tree->singleSel());
        QVERIFY(!tree->hotTracking());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centreOf(tree, "Customers"));
        settle();
        QCOMPARE(fieldListOf(window)->topLevelItemCount(), 0);
    }

    // Kept last: a fault here may take the whole program down. Expanding or collapsing a
    // folder keeps the selected node.
    void expandAndCollapseFolder_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("mouse");
        const QStringList nested = {"A", "A\\B", "A\\B\\KNA1", "A\\T001", "C"};
        QTest::newRow("branch sign, nested folders") << nested << "A" << true;
        QTest::newRow("arrow keys, one folder")
            << QStringList{"Sales", "Sales\\KNA1"} << "Sales" << false;
        QTest::newRow("arrow keys, nested folders") << nested << "A" << false;
    }

    void expandAndCollapseFolder()
    {
        QFETCH(QStringList, paths);
        QFETCH(QString, folder);
        QFETCH(bool, mouse);
        QueryTestKit kit;
        seed(kit.state, paths);
        QueryWindow* window = kit.newWindow();
        TableTreeView* tree = treeOf(window);
        tree->setCurrentItem(itemOf(tree, folder));
        const auto toggle = [&] {
            if (mouse) {
                const QRect row = tree->visualItemRect(itemOf(tree, folder));
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                                  QPoint(row.left() - tree->indentation() / 2, row.center().y()));
            } else {
                const bool open = itemOf(tree, folder)->isExpanded();
                QTest::keyClick(tree, open ? Qt::Key_Left : Qt::Key_Right);
            }
            settle();
        };
        for (int round = 0; round < 3; ++round) {
            toggle();
            QVERIFY(itemOf(tree, folder)->isExpanded());
            QCOMPARE(tree->currentItem(), itemOf(tree, folder));
            toggle();
            QVERIFY(!itemOf(tree, folder)->isExpanded());
            QCOMPARE(tree->currentItem(), itemOf(tree, folder));
        }
        QCOMPARE(shown(tree), paths);
    }
};

QTEST_MAIN(TestTableTree)
#include "tst_tabletree.moc"
