#include "QueryTestKit.h"
#include "shell/ControlNames.h"

#include "query/layout/SplitterDrag.h"
#include "sap/LogonSentences.h"
#include "sap/RfcDestination.h"
#include "shell/Twips.h"
#include "window/main/StatusPanels.h"
#include "window/query/FieldList.h"
#include "window/query/MyTable.h"
#include "window/query/OptionList.h"
#include "window/query/PreviewPane.h"
#include "window/query/ReportListView.h"
#include "window/query/RowsPanel.h"
#include "window/query/TableTreeView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QSet>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTest>
#include <QWindow>

#include <cmath>

using namespace ControlNames;

namespace
{
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString printFile(QueryTestKit& kit)
{
    return QDir(kit.home.path()).filePath(QStringLiteral("Fields.txt"));
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ReportListView* fieldList(QueryWindow* window)
{
    return window->findChild<ReportListView*>(Query::kFieldList);
}

// A connected kit with one query window showing the fields of the given table.
QueryWindow* windowWithTable(QueryTestKit& kit, const QString& table)
{
    if (!kit.connect())
        return nullptr;
    QueryWindow* window = kit.newWindow();
    return window && window->fields().addTableFields(table) ? window : nullptr;
}

QRect placeOf(QueryWindow* window, const QString& name)
{
    return window->findChild<QWidget*>(name)->geometry();
}

// Where each line between the panes stands, in the window's pixels.
int border(QueryWindow* window, int line)
{
    switch (line) {
    case 1:
        return placeOf(window, Query::kFieldFilter).left(); // the field list's pane begins there
    case 2:
        return placeOf(window, Query::kMyTable).left();
    case 3:
        return placeOf(window, Query::kOptionList).top();
    default:
        return placeOf(window, Query::kPreviewGrid).top();
    }
}

// A point inside a band of the pane, on the list's own surface (under its header): near the
// edge that the line runs along.
QPoint grabPoint(QueryWindow* window, const QString& pane, int line)
{
    const QRect tree = placeOf(window, Query::kTree);
    const QRect fields = placeOf(window, Query::kFieldList);
    const QRect myTable = placeOf(window, Query::kMyTable);
    const QRect options = placeOf(window, Query::kOptionList);
    const QRect preview = placeOf(window, Query::kPreviewGrid);
    if (pane == u"tree")
        return {tree.right() - 12, tree.top() + 60};
    if (pane == u"fields")
        return line == 1   ? QPoint(fields.left() + 8, fields.center().y())
               : line == 2 ? QPoint(fields.right() - 12, fields.center().y())
                           : QPoint(fields.center().x(), fields.bottom() - 10);
    if (pane == u"mytable")
        return line == 2 ? QPoint(myTable.left() + 8, myTable.center().y())
                         : QPoint(myTable.center().x(), myTable.bottom() - 10);
    if (pane == u"options")
        return line == 2 ? QPoint(options.left() + 8, options.bottom() - 10)
                         : QPoint(options.center().x(), options.top() + 30);
    return {preview.center().x(), preview.top() + 30};
}

// Presses the left button there, moves the mouse by delta in a few steps as a hand does, and
// lets go: real events through the main window, so they reach whatever lies under the pointer.
void drag(QueryTestKit& kit, QueryWindow* window, QPoint from, QPoint delta)
{
    QWindow* top = kit.window.windowHandle();
    const QPoint at = window->mapTo(&kit.window, from);
    QTest::mousePress(top, Qt::LeftButton, {}, at);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(top, at + delta * step / 4);
    QTest::mouseRelease(top, Qt::LeftButton, {}, at + delta);
}

// Why a text does not fit its widget, or nothing when it does: the text's width in the widget's
// font and the room the widget leaves for it.
QString cut(const QWidget* widget, const QString& text, int room)
{
    const int needed = widget->fontMetrics().horizontalAdvance(text);
    return needed <= room ? QString()
                          : QStringLiteral("%1 \"%2\": %3 px in %4")
                                .arg(widget->objectName(), text)
                                .arg(needed)
                                .arg(room);
}

// Every section of a list header shows its whole text, and the sections span the list.
QStringList cutHeaders(const QHeaderView* header, const QAbstractItemModel* model)
{
    QStringList problems;
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int section = 0; section < header->count(); ++section) {
        if (header->isSectionHidden(section))
            continue;
        const QString text = model->headerData(section, Qt::Horizontal).toString();
        const QString problem = cut(header, text, header->sectionSize(section) - 2 * margin);
        if (!problem.isEmpty())
            problems.append(header->parentWidget()->objectName() + u' ' + problem);
    }
    if (header->length() < header->viewport()->width())
        problems.append(header->parentWidget()->objectName() +
                        QStringLiteral(" header ends %1 px short")
                            .arg(header->viewport()->width() - header->length()));
    return problems;
}

QString blanks(qsizetype n)
{
    return QString(std::max<qsizetype>(n, 0), u' ');
}

} // namespace

class TestQueryWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The field list's items

    void fieldItemsFromCatalogue_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("customer");
        QTest::newRow("English") << "EN"
                                 << "Customer";
        QTest::newRow("Portuguese") << "PT"
                                    << "Cliente";
    }

    void fieldItemsFromCatalogue()
    {
        QFETCH(QString, language);
        QFETCH(QString, customer);
        QueryTestKit kit;
        kit.logon.answers.enqueue(ScriptedLogon::demo(QStringLiteral("DEMO"), language));
        QVERIFY(kit.window.connectToSystem());
        QueryWindow* window = kit.newWindow();
        // Lower case is upper-cased in every key.
        QVERIFY(window->fields().addTableFields(QStringLiteral("kna1")));
        ReportListView* list = fieldList(window);
        QCOMPARE(list->topLevelItemCount(), 70);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("KNA1-MANDT"));
        QTreeWidgetItem* item = list->topLevelItem(1);
        QCOMPARE(item->text(0), QStringLiteral("KNA1-KUNNR"));
        QCOMPARE(item->text(1), customer);
        QCOMPARE(item->text(2), QStringLiteral("C"));
        QCOMPARE(item->text(3), QStringLiteral("10"));
        QCOMPARE(item->toolTip(0), customer);
        QVERIFY(item->textAlignment(3) & Qt::AlignRight);
        QVERIFY(!item->icon(0).isNull());
    }

    void failedCatalogueReadLeavesListUnchanged_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown table")
            << "DEMO"
            << "EN"
            << "ZZZZ"
            << "Table Fields"
            << "The system has no table ZZZZ (TABLE_NOT_AVAILABLE). Check the name in the tree.";
        QTest::newRow("no authority") << "AUDIT"
                                      << "EN"
                                      << "BKPF"
                                      << "Table Fields"
                                      << "Your user may not read the table BKPF (NOT_AUTHORIZED). "
                                         "Ask for read authority on it: authorization object "
                                         "S_TABU_DIS for its authorization group, or S_TABU_NAM "
                                         "for the table.";
        QTest::newRow("in Portuguese")
            << "DEMO"
            << "PT"
            << "ZZZZ"
            << "Campos da Tabela"
            << "O sistema não tem a tabela ZZZZ (TABLE_NOT_AVAILABLE). Verifique o nome na "
               "árvore.";
        QTest::newRow("a structure") << "DEMO"
                                     << "EN"
                                     << "BAPIRET2"
                                     << "Table Fields"
                                     << "BAPIRET2 holds no rows of its own: it is a structure, or "
                                        "a field of My Table is unknown to this release "
                                        "(TABLE_WITHOUT_DATA).";
    }

    void failedCatalogueReadLeavesListUnchanged()
    {
        QFETCH(QString, user);
        QFETCH(QString, language);
        QFETCH(QString, table);
        QFETCH(QString, title);
        QFETCH(QString, message);
        QueryTestKit kit;
        kit.state.languageEnglish = language == u"EN";
        kit.state.languagePortuguese = language == u"PT";
        kit.logon.answers.enqueue(ScriptedLogon::demo(user));
        QVERIFY(kit.window.connectToSystem());
        QueryWindow* window = kit.newWindow();
        QVERIFY(window->fields().addTableFields(QStringLiteral("T001")));
        QVERIFY(!window->fields().addTableFields(table));
        QCOMPARE(kit.desktop.messageTexts(), QStringList{message});
        QCOMPARE(kit.desktop.messages.first().title, title);
        QCOMPARE(kit.desktop.messages.first().icon, Desktop::Icon::Warning);
        QCOMPARE(fieldList(window)->topLevelItemCount(), 10);
        // The opening pointer is back to normal whatever the outcome.
        QCOMPARE(kit.desktop.busyDepth, 0);
    }

    // Finding a field: the filter box above the list

    void filterKeepsFieldsByNameOrText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("count"); // the status line while the filter holds
        const QStringList all{"T001-MANDT", "T001-BUKRS", "T001-BUTXT", "T001-ORT01", "T001-LAND1",
                              "T001-WAERS", "T001-SPRAS", "T001-KTOPL", "T001-PERIV", "T001-STCEG"};
        QTest::newRow("nothing typed") << "" << all << "T001 has 10 of 10 Total Fields";
        QTest::newRow("a field name in lower case")
            << "bukrs" << QStringList{"T001-BUKRS"} << "1 of 10 Total Fields";
        QTest::newRow("part of a text")
            << "COMPANY" << QStringList{"T001-BUKRS", "T001-BUTXT"} << "2 of 10 Total Fields";
        QTest::newRow("name or text")
            << "lan" << QStringList{"T001-LAND1", "T001-SPRAS"} << "2 of 10 Total Fields";
        QTest::newRow("blanks around")
            << "  city " << QStringList{"T001-ORT01"} << "1 of 10 Total Fields";
        QTest::newRow("only blanks") << "   " << all << "10 Total Fields";
        QTest::newRow("no match") << "zzz" << QStringList{} << "0 of 10 Total Fields";
    }

    void filterKeepsFieldsByNameOrText()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        QFETCH(QString, count);
        QueryTestKit kit;
        QueryWindow* window = windowWithTable(kit, QStringLiteral("T001"));
        QVERIFY(window);
        // As opening the table from the tree leaves it; nothing typed leaves it alone.
        kit.window.statusPanels()->setMessage(QStringLiteral("T001 has 10 of 10 Total Fields"));
        auto* filter = window->findChild<QLineEdit*>(Query::kFieldFilter);
        QCOMPARE(filter->placeholderText(), QStringLiteral("Find a field (Ctrl+F)"));
        QTest::keyClicks(filter, typed);
        QStringList visible;
        for (QTreeWidgetItem* item : fieldList(window)->itemsInOrder()) {
            if (!item->isHidden())
                visible.append(item->text(0));
        }
        QCOMPARE(visible, shown);
        QCOMPARE(window->fields().shownCount(), shown.size());
        // The count in the status line follows what the filter shows.
        QCOMPARE(kit.window.statusPanels()->message(), count);
        // Esc clears the filter and shows every field again, and the count says so.
        QTest::keyClick(filter, Qt::Key_Escape);
        QCOMPARE(filter->text(), QString());
        for (QTreeWidgetItem* item : fieldList(window)->itemsInOrder())
            QVERIFY(!item->isHidden());
        if (!typed.isEmpty())
            QCOMPARE(kit.window.statusPanels()->message(), QStringLiteral("10 Total Fields"));
    }

    // From the filter into the list and on to My Table without the mouse.
    void keyboardFromTheFilterToMyTable_data()
    {
        QTest::addColumn<int>("intoList"); // the key in the filter
        QTest::addColumn<int>("copy");     // the key in the list
        QTest::newRow("Down, Return") << int(Qt::Key_Down) << int(Qt::Key_Return);
        QTest::newRow("Return, keypad Enter") << int(Qt::Key_Return) << int(Qt::Key_Enter);
    }

    void keyboardFromTheFilterToMyTable()
    {
        QFETCH(int, intoList);
        QFETCH(int, copy);
        QueryTestKit kit;
        QueryWindow* window = windowWithTable(kit, QStringLiteral("T001"));
        QVERIFY(window);
        kit.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&kit.window));
        ReportListView* list = fieldList(window);
        auto* filter = window->findChild<QLineEdit*>(Query::kFieldFilter);
        filter->setFocus();
        QTest::keyClicks(filter, QStringLiteral("city"));
        QTest::keyClick(filter, Qt::Key(intoList));
        QVERIFY(list->hasFocus());
        // The first field the filter shows is the one the keys go on from.
        QCOMPARE(list->currentItem()->text(0), QStringLiteral("T001-ORT01"));
        QTest::keyClick(list, Qt::Key_Space); // selects it
        QTest::keyClick(list, Qt::Key(copy),
                        copy == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(window->myTable().items().size(), 1);
        QCOMPARE(window->myTable().items().front().key, QStringLiteral("T001-ORT01"));
        // Enter with several selected copies them all, in the list's order.
        QTest::keyClick(filter, Qt::Key_Escape);
        list->clearSelection();
        list->itemByKey(QStringLiteral("T001-MANDT"))->setSelected(true);
        list->itemByKey(QStringLiteral("T001-BUKRS"))->setSelected(true);
        QTest::keyClick(list, Qt::Key_Return);
        QStringList keys;
        for (const ReadPlan::Field& field : window->myTable().items())
            keys.append(field.key);
        QCOMPARE(keys, QStringList({"T001-ORT01", "T001-MANDT", "T001-BUKRS"}));
    }

    // Tab goes through the panes as they lie, left to right and top to bottom, and passes
    // over what is hidden (the option editor until shown, the preview's filter row until a
    // preview).
    void tabFollowsThePanes_data()
    {
        QTest::addColumn<bool>("editorAndPreview");
        QTest::addColumn<QStringList>("expected");
        QStringList head{Query::kTree, Query::kFieldFilter, Query::kFieldList, Query::kMyTable};
        for (int i = 0; i < 5; ++i)
            head.append(Query::rowButton(i));
        head << Query::kAllRows << Query::kRowLimit << Query::kOptionList;
        QTest::newRow("a new window") << false << head + QStringList{Query::kPreviewGrid};
        QTest::newRow("the option editor and a preview")
            << true << head + QStringList{Query::kOptionField,         Query::kOptionOperator,
                                          Query::kOptionValue,         Query::kOptionConjunction,
                                          Query::kAddOption,           Query::kPreviewFilter,
                                          Query::kPreviewFilterColumn, Query::kPreviewGrid};
    }
    void tabFollowsThePanes()
    {
        QFETCH(bool, editorAndPreview);
        QFETCH(QStringList, expected);
        QueryTestKit kit;
        QueryWindow* window = windowWithTable(kit, QStringLiteral("T001"));
        QVERIFY(window);
        if (editorAndPreview) {
            QVERIFY(QueryTestKit::copyFields(window, {"T001-BUKRS", "T001-ORT01"}));
            window->options().showEditor();
            window->preview().readPreview();
            window->preview().wait();
        }
        kit.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&kit.window));
        settle();
        auto* tree = window->findChild<QWidget*>(Query::kTree);
        tree->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(tree->hasFocus());
        const QSet<QString> known(expected.begin(), expected.end());
        // The named widget that holds the focus (an editable box's own line edit is part of it).
        const auto focused = [&known] {
            for (QWidget* at = QApplication::focusWidget(); at; at = at->parentWidget()) {
                if (known.contains(at->objectName()))
                    return at->objectName();
            }
            const QWidget* focus = QApplication::focusWidget();
            return focus ? QStringLiteral("<%1 %2>").arg(focus->metaObject()->className(),
                                                         focus->objectName())
                         : QStringLiteral("<none>");
        };
        QStringList walked{focused()};
        while (walked.size() < expected.size() + 2 && walked.constLast() != Query::kPreviewGrid) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked.append(focused());
        }
        QCOMPARE(walked, expected);
        // Tab leaves the preview grid too (the arrows move between its cells), and Shift+Tab
        // walks back the same way.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(focused() != Query::kPreviewGrid);
        auto* grid = window->findChild<QWidget*>(Query::kPreviewGrid);
        grid->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(grid->hasFocus());
        QTest::keyClick(grid, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focused(), expected.at(expected.size() - 2));
    }

    void filterHoldsForTablesOpenedLaterAndHidesFromCopies()
    {
        QueryTestKit kit;
        QueryWindow* window = windowWithTable(kit, QStringLiteral("T001"));
        QVERIFY(window);
        ReportListView* list = fieldList(window);
        list->selectAll();
        kit.state.languagePortuguese = true;
        window->fields().setFilterText(QStringLiteral("city"));
        QCOMPARE(kit.window.statusPanels()->message(), QStringLiteral("1 dos 10 Total de Campos"));
        kit.state.languagePortuguese = false;
        QVERIFY(window->fields().addTableFields(QStringLiteral("LFA1")));
        QStringList visible;
        for (QTreeWidgetItem* item : list->itemsInOrder()) {
            if (!item->isHidden())
                visible.append(item->text(0));
        }
        QCOMPARE(visible, QStringList({"T001-ORT01", "LFA1-ORT01"}));
        // What the filter hides is neither selected nor copied.
        window->perform(QStringLiteral("mcopytomytable"));
        QCOMPARE(window->myTable().items().size(), 1);
        QCOMPARE(window->myTable().items().front().key, QStringLiteral("T001-ORT01"));
        // Ctrl+F in the window goes to the filter, ready to type over.
        kit.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&kit.window));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
        auto* filter = window->findChild<QLineEdit*>(Query::kFieldFilter);
        QVERIFY(filter->hasFocus());
        QCOMPARE(filter->selectedText(), QStringLiteral("city"));
    }

    void doubleClickCopiesTheFieldToMyTable()
    {
        QueryTestKit kit;
        QueryWindow* window = windowWithTable(kit, QStringLiteral("T001"));
        QVERIFY(window);
        ReportListView* list = fieldList(window);
        // Through the main window, as the desktop delivers a double click.
        const auto doubleClick = [&kit, list](const QString& key) {
            const QRect place = list->visualItemRect(list->itemByKey(key));
            QTest::mouseDClick(kit.window.windowHandle(), Qt::LeftButton, {},
                               list->viewport()->mapTo(&kit.window, place.center()));
        };
        doubleClick(QStringLiteral("T001-BUTXT"));
        doubleClick(QStringLiteral("T001-LAND1"));
        doubleClick(QStringLiteral("T001-BUTXT")); // already there: nothing new
        QStringList keys;
        for (const ReadPlan::Field& item : window->myTable().items())
            keys.append(item.key);
        QCOMPARE(keys, QStringList({"T001-BUTXT", "T001-LAND1"}));
        QCOMPARE(window->myTable().items().front().text, QStringLiteral("Company name"));
        QVERIFY(kit.workspace.isModified(window->slot()));
    }

    void copyPutsTheSelectedFieldsOnTheClipboard_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("detail view")
            << int(ReportListView::kReportView)
            << "T001-BUKRS\tCompany Code\tC\t4\nT001-LAND1\tCountry\tC\t3\n";
        QTest::newRow("list view") << int(ReportListView::kListView) << "T001-BUKRS\nT001-LAND1\n";
    }

    void copyPutsTheSelectedFieldsOnTheClipboard()
    {
        QFETCH(int, view);
        QFETCH(QString, clipboard);
        QueryTestKit kit;
        QueryWindow* window = windowWithTable(kit, QStringLiteral("T001"));
        QVERIFY(window);
        ReportListView* list = fieldList(window);
        list->setView(view);
        list->itemByKey(QStringLiteral("T001-LAND1"))->setSelected(true);
        list->itemByKey(QStringLiteral("T001-BUKRS"))->setSelected(true);
        QGuiApplication::clipboard()->clear();
        kit.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&kit.window));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        // The same from the list's right-click menu, in its language.
        QCOMPARE(list->copyAction()->text(), QStringLiteral("Copy"));
        QGuiApplication::clipboard()->clear();
        list->copyAction()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    }

    void copyToMyTableAddsOnlyNewFields()
    {
        QueryTestKit kit;
        QueryWindow* window = windowWithTable(kit, QStringLiteral("T001"));
        QVERIFY(window);
        ReportListView* list = fieldList(window);
        list->itemByKey(QStringLiteral("T001-BUTXT"))->setSelected(true);
        window->perform(QStringLiteral("mcopytomytable"));
        list->clearSelection();
        for (const char* key : {"T001-MANDT", "T001-BUKRS", "T001-BUTXT"})
            list->itemByKey(QString::fromLatin1(key))->setSelected(true);
        window->perform(QStringLiteral("mcopytomytable"));
        QStringList keys;
        for (const ReadPlan::Field& item : window->myTable().items())
            keys.append(item.key);
        QCOMPARE(keys, (QStringList{"T001-BUTXT", "T001-MANDT", "T001-BUKRS"}));
        QCOMPARE(window->myTable().items().at(2).text, QStringLiteral("Company Code"));
        QCOMPARE(window->myTable().items().at(2).length, 4);
        QCOMPARE(window->myTable().tableName(), QStringLiteral("T001"));
    }

    // Printing

    void printFieldListLayout()
    {
        QueryTestKit kit;
        kit.desktop.associations.insert(QStringLiteral("txt"), QStringLiteral("/usr/bin/editor"));
        QueryWindow* window = windowWithTable(kit, QStringLiteral("T001"));
        QVERIFY(window);
        ReportListView* list = fieldList(window);
        qsizetype w2 = 0;
        for (QTreeWidgetItem* item : list->itemsInOrder())
            w2 = std::max(w2, item->text(1).size());
        QVERIFY(w2 > 8);

        kit.window.perform(QStringLiteral("mprintfields"));
        const QByteArray bytes = contents(printFile(kit));
        QVERIFY(bytes.endsWith("\r\n"));
        QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines.size(), 12);
        // Every key of T001 has 10 characters.
        const QString header = lines.at(0);
        QCOMPARE(header, QStringLiteral("COL FIELDNAME  FIELDTEXT") + blanks(w2 - 8) +
                             QStringLiteral("TYPE LENGTH"));
        QCOMPARE(lines.at(1), QString());
        QCOMPARE(lines.at(2), QStringLiteral("001 T001-MANDT Client") + blanks(w2 + 1 - 6) +
                                  QStringLiteral("C    3"));
        // The header words stand above their columns on every line.
        for (int i = 2; i < lines.size(); ++i) {
            const QString& line = lines.at(i);
            QTreeWidgetItem* item = list->topLevelItem(i - 2);
            QCOMPARE(line.left(4), QStringLiteral("%1 ").arg(i - 1, 3, 10, QChar(u'0')));
            QCOMPARE(line.mid(header.indexOf(QStringLiteral("FIELDNAME")), 10), item->text(0));
            QCOMPARE(line.mid(header.indexOf(QStringLiteral("FIELDTEXT")), item->text(1).size()),
                     item->text(1));
            QCOMPARE(line.mid(header.indexOf(QStringLiteral("TYPE")), 1), item->text(2));
            QVERIFY(line.endsWith(QStringLiteral("    ") + item->text(3)));
        }

        QCOMPARE(kit.desktop.starts.size(), 1);
        QCOMPARE(kit.desktop.starts.first().program, QStringLiteral("/usr/bin/editor"));
        QCOMPARE(kit.desktop.starts.first().arguments, QStringList{printFile(kit)});
        QVERIFY(kit.desktop.messages.isEmpty());
    }

    void printSingleFieldExample()
    {
        QueryTestKit kit;
        kit.desktop.associations.insert(QStringLiteral("txt"), QStringLiteral("/usr/bin/editor"));
        QueryWindow* window = windowWithTable(kit, QStringLiteral("T001"));
        QVERIFY(window);
        ReportListView* list = fieldList(window);
        // A list holding only T001-MANDT.
        while (list->topLevelItemCount() > 1)
            delete list->takeTopLevelItem(1);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("T001-MANDT"));
        window->fields().printFields();
        QCOMPARE(contents(printFile(kit)), QByteArray("COL FIELDNAME  FIELDTEXTTYPE LENGTH\r\n"
                                                      "\r\n"
                                                      "001 T001-MANDT Client C    3\r\n"));
    }

    void printEmptyListReplacesOldFile()
    {
        QueryTestKit kit;
        kit.desktop.associations.insert(QStringLiteral("txt"), QStringLiteral("/usr/bin/editor"));
        {
            QFile old(printFile(kit));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(500, 'x'));
        }
        QueryWindow* window = kit.newWindow();
        QVERIFY(!kit.window.action(QStringLiteral("mprintfields"))->isEnabled());
        window->fields().printFields();
        QCOMPARE(contents(printFile(kit)), QByteArray("COL FIELDNAMEFIELDTEXTTYPE LENGTH\r\n\r\n"));
    }

    void showPrintFileFailures_data()
    {
        QTest::addColumn<QString>("association");
        QTest::addColumn<bool>("failing");
        QTest::newRow("no associated program") << "" << false;
        QTest::newRow("program does not start") << "/usr/bin/editor" << true;
    }

    void showPrintFileFailures()
    {
        QFETCH(QString, association);
        QFETCH(bool, failing);
        QueryTestKit kit;
        if (!association.isEmpty())
            kit.desktop.associations.insert(QStringLiteral("txt"), association);
        if (failing)
            kit.desktop.failingPrograms.insert(association);
        QueryWindow* window = kit.newWindow();
        window->fields().printFields();
        QCOMPARE(kit.desktop.messageTexts(), QStringList{"No File"});
        QCOMPARE(kit.desktop.messages.first().buttons, Desktop::Buttons::Ok);
        // The file was written all the same.
        QVERIFY(QFile::exists(printFile(kit)));
    }

    // Views of the field list

    void detailAndListViews()
    {
        QueryTestKit kit;
        QueryWindow* window = windowWithTable(kit, QStringLiteral("T001"));
        QVERIFY(window);
        QVERIFY(window->fields().addTableFields(QStringLiteral("T005")));
        QueryWindow* other = kit.newWindow();
        kit.window.workspace()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(window->parentWidget()));
        ReportListView* list = fieldList(window);
        QCOMPARE(list->view(), ReportListView::kReportView);
        QCOMPARE(list->columnCount(), 4);
        QCOMPARE(list->headerItem()->text(0), QStringLiteral("FieldName"));
        QCOMPARE(list->headerItem()->text(3), QStringLiteral("Length"));

        kit.window.perform(QStringLiteral("mviewfieldslist"));
        QCOMPARE(list->view(), ReportListView::kListView);
        QVERIFY(list->isHeaderHidden());
        for (int column = 1; column < 4; ++column)
            QVERIFY(list->isColumnHidden(column));
        QVERIFY(kit.window.action(QStringLiteral("mviewfieldslist"))->isChecked());
        QVERIFY(!kit.window.action(QStringLiteral("mviewfieldsdetail"))->isChecked());
        // Another window keeps its own view.
        QCOMPARE(fieldList(other)->view(), ReportListView::kReportView);

        // Closing a table keeps the view the list had.
        window->fields().removeTableFields(QStringLiteral("T005"));
        QCOMPARE(list->topLevelItemCount(), 10);
        QCOMPARE(list->view(), ReportListView::kListView);

        kit.window.perform(QStringLiteral("mviewfieldsdetail"));
        QCOMPARE(list->view(), ReportListView::kReportView);
        QVERIFY(!list->isHeaderHidden());
        QVERIFY(!list->isColumnHidden(3));
        window->fields().removeTableFields(QStringLiteral("t001"));
        QCOMPARE(list->topLevelItemCount(), 0);
        QCOMPARE(list->view(), ReportListView::kReportView);
        QVERIFY(!list->isColumnHidden(1));
    }

    void gridLinesToggle()
    {
        QueryTestKit kit;
        QueryWindow* window = kit.newWindow();
        ReportListView* list = fieldList(window);
        QVERIFY(!list->gridLines());
        kit.window.perform(QStringLiteral("mfieldsgridlines"));
        QVERIFY(list->gridLines());
        QVERIFY(kit.window.action(QStringLiteral("mfieldsgridlines"))->isChecked());
        kit.window.perform(QStringLiteral("mfieldsgridlines"));
        QVERIFY(!list->gridLines());
        QVERIFY(!kit.window.action(QStringLiteral("mfieldsgridlines"))->isChecked());
    }

    // Pane layout

    // A refused logon, told in a sentence before the logon dialog asks again

    void refusedLogonIsToldInASentence_data()
    {
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("wrong password")
            << "100"
            << "nope"
            << "EN"
            << "The system Demo system (built-in) refused the logon of user DEMO in client 100: "
               "Name or password is incorrect (repeat logon). Type the user and password again; "
               "after too many wrong passwords the system locks the user.";
        QTest::newRow("no such client")
            << "999"
            << "welcome"
            << "EN"
            << "The system Demo system (built-in) refused the logon of user DEMO in client 999: "
               "Client 999 is not available in this system. Check the client number.";
        QTest::newRow("wrong password, in Portuguese")
            << "100"
            << "nope"
            << "PT"
            << "O sistema Sistema de demonstração (embutido) recusou o logon do usuário DEMO no "
               "mandante 100: Name or password is incorrect (repeat logon). Digite o usuário e a "
               "senha de novo; depois de muitas senhas erradas o sistema bloqueia o usuário.";
    }

    void refusedLogonIsToldInASentence()
    {
        QFETCH(QString, client);
        QFETCH(QString, password);
        QFETCH(QString, language);
        QFETCH(QString, sentence);
        QueryTestKit kit;
        kit.state.languageEnglish = language == u"EN";
        kit.state.languagePortuguese = language == u"PT";
        LogonSentences prompt(kit.logon, kit.state);
        SapConnection connection(kit.window, kit.factory, prompt);
        LogonData attempt = ScriptedLogon::demo();
        attempt.client = client;
        attempt.password = password;
        kit.logon.answers.enqueue(attempt); // refused, then the user cancels
        QVERIFY(!connection.logOn());
        QCOMPARE(language == u"PT" ? kit.logon.errorsPt : kit.logon.errors,
                 QStringList({QString(), sentence}));
    }

    void logonAdviceFollowsWhatTheSystemSaid_data()
    {
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("advice");
        QTest::newRow("language") << "Language XX is not installed"
                                  << "Choose a language the system has installed, such as EN.";
        QTest::newRow("certificate")
            << "SSL handshake failed (certificate SHA-256 AB:CD)"
            << "Trust the certificate only if you know it is the system's.";
        QTest::newRow("unreachable") << "Connection refused"
                                     << "Check the host, the port and the network, or ask the "
                                        "system's administrator.";
        QTest::newRow("no answer") << "https://sap:44300 did not answer in time (within 30 seconds)"
                                   << "Check the host, the port and the network, or ask the "
                                      "system's administrator.";
        QTest::newRow("anything else") << "SYSTEM_FAILURE"
                                       << "Check the logon data, or ask the system's "
                                          "administrator.";
    }

    void logonAdviceFollowsWhatTheSystemSaid()
    {
        QFETCH(QString, error);
        QFETCH(QString, advice);
        LogonData attempt = ScriptedLogon::demo();
        attempt.system = QStringLiteral("https://sap:44300");
        const BiText text = LogonSentences::sentence(attempt, BiText::same(error));
        QCOMPARE(text.en, QStringLiteral("The system https://sap:44300 refused the logon of user "
                                         "DEMO in client 100: ") +
                              error + QStringLiteral(". ") + advice);
        // The system's own words stay whole, so a certificate's fingerprint is still found.
        QVERIFY(text.pt.contains(error));
    }

    // A missing RFC library was no refusal: the system was never reached, and the sentence
    // about the library says what to do itself.
    void aMissingRfcLibraryIsToldAsItIs()
    {
        LogonData attempt = ScriptedLogon::demo();
        attempt.native.applicationServer = QStringLiteral("sap1");
        attempt.native.instanceNumber = QStringLiteral("00");
        attempt.native.library = QStringLiteral("/nonexistent/libsapnwrfc.so");
        BiText error;
        QVERIFY(!SystemDestinationFactory().create(attempt, &error));
        const BiText text = LogonSentences::sentence(attempt, error);
        QCOMPARE(text, error);
        QVERIFY(!text.en.contains(QStringLiteral("refused")));
        QVERIFY(text.en.contains(QStringLiteral("Install SAP's NetWeaver RFC library 7.50")));
        QVERIFY(text.pt.contains(QStringLiteral("Instale a biblioteca NetWeaver RFC 7.50")));
        QVERIFY(
            text.pt.contains(QStringLiteral("/nonexistent/libsapnwrfc.so: o arquivo não existe")));
    }

    // Splitters: a drag that starts in a band moves the line with the pointer

    void splittersFollowTheMouse_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("pane");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("delta");
        for (const QSize size : {QSize(990, 505), QSize(1500, 860)}) {
            const QByteArray at =
                QByteArray::number(size.width()) + "x" + QByteArray::number(size.height()) + ": ";
            QTest::addRow("%s%s", at.constData(), "tree edge right") << size << "tree" << 1 << 60;
            QTest::addRow("%s%s", at.constData(), "field list edge left")
                << size << "fields" << 1 << -50;
            QTest::addRow("%s%s", at.constData(), "field list edge right")
                << size << "fields" << 2 << 90;
            QTest::addRow("%s%s", at.constData(), "My Table edge left")
                << size << "mytable" << 2 << -100;
            QTest::addRow("%s%s", at.constData(), "My Table bottom down")
                << size << "mytable" << 3 << 40;
            QTest::addRow("%s%s", at.constData(), "options top up")
                << size << "options" << 3 << -45;
            QTest::addRow("%s%s", at.constData(), "preview top up")
                << size << "preview" << 4 << -80;
            QTest::addRow("%s%s", at.constData(), "preview top down")
                << size << "preview" << 4 << 70;
            QTest::addRow("%s%s", at.constData(), "field list bottom down")
                << size << "fields" << 4 << 35;
        }
    }

    void splittersFollowTheMouse()
    {
        QFETCH(QSize, size);
        QFETCH(QString, pane);
        QFETCH(int, line);
        QFETCH(int, delta);
        QueryTestKit kit;
        // Room for the query window: events reach only what the main window shows.
        kit.window.resize(size + QSize(200, 300));
        QueryWindow* window = kit.newWindow();
        window->resize(size);
        settle();
        QList<int> borders;
        for (int each = 1; each <= 4; ++each)
            borders.append(border(window, each));
        const int before = border(window, line);
        const QPoint move = line <= 2 ? QPoint(delta, 0) : QPoint(0, delta);
        drag(kit, window, grabPoint(window, pane, line), move);
        QVERIFY2(std::abs(border(window, line) - (before + delta)) <= 2,
                 qPrintable(QStringLiteral("from %1 by %2 to %3")
                                .arg(before)
                                .arg(delta)
                                .arg(border(window, line))));
        // The other lines stay, and the strips stay with their panes.
        for (int other = 1; other <= 4; ++other) {
            // Raising the preview line may push the My Table line, so the options list keeps
            // its least height.
            if (other != line && !(line == 4 && other == 3 && delta < 0))
                QCOMPARE(border(window, other), borders.at(other - 1));
        }
        const double dpi = window->screen()->logicalDotsPerInchY();
        QVERIFY(placeOf(window, Query::kOptionList).height() >=
                Twips::toPixels(SplitterDrag::kMinOptionsHeight, dpi) - 1);
        QCOMPARE(placeOf(window, Query::rowButton(0)).top(),
                 placeOf(window, Query::kMyTable).bottom() + 1);
        QCOMPARE(placeOf(window, Query::rowButton(0)).left(),
                 placeOf(window, Query::kMyTable).left());
        QCOMPARE(placeOf(window, Query::kTree).right() + 1, border(window, 1));
        QCOMPARE(placeOf(window, Query::kFieldList).right() + 1, border(window, 2));
        QCOMPARE(placeOf(window, Query::kFieldList).bottom() + 1, border(window, 4));
    }

    void dragsOutsideTheBandsMoveNothing()
    {
        QueryTestKit kit;
        kit.window.resize(1200, 800);
        QueryWindow* window = kit.newWindow();
        window->resize(990, 505);
        settle();
        QList<int> before;
        for (int line = 1; line <= 4; ++line)
            before.append(border(window, line));
        const QRect preview = placeOf(window, Query::kPreviewGrid);
        drag(kit, window, preview.center(), QPoint(-40, -60));
        const QRect fields = placeOf(window, Query::kFieldList);
        drag(kit, window, fields.center(), QPoint(80, 30));
        for (int line = 1; line <= 4; ++line)
            QCOMPARE(border(window, line), before.at(line - 1));
    }

    void splittersStopAtTheirLimits()
    {
        QueryTestKit kit;
        kit.window.resize(1200, 800);
        QueryWindow* window = kit.newWindow();
        window->resize(990, 505);
        settle();
        window->options().showEditor();
        const double dpi = window->screen()->logicalDotsPerInchY();
        const auto px = [dpi](int twips) { return Twips::toPixels(twips, dpi); };
        // Far left, far right, far up and far down: each pane keeps its minimum.
        drag(kit, window, grabPoint(window, QStringLiteral("fields"), 1), QPoint(-900, 0));
        QVERIFY(placeOf(window, Query::kTree).width() >= px(SplitterDrag::kMinTreeWidth) - 1);
        drag(kit, window, grabPoint(window, QStringLiteral("fields"), 2), QPoint(900, 0));
        QVERIFY(placeOf(window, Query::kMyTable).width() >= px(SplitterDrag::kMinRightWidth) - 1);
        // The editor row moved along with the right column and still fits in it.
        QVERIFY(placeOf(window, Query::kMyTable)
                    .contains(QPoint(placeOf(window, Query::kOptionField).left(),
                                     placeOf(window, Query::kMyTable).top())));
        QVERIFY(placeOf(window, Query::kOptionValue).width() > 0);
        QVERIFY(placeOf(window, Query::kOptionOperator).left() >=
                placeOf(window, Query::kOptionField).right());
        drag(kit, window, grabPoint(window, QStringLiteral("preview"), 4), QPoint(0, -900));
        QVERIFY(placeOf(window, Query::kMyTable).height() >=
                px(SplitterDrag::kMinMyTableHeight) - 1);
        QVERIFY(placeOf(window, Query::kOptionList).height() >=
                px(SplitterDrag::kMinOptionsHeight) - 1);
        // The options list keeps its height by pushing the My Table line; the editor row
        // stays under it and the rows panel under My Table.
        QCOMPARE(placeOf(window, Query::kOptionField).top(),
                 placeOf(window, Query::kOptionList).bottom() + 1);
        QCOMPARE(placeOf(window, Query::kAllRows).top(),
                 placeOf(window, Query::kMyTable).bottom() + 1);
        drag(kit, window, grabPoint(window, QStringLiteral("preview"), 4), QPoint(0, 900));
        QVERIFY(placeOf(window, Query::kPreviewGrid).height() >=
                px(SplitterDrag::kMinPreviewHeight) - 1);
        QVERIFY(placeOf(window, Query::kPreviewGrid).bottom() < window->height());
    }

    // Sizes: every text shows whole at the usual window sizes

    void noTextIsCut_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("emptyTree");
        QTest::newRow("default on 1280x800")
            << MainWindow::defaultGeometry(QRect(0, 0, 1280, 800)).size() << "EN" << false;
        QTest::newRow("default on 1400x900")
            << MainWindow::defaultGeometry(QRect(0, 0, 1400, 900)).size() << "EN" << false;
        QTest::newRow("1280x800") << QSize(1280, 800) << "EN" << false;
        QTest::newRow("1920x1080") << QSize(1920, 1080) << "EN" << false;
        QTest::newRow("1024x640") << QSize(1024, 640) << "EN" << false;
        QTest::newRow("default on 1024x640 less a panel, an empty tree")
            << MainWindow::defaultGeometry(QRect(0, 28, 1024, 612)).size() << "EN" << true;
        QTest::newRow("1024x640, Portuguese") << QSize(1024, 640) << "PT" << false;
        // A first start's tree: "Table > 0 Folders 0 Tables".
        QTest::newRow("1024x640, an empty tree") << QSize(1024, 640) << "EN" << true;
        QTest::newRow("default on 1280x800, an empty tree")
            << MainWindow::defaultGeometry(QRect(0, 0, 1280, 800)).size() << "PT" << true;
        QTest::newRow("default on 1280x800, Portuguese")
            << MainWindow::defaultGeometry(QRect(0, 0, 1280, 800)).size() << "PT" << false;
    }

    void noTextIsCut()
    {
        QFETCH(QSize, size);
        QFETCH(QString, language);
        QFETCH(bool, emptyTree);
        QueryTestKit kit;
        kit.state.languageEnglish = language == u"EN";
        kit.state.languagePortuguese = language == u"PT";
        // A tree of some size: 12 folders, 48 tables.
        QStringList paths;
        for (int folder = 1; folder <= 12; ++folder) {
            paths.append(QStringLiteral("Sales%1").arg(folder));
            for (int table = 1; table <= 4; ++table)
                paths.append(QStringLiteral("Sales%1\\ZT%1X%2").arg(folder).arg(table));
        }
        kit.state.treePaths = emptyTree ? QStringList() : paths;
        kit.window.resize(size);
        if (!kit.state.statusBarShown) // the kit starts without one, as a fresh settings file says
            kit.window.perform(QStringLiteral("mstatusbar"));
        if (!kit.state.toolbarShown)
            kit.window.perform(QStringLiteral("mtoolbar"));
        kit.logon.answers.enqueue(ScriptedLogon::demo(QStringLiteral("DEMO"), language));
        QVERIFY(kit.window.connectToSystem());
        QueryWindow* window = kit.newWindow();
        QVERIFY(QueryTestKit::copyFields(
            window, {"KNA1-KUNNR", "KNA1-NAME1", "KNA1-ORT01", "KNA1-LAND1", "KNA1-STRAS",
                     "KNA1-PSTLZ", "KNA1-TELF1", "KNA1-TELFX", "LFA1-LIFNR", "LFA1-NAME1"}));
        window->options().fillOptions(
            {QStringLiteral("KNA1-LAND1 EQ 'PT' "), QStringLiteral("LFA1-LAND1 EQ 'DE' ")});
        window->options().refreshOptions(window->myTable().items());
        window->options().showEditor();
        window->preview().readPreview();
        window->preview().wait();
        QVERIFY(QTest::qWaitForWindowExposed(&kit.window));
        settle();
        QVERIFY(kit.desktop.messages.isEmpty());

        QStringList problems;
        const auto check = [&problems](const QString& problem) {
            if (!problem.isEmpty())
                problems.append(problem);
        };
        const auto* tree = window->findChild<QLabel*>(Query::kTreeSummary);
        QCOMPARE(tree->text(), emptyTree ? QStringLiteral("  Table > 0 Folders 0 Tables")
                                         : QStringLiteral("  Table > 12 Folders 48 Tables"));
        check(cut(tree, tree->text(), tree->contentsRect().width()));
        for (QLatin1StringView name : {Query::kFieldList, Query::kMyTable, Query::kOptionList}) {
            const auto* list = window->findChild<ReportListView*>(name);
            problems += cutHeaders(list->header(), list->model());
        }
        const auto* grid = window->findChild<QTableView*>(Query::kPreviewGrid);
        problems += cutHeaders(grid->horizontalHeader(), grid->model());
        const auto* allRows = window->findChild<QCheckBox*>(Query::kAllRows);
        if (allRows->sizeHint().width() > allRows->width())
            problems.append(QStringLiteral("Check1: %1 px in %2")
                                .arg(allRows->sizeHint().width())
                                .arg(allRows->width()));
        // The row limit's label, and the largest limit in the box beside it.
        const auto* rowsLabel = window->findChild<QLabel*>(Query::kRowLimitLabel);
        QCOMPARE(rowsLabel->text(),
                 language == u"EN" ? QStringLiteral("Rows") : QStringLiteral("Linhas"));
        check(cut(rowsLabel, rowsLabel->text(), rowsLabel->contentsRect().width()));
        const auto* limitBox = window->findChild<QLineEdit*>(Query::kRowLimit);
        QVERIFY(rowsLabel->geometry().right() < limitBox->geometry().left());
        check(cut(limitBox, QStringLiteral("2147483647"), limitBox->width() - 8));
        // Boxes that show a placeholder leave room for their frame.
        for (QLatin1StringView name : {Query::kFieldFilter, Query::kOptionValue}) {
            const auto* box = window->findChild<QLineEdit*>(name);
            check(cut(box, box->placeholderText(), box->width() - 8));
        }
        // The editor's boxes show their placeholder and their longest choice whole.
        for (QLatin1StringView name :
             {Query::kOptionField, Query::kOptionOperator, Query::kOptionConjunction}) {
            const auto* box = window->findChild<QComboBox*>(name);
            QStyleOptionComboBox option;
            option.initFrom(box);
            option.editable = box->isEditable();
            const int room = box->style()
                                 ->subControlRect(QStyle::CC_ComboBox, &option,
                                                  QStyle::SC_ComboBoxEditField, box)
                                 .width();
            QStringList shown{box->isEditable() ? box->lineEdit()->placeholderText()
                                                : box->placeholderText()};
            for (int i = 0; i < box->count(); ++i)
                shown.append(box->itemText(i));
            for (const QString& text : shown)
                check(cut(box, text, room));
        }
        // The status bar: the closing line of a read and the connection.
        StatusPanels* status = kit.window.statusPanels();
        QVERIFY(status->message().contains(language == u"EN" ? QStringLiteral("successfully")
                                                             : QStringLiteral("sucesso")));
        const auto* message = kit.window.findChild<QLabel*>(Main::kMessagePanel);
        check(cut(message, status->message(), message->contentsRect().width()));
        for (const QLabel* label :
             kit.window.findChild<QWidget*>(Main::kConnectionPanel)->findChildren<QLabel*>())
            check(cut(label, label->text(), label->contentsRect().width()));
        const auto* clock = kit.window.findChild<QLabel*>(Main::kClockPanel);
        check(cut(clock, clock->text(), clock->contentsRect().width()));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        // The query window lies wholly inside the workspace.
        const QWidget* sub = window->parentWidget();
        QVERIFY(kit.window.workspace()->viewport()->rect().contains(sub->geometry()));
    }

    // The menus send these to the active query window by name: each must reach the part that
    // owns it, and nothing else may be taken for one of them.
    void everyMenuCommandReachesItsPart()
    {
        QueryTestKit kit;
        QueryWindow* window = kit.newWindow();
        for (const char* command : {"mnewtable",      "mnewfolder",          "mnewroot",
                                    "mcuttable",      "mpastetable",         "mremovetable",
                                    "mrename",        "mcopytomytable",      "mprintfields",
                                    "mqpreview",      "mprintfieldsmytable", "mprintpreview",
                                    "mcloseqpreview", "mimportmytable",      "mrows",
                                    "mcloserows",     "mmovedown",           "mmoveup",
                                    "mremovefield",   "mremoveallfields",    "mshowoption",
                                    "mprintoptions",  "mremoveoption",       "mremovealloptions"})
            QVERIFY2(window->carriesOut(QString::fromLatin1(command)), command);
        QVERIFY(!window->perform(QStringLiteral("mnewqtable")));
        QVERIFY(!window->perform(QStringLiteral("RemoveTable")));
        // Performing one carries it out.
        QVERIFY(window->perform(QStringLiteral("mrows")));
        QVERIFY(window->rowsPanel().shown());
        QVERIFY(window->perform(QStringLiteral("mcloserows")));
        QVERIFY(!window->rowsPanel().shown());
    }

    void paneLayoutFollowsWindowSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("design size") << QSize(667, 470);
        QTest::newRow("wide") << QSize(1000, 500);
        QTest::newRow("tall") << QSize(500, 800);
    }

    void paneLayoutFollowsWindowSize()
    {
        QFETCH(QSize, size);
        QueryTestKit kit;
        QueryWindow* window = kit.newWindow();
        window->resize(size);
        settle();
        QCOMPARE(window->size(), size);
        const double dpi = window->screen()->logicalDotsPerInchY();
        const int w = int(std::lround(Twips::fromPixels(size.width(), dpi)));
        const int h = int(std::lround(Twips::fromPixels(size.height(), dpi)));
        const int t = int(std::lround(w / 5.0));
        const int r = int(std::lround(w / 2.6));
        const int m = w - t - r;
        const int d = int(std::lround(h / 2.82));
        const int p = int(std::lround(h / 2.15));
        const int e = h - d - p;
        const auto px = [dpi](int twips) { return Twips::toPixels(twips, dpi); };
        const auto rect = [&px](int left, int top, int width, int height) {
            return QRect(px(left), px(top), px(width), px(height));
        };
        const auto at = [window](const QString& name) {
            return window->findChild<QWidget*>(name)->geometry();
        };

        QCOMPARE(at(Query::kTreeSummary), rect(0, 30, t, 210));
        QCOMPARE(at(Query::kTree), rect(0, 240, t, d + e - 240));
        // The field list's pane: the filter box on top, the list under it.
        QCOMPARE(at(Query::kFieldFilter).united(at(Query::kFieldList)), rect(t, 0, m, d + e));
        QCOMPARE(at(Query::kFieldFilter).bottom() + 1, at(Query::kFieldList).top());
        // A new window shows the rows panel under My Table.
        QCOMPARE(at(Query::kMyTable), rect(t + m, 0, r, d - 285));
        QCOMPARE(at(Query::kOptionList), rect(t + m, d, r, e));
        QCOMPARE(at(Query::kPreviewGrid), rect(0, d + e, w, p));
        for (int i = 0; i < 5; ++i) {
            const QRect button = at(Query::rowButton(i));
            QCOMPARE(button.topLeft(), QPoint(px(t + m + 285 * i), px(d - 285)));
        }
        QVERIFY(kit.window.action(QStringLiteral("mcloserows"))->isEnabled());
        QVERIFY(!kit.window.action(QStringLiteral("mrows"))->isEnabled());

        kit.window.perform(QStringLiteral("mcloserows"));
        QCOMPARE(at(Query::kMyTable), rect(t + m, 0, r, d));
        QVERIFY(!kit.window.action(QStringLiteral("mcloserows"))->isEnabled());
        QVERIFY(kit.window.action(QStringLiteral("mrows"))->isEnabled());
    }
};

QTEST_MAIN(TestQueryWindow)
#include "tst_querywindow.moc"
