#include "QueryTestKit.h"

#include "FieldList.h"
#include "MyTable.h"
#include "ReportListView.h"
#include "TableTreeView.h"
#include "Twips.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTest>

#include <cmath>

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
    return window->findChild<ReportListView*>(QStringLiteral("ListView1"));
}

// A connected kit with one query window showing the fields of the given table.
QueryWindow* windowWithTable(QueryTestKit& kit, const QString& table)
{
    if (!kit.connect())
        return nullptr;
    QueryWindow* window = kit.newWindow();
    return window && window->AddTableFields(table) ? window : nullptr;
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
        QVERIFY(kit.window.mconectar_Click());
        QueryWindow* window = kit.newWindow();
        // Lower case is upper-cased in every key.
        QVERIFY(window->AddTableFields(QStringLiteral("kna1")));
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
        kit.state.OptEN = language == u"EN";
        kit.state.OptPT = language == u"PT";
        kit.logon.answers.enqueue(ScriptedLogon::demo(user));
        QVERIFY(kit.window.mconectar_Click());
        QueryWindow* window = kit.newWindow();
        QVERIFY(window->AddTableFields(QStringLiteral("T001")));
        QVERIFY(!window->AddTableFields(table));
        QCOMPARE(kit.desktop.messageTexts(), QStringList{message});
        QCOMPARE(kit.desktop.messages.first().title, title);
        QCOMPARE(kit.desktop.messages.first().icon, Desktop::Icon::Warning);
        QCOMPARE(fieldList(window)->topLevelItemCount(), 10);
        // The opening pointer is back to normal whatever the outcome.
        QCOMPARE(kit.desktop.busyDepth, 0);
    }

    void copyToMyTableAddsOnlyNewFields()
    {
        QueryTestKit kit;
        QueryWindow* window = windowWithTable(kit, QStringLiteral("T001"));
        QVERIFY(window);
        ReportListView* list = fieldList(window);
        list->itemByKey(QStringLiteral("T001-BUTXT"))->setSelected(true);
        window->CopyListItem();
        list->clearSelection();
        for (const char* key : {"T001-MANDT", "T001-BUKRS", "T001-BUTXT"})
            list->itemByKey(QString::fromLatin1(key))->setSelected(true);
        window->CopyListItem();
        QStringList keys;
        for (const ReadPlan::Item& item : window->myTable().items())
            keys.append(item.key);
        QCOMPARE(keys, (QStringList{"T001-BUTXT", "T001-MANDT", "T001-BUKRS"}));
        QCOMPARE(window->myTable().items().at(2).text, QStringLiteral("Company Code"));
        QCOMPARE(window->myTable().items().at(2).length, 4);
        QCOMPARE(window->QTableName(), QStringLiteral("T001"));
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
        window->PrintFields();
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
        window->PrintFields();
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
        window->PrintFields();
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
        QVERIFY(window->AddTableFields(QStringLiteral("T005")));
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
        window->fields().RemoveTableFields(QStringLiteral("T005"));
        QCOMPARE(list->topLevelItemCount(), 10);
        QCOMPARE(list->view(), ReportListView::kListView);

        kit.window.perform(QStringLiteral("mviewfieldsdetail"));
        QCOMPARE(list->view(), ReportListView::kReportView);
        QVERIFY(!list->isHeaderHidden());
        QVERIFY(!list->isColumnHidden(3));
        window->fields().RemoveTableFields(QStringLiteral("t001"));
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
        const auto at = [window](const char* name) {
            return window->findChild<QWidget*>(QString::fromLatin1(name))->geometry();
        };

        QCOMPARE(at("Label1"), rect(0, 30, t, 210));
        QCOMPARE(at("TreeView1"), rect(0, 240, t, d + e - 240));
        // The field list's pane: the filter box on top, the list under it.
        QCOMPARE(at("FieldFilter").united(at("ListView1")), rect(t, 0, m, d + e));
        QCOMPARE(at("FieldFilter").bottom() + 1, at("ListView1").top());
        // A new window shows the rows panel under My Table.
        QCOMPARE(at("ListView2"), rect(t + m, 0, r, d - 285));
        QCOMPARE(at("ListView3"), rect(t + m, d, r, e));
        QCOMPARE(at("ListView4"), rect(0, d + e, w, p));
        for (int i = 0; i < 5; ++i) {
            const QRect button = at(qPrintable(QStringLiteral("Command3_%1").arg(i)));
            QCOMPARE(button.topLeft(), QPoint(px(t + m + 285 * i), px(d - 285)));
        }
        QVERIFY(kit.window.action(QStringLiteral("mcloserows"))->isEnabled());
        QVERIFY(!kit.window.action(QStringLiteral("mrows"))->isEnabled());

        kit.window.perform(QStringLiteral("mcloserows"));
        QCOMPARE(at("ListView2"), rect(t + m, 0, r, d));
        QVERIFY(!kit.window.action(QStringLiteral("mcloserows"))->isEnabled());
        QVERIFY(kit.window.action(QStringLiteral("mrows"))->isEnabled());
    }
};

QTEST_MAIN(TestQueryWindow)
#include "tst_querywindow.moc"
