// My Table against the demo system: copying without duplicates, the list-key rebuild, moves,
// removal, the header with the number of read calls, menu states, the option editor's field
// box, the status text on a click and the printed layout.
#include "QueryTestKit.h"
#include "shell/ControlNames.h"

#include "sap/RfcDestination.h"
#include "shell/EightBitText.h"
#include "window/main/StatusPanels.h"
#include "window/query/FieldList.h"
#include "window/query/MyTable.h"
#include "window/query/ReportListView.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QtTest>

using namespace ControlNames;

namespace
{
// In the order of KNA1's catalogue, which is the field list's order.
const QString A = QStringLiteral("KNA1-KUNNR"); // C 10 Customer
const QString B = QStringLiteral("KNA1-LAND1"); // C 3 Country
const QString C = QStringLiteral("KNA1-NAME1"); // C 35 Name
const QString D = QStringLiteral("KNA1-ORT01"); // C 35 City

const char* const kFieldCommands[] = {
    "mqpreview", "mprintfieldsmytable", "mimportmytable",  "mmovedown",
    "mmoveup",   "mremovefield",        "mremoveallfields"};
} // namespace

class TestMyTable : public QueryWindowTest
{
    Q_OBJECT

private:
    ReportListView* list() const { return m_window->myTable().view(); }
    QString header() const { return list()->headerItem()->text(0); }
    bool modified() const { return m_kit->workspace.isModified(m_window->slot()); }
    void clearModified() { m_kit->workspace.setModified(m_window, false); }

    QStringList texts() const
    {
        QStringList result;
        for (QTreeWidgetItem* item : list()->itemsInOrder())
            result.append(item->text(0));
        return result;
    }

    QStringList selectedTexts() const
    {
        QStringList result;
        for (QTreeWidgetItem* item : list()->itemsInOrder()) {
            if (item->isSelected())
                result.append(item->text(0));
        }
        return result;
    }

    QTreeWidgetItem* displayed(const QString& key) const { return list()->itemByKey(key); }

    // Selects the fields in the field list; "KNA1-*" stands for every field of KNA1.
    [[nodiscard]] bool selectFields(const QStringList& keys)
    {
        ReportListView* fields = m_window->fields().view();
        fields->clearSelection();
        for (const QString& key : keys) {
            if (key.endsWith(u'*')) {
                const QString prefix = key.chopped(1);
                for (QTreeWidgetItem* item : fields->itemsInOrder()) {
                    if (item->text(0).startsWith(prefix))
                        item->setSelected(true);
                }
                continue;
            }
            QTreeWidgetItem* item = fields->itemByKey(key);
            if (!item)
                return false;
            item->setSelected(true);
        }
        return true;
    }

    [[nodiscard]] bool copy(const QStringList& keys)
    {
        if (!selectFields(keys))
            return false;
        m_window->perform(QStringLiteral("mcopytomytable"));
        return true;
    }

    void selectInMyTable(const QStringList& keys, const QString& focus)
    {
        list()->clearSelection();
        if (!focus.isEmpty())
            list()->setCurrentItem(displayed(focus), 0, QItemSelectionModel::NoUpdate);
        for (const QString& key : keys)
            displayed(key)->setSelected(true);
    }

    // Drops what a drag of these field-list items carries at the point of My Table, with the
    // events the desktop sends.
    void dropFields(const QStringList& keys, const QPoint& at)
    {
        ReportListView* fields = m_window->fields().view();
        QModelIndexList dragged;
        for (const QString& key : keys)
            dragged.append(fields->indexFromItem(fields->itemByKey(key)));
        std::unique_ptr<QMimeData> data(fields->model()->mimeData(dragged));
        QWidget* surface = list()->viewport();
        QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(surface, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(surface, &move);
        QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(surface, &drop);
    }

    // A point on the upper part of the item, or under the last one for an empty key.
    QPoint above(const QString& key) const
    {
        if (key.isEmpty())
            return {20, list()->viewport()->height() - 5};
        const QRect place = list()->visualItemRect(displayed(key));
        return {place.left() + 20, place.top() + 2};
    }

    QStringList fieldBox() const
    {
        auto* box = m_window->findChild<QComboBox*>(Query::kOptionField);
        QStringList result;
        for (int i = 0; box && i < box->count(); ++i)
            result.append(box->itemText(i));
        return result;
    }

private Q_SLOTS:
    void init()
    {
        m_window = m_kit->newWindow();
        QVERIFY(m_window);
        QVERIFY(m_window->fields().addTableFields(QStringLiteral("KNA1")));
        QVERIFY(m_window->fields().addTableFields(QStringLiteral("LFA1")));
        m_kit->desktop.messages.clear();
        clearModified();
    }

    void copyingTheSameSelectionTwiceAddsNothing()
    {
        QVERIFY(copy({A, B, C}));
        QCOMPARE(texts(), QStringList({A, B, C}));
        QCOMPARE(header(), QStringLiteral("My Table > 3 Fields 48 Bytes (1 call)"));
        QVERIFY(modified());
        QVERIFY(copy({A, B, C}));
        QCOMPARE(texts(), QStringList({A, B, C}));
        QCOMPARE(header(), QStringLiteral("My Table > 3 Fields 48 Bytes (1 call)"));
        // A selection overlapping My Table adds only what is new, at the end.
        QVERIFY(copy({B, D}));
        QCOMPARE(texts(), QStringList({A, B, C, D}));
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    void copiedItemsCarryTypeLengthAndText()
    {
        QVERIFY(copy({A, B}));
        QTreeWidgetItem* item = displayed(B);
        QVERIFY(item);
        QCOMPARE(item->text(1), QStringLiteral("C"));
        QCOMPARE(item->text(2), QStringLiteral("3"));
        QCOMPARE(item->toolTip(0), QStringLiteral("Country"));
    }

    // A and B; B moved up, removed, copied again: the copy meets B's old list key on the item
    // now showing A and must rebuild the keys rather than skip B or duplicate A.
    void droppedFieldsLandWhereDropped_data()
    {
        QTest::addColumn<QStringList>("dragged");
        QTest::addColumn<QString>("before"); // the My Table item dropped on; empty: the end
        QTest::addColumn<QStringList>("result");
        QTest::newRow("before the first") << QStringList{D} << A << QStringList{D, A, B};
        QTest::newRow("between two") << QStringList{C, D} << B << QStringList{A, C, D, B};
        QTest::newRow("picked in any order, kept in list order")
            << QStringList{D, C} << B << QStringList{A, C, D, B};
        QTest::newRow("after the last") << QStringList{D} << "" << QStringList{A, B, D};
        QTest::newRow("one there already") << QStringList{B, C} << A << QStringList{C, A, B};
        QTest::newRow("from two tables")
            << QStringList{D, "LFA1-LIFNR"} << B << QStringList{A, D, "LFA1-LIFNR", B};
    }

    void droppedFieldsLandWhereDropped()
    {
        QFETCH(QStringList, dragged);
        QFETCH(QString, before);
        QFETCH(QStringList, result);
        QVERIFY(copy({A, B}));
        clearModified();
        dropFields(dragged, above(before));
        QCOMPARE(texts(), result);
        QCOMPARE(fieldBox(), result);
        QVERIFY(modified());
        // A dropped field carries its type, length and text as a copied one does.
        QTreeWidgetItem* item = displayed(dragged.front());
        QCOMPARE(item->text(1), QStringLiteral("C"));
        QCOMPARE(item->toolTip(0).isEmpty(), false);
        QVERIFY(header().startsWith(QStringLiteral("My Table > %1 Fields").arg(result.size())));
    }

    void filteredOutFieldsAreNotDragged()
    {
        m_window->fields().setFilterText(QStringLiteral("name"));
        dropFields({A, C}, above(QString()));
        QCOMPARE(texts(), QStringList{C});
    }

    void draggingWithinMyTableMovesTheFieldsWhole_data()
    {
        QTest::addColumn<QStringList>("moved");
        QTest::addColumn<int>("row"); // before the item at that row; -1: the end
        QTest::addColumn<QStringList>("result");
        QTest::newRow("last to first") << QStringList{D} << 0 << QStringList{D, A, B, C};
        QTest::newRow("first to the end") << QStringList{A} << -1 << QStringList{B, C, D, A};
        QTest::newRow("two apart, down") << QStringList{A, C} << 3 << QStringList{B, A, C, D};
        QTest::newRow("onto itself") << QStringList{B} << 1 << QStringList{A, B, C, D};
        QTest::newRow("just below itself") << QStringList{B} << 2 << QStringList{A, B, C, D};
    }

    void draggingWithinMyTableMovesTheFieldsWhole()
    {
        QFETCH(QStringList, moved);
        QFETCH(int, row);
        QFETCH(QStringList, result);
        QVERIFY(copy({A, B, C, D}));
        clearModified();
        m_window->myTable().moveFields(moved, row);
        QCOMPARE(texts(), result);
        QCOMPARE(selectedTexts(), moved);
        QCOMPARE(fieldBox(), result);
        // Whole items move: each keeps its type, length and text, and a later copy of a moved
        // field finds it present.
        QCOMPARE(displayed(C)->text(2), QStringLiteral("35"));
        QCOMPARE(displayed(A)->toolTip(0), QStringLiteral("Customer"));
        QVERIFY(copy({A, B}));
        QCOMPARE(texts(), result);
        QVERIFY(modified());
    }

    void copyPutsTheSelectedFieldsOnTheClipboard()
    {
        QVERIFY(copy({A, B, C}));
        selectInMyTable({C, A}, C);
        QGuiApplication::clipboard()->clear();
        list()->copyAction()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("KNA1-KUNNR\tC\t10\nKNA1-NAME1\tC\t35\n"));
        // Nothing selected: the clipboard keeps what it held.
        list()->clearSelection();
        list()->copyAction()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("KNA1-KUNNR\tC\t10\nKNA1-NAME1\tC\t35\n"));
    }

    void copyMeetingAMovedListKeyRekeysTheList()
    {
        QVERIFY(copy({A, B}));
        selectInMyTable({B}, B);
        m_window->myTable().moveUp();
        QCOMPARE(texts(), QStringList({B, A}));
        selectInMyTable({B}, B);
        m_window->myTable().removeSelected();
        QCOMPARE(texts(), QStringList({A}));
        QVERIFY(copy({B}));
        QCOMPARE(texts(), QStringList({A, B}));
        QCOMPARE(header(), QStringLiteral("My Table > 2 Fields 13 Bytes (1 call)"));
        // The keys are fresh again: moving and removing B once more behaves the same.
        selectInMyTable({B}, B);
        m_window->myTable().moveUp();
        selectInMyTable({A}, A);
        m_window->myTable().removeSelected();
        QCOMPARE(texts(), QStringList({B}));
        QVERIFY(copy({A}));
        QCOMPARE(texts(), QStringList({B, A}));
        QCOMPARE(fieldBox().size(), 2);
    }

    void moves_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("down");
        QTest::addColumn<int>("times");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("expectedSelected");

        QTest::newRow("down, several selected")
            << QStringList{A, B, C} << B << true << 1 << QStringList{A, C, B, D} << QStringList{B};
        QTest::newRow("up, several selected")
            << QStringList{B, C, D} << C << false << 1 << QStringList{A, C, B, D} << QStringList{C};
        QTest::newRow("up twice carries it further")
            << QStringList{C} << C << false << 2 << QStringList{C, A, B, D} << QStringList{C};
        QTest::newRow("down past the end stops at the end")
            << QStringList{B} << B << true << 4 << QStringList{A, C, D, B} << QStringList{B};
        QTest::newRow("first does not move up")
            << QStringList{A, B} << A << false << 1 << QStringList{A, B, C, D} << QStringList{A, B};
        QTest::newRow("last does not move down")
            << QStringList{D} << D << true << 1 << QStringList{A, B, C, D} << QStringList{D};
        QTest::newRow("selected but not focused does not move")
            << QStringList{C} << QString() << true << 1 << QStringList{A, B, C, D}
            << QStringList{C};
    }

    void moves()
    {
        QFETCH(QStringList, selected);
        QFETCH(QString, focus);
        QFETCH(bool, down);
        QFETCH(int, times);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, expectedSelected);

        QVERIFY(copy({A, B, C, D}));
        const QString before = header();
        QHash<QString, QStringList> contents;
        for (QTreeWidgetItem* item : list()->itemsInOrder())
            contents.insert(item->text(0), {item->text(1), item->text(2), item->toolTip(0)});
        clearModified();
        if (focus.isEmpty())
            list()->setCurrentItem(nullptr);
        selectInMyTable(selected, focus);
        for (int i = 0; i < times; ++i)
            down ? m_window->myTable().moveDown() : m_window->myTable().moveUp();

        QCOMPARE(texts(), expected);
        QCOMPARE(selectedTexts(), expectedSelected);
        if (!focus.isEmpty())
            QCOMPARE(list()->currentItem()->text(0), focus);
        // Type, length and text travel with the field.
        for (QTreeWidgetItem* item : list()->itemsInOrder())
            QCOMPARE(QStringList({item->text(1), item->text(2), item->toolTip(0)}),
                     contents.value(item->text(0)));
        QCOMPARE(header(), before);
        QCOMPARE(modified(), expected != QStringList({A, B, C, D}));
    }

    void movesOnAnEmptyListDoNothing()
    {
        m_window->myTable().moveDown();
        m_window->myTable().moveUp();
        m_window->myTable().removeAll();
        QCOMPARE(list()->topLevelItemCount(), 0);
        QCOMPARE(header(), QStringLiteral("My Table > 0 Fields 0 Bytes"));
        QVERIFY(!modified());
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    void removeFieldRemovesTheDisplayedSelection()
    {
        QVERIFY(copy({A, B, C, D}));
        selectInMyTable({B}, B);
        m_window->myTable().moveDown(); // A C B D: B's item now shows C, C's item shows B
        selectInMyTable({A, B}, B);
        clearModified();
        m_window->myTable().removeSelected();
        QCOMPARE(texts(), QStringList({C, D}));
        QCOMPARE(header(), QStringLiteral("My Table > 2 Fields 70 Bytes (1 call)"));
        QVERIFY(modified());

        list()->clearSelection();
        m_window->myTable().removeSelected();
        QCOMPARE(texts(), QStringList({C, D}));
    }

    void removeAllFieldsEmptiesAndDisablesTheCommands()
    {
        for (const char* command : kFieldCommands)
            QVERIFY2(!m_kit->window.action(QString::fromLatin1(command))->isEnabled(), command);
        QVERIFY(copy({A}));
        for (const char* command : kFieldCommands)
            QVERIFY2(m_kit->window.action(QString::fromLatin1(command))->isEnabled(), command);
        QVERIFY(copy({B, C}));
        clearModified();
        m_window->myTable().removeAll();
        QCOMPARE(list()->topLevelItemCount(), 0);
        QCOMPARE(header(), QStringLiteral("My Table > 0 Fields 0 Bytes"));
        QVERIFY(modified());
        for (const char* command : kFieldCommands)
            QVERIFY2(!m_kit->window.action(QString::fromLatin1(command))->isEnabled(), command);
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    void removingSomeFieldsKeepsTheCommandsUntilEmpty()
    {
        QVERIFY(copy({A, B}));
        selectInMyTable({A}, A);
        m_window->myTable().removeSelected();
        for (const char* command : kFieldCommands)
            QVERIFY2(m_kit->window.action(QString::fromLatin1(command))->isEnabled(), command);
        selectInMyTable({B}, B);
        m_window->myTable().removeSelected();
        for (const char* command : kFieldCommands)
            QVERIFY2(!m_kit->window.action(QString::fromLatin1(command))->isEnabled(), command);
    }

    void headerCountsTheReadCalls_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<bool>("wider"); // a read found the system's widest module
        QTest::addColumn<QString>("expected");
        QTest::newRow("one field")
            << QStringList{A} << false << QStringLiteral("My Table > 1 Fields 10 Bytes (1 call)");
        QTest::newRow("two tables") << QStringList{A, B, QStringLiteral("LFA1-LIFNR")} << false
                                    << QStringLiteral("My Table > 3 Fields 23 Bytes (2 calls)");
        QTest::newRow("KNA1 wider than 512")
            << QStringList{QStringLiteral("KNA1-*")} << false
            << QStringLiteral("My Table > 70 Fields 825 Bytes (2 calls)");
        QTest::newRow("KNA1 and a vendor field")
            << QStringList{QStringLiteral("KNA1-*"), QStringLiteral("LFA1-LIFNR")} << false
            << QStringLiteral("My Table > 71 Fields 835 Bytes (3 calls)");
        QTest::newRow("KNA1 through the widest module")
            << QStringList{QStringLiteral("KNA1-*")} << true
            << QStringLiteral("My Table > 70 Fields 825 Bytes (1 call)");
        QTest::newRow("two tables through the widest module")
            << QStringList{QStringLiteral("KNA1-*"), QStringLiteral("LFA1-LIFNR")} << true
            << QStringLiteral("My Table > 71 Fields 835 Bytes (2 calls)");
    }

    void headerCountsTheReadCalls()
    {
        QFETCH(QStringList, keys);
        QFETCH(bool, wider);
        QFETCH(QString, expected);
        // A system whose every module answers: the widest is the first asked.
        struct Answering : RfcDestination {
            LogonResult logon(const LogonData&) override { return {}; }
            void logoff() override {}
            bool call(RfcFunction&) override { return true; }
            QString details() const override { return {}; }
        };
        auto system = std::make_shared<Answering>();
        m_kit->context.keys->bind(system);
        if (wider)
            QCOMPARE(m_kit->context.keys->widestModule(*system).name(),
                     QStringLiteral("/SAPDS/RFC_READ_TABLE2"));
        QVERIFY(copy(keys));
        QCOMPARE(header(), expected);
        QCOMPARE(list()->headerItem()->toolTip(0).contains(u"/SAPDS/RFC_READ_TABLE2"), wider);
        m_kit->context.keys->bind({});
    }

    void fieldBoxFollowsMyTable()
    {
        QVERIFY(copy({A, B, C}));
        QCOMPARE(fieldBox(), QStringList({A, B, C}));
        selectInMyTable({B}, B);
        m_window->myTable().removeSelected();
        QCOMPARE(fieldBox(), QStringList({A, C}));
        m_window->myTable().removeAll();
        QCOMPARE(fieldBox(), QStringList());
    }

    void clickShowsFieldKeyAndTextOnTheStatusBar()
    {
        QVERIFY(copy({A, B}));
        selectInMyTable({B}, B);
        m_window->myTable().moveUp();
        QVERIFY(QTest::qWaitForWindowExposed(&m_kit->window));
        for (const auto& [row, expected] : {std::pair{0, QStringLiteral("KNA1-LAND1 Country")},
                                            std::pair{1, QStringLiteral("KNA1-KUNNR Customer")}}) {
            const QRect rect = list()->visualItemRect(list()->topLevelItem(row));
            QVERIFY(rect.isValid());
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
            QCOMPARE(m_kit->window.statusPanels()->message(), expected);
        }
    }

    void printUsesTheDisplayedOrder()
    {
        QVERIFY(copy({A, B, C}));
        selectInMyTable({C}, C);
        m_window->myTable().moveUp();
        m_window->myTable().moveUp();
        m_kit->desktop.starts.clear();
        m_window->myTable().printMyTable();

        const QString path = QDir(m_kit->home.path()).filePath(QStringLiteral("Fields.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(EightBitText::decode(file.readAll()),
                 QStringLiteral("COL FIELDNAME  FIELDTEXTTYPE LENGTH\r\n"
                                "\r\n"
                                "001 KNA1-NAME1 Name     C    35\r\n"
                                "002 KNA1-KUNNR Customer C    10\r\n"
                                "003 KNA1-LAND1 Country  C    3\r\n"));
        QCOMPARE(m_kit->desktop.starts.size(), 1);
        QCOMPARE(m_kit->desktop.starts.first().arguments, QStringList{path});
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    void holdsNineHundredNinetyNineFields()
    {
        QVector<ReadPlan::Field> many;
        for (int i = 1; i <= 999; ++i)
            many.append({QStringLiteral("ZBIG-F%1").arg(i, 3, 10, QChar(u'0')), QStringLiteral("C"),
                         1, QStringLiteral("Field %1").arg(i)});
        m_window->myTable().addFields(many);
        QCOMPARE(list()->topLevelItemCount(), 999);
        // Fields of length 1 and their separators fill a 512 data line with 256 at most.
        QCOMPARE(header(), QStringLiteral("My Table > 999 Fields 999 Bytes (4 calls)"));
        m_window->myTable().addFields(many);
        QCOMPARE(list()->topLevelItemCount(), 999);
        QCOMPARE(fieldBox().size(), 999);
        QCOMPARE(m_window->myTable().items().last().key, QStringLiteral("ZBIG-F999"));

        selectInMyTable({QStringLiteral("ZBIG-F999")}, QStringLiteral("ZBIG-F999"));
        m_window->myTable().moveUp();
        QCOMPARE(list()->topLevelItem(997)->text(0), QStringLiteral("ZBIG-F999"));
        QCOMPARE(list()->topLevelItem(998)->text(0), QStringLiteral("ZBIG-F998"));
        m_window->myTable().removeAll();
        QCOMPARE(list()->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TestMyTable)
#include "tst_mytable.moc"
