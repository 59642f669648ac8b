// The rows panel of a query window: the row-limit box and its rules, "All Rows", showing and
// hiding the panel, its buttons, and the limit a reopened document starts with.
#include "QueryTestKit.h"
#include "shell/ControlNames.h"

#include "query/document/QueryDocumentFile.h"
#include "window/query/FieldList.h"
#include "window/query/MyTable.h"
#include "window/query/ReportListView.h"
#include "window/query/RowsPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>
#include <QtTest>

using namespace ControlNames;

class TestRowsPanel : public QueryWindowTest
{
    Q_OBJECT

private:
    QLineEdit* limitBox() const { return m_window->findChild<QLineEdit*>(Query::kRowLimit); }
    QCheckBox* allRows() const { return m_window->findChild<QCheckBox*>(Query::kAllRows); }
    QLabel* limitLabel() const { return m_window->findChild<QLabel*>(Query::kRowLimitLabel); }
    QToolButton* button(int index) const
    {
        return m_window->findChild<QToolButton*>(Query::rowButton(index));
    }
    QList<QWidget*> panelControls() const
    {
        QList<QWidget*> controls{allRows(), limitLabel(), limitBox()};
        for (int i = 0; i < 5; ++i)
            controls.append(button(i));
        return controls;
    }
    qint32 rowLimit() const { return m_window->document().rowLimit; }
    bool enabled(const char* command) const
    {
        return m_kit->window.action(QString::fromLatin1(command))->isEnabled();
    }

    QueryWindow* openDocument(qint32 rows, bool rowsShown)
    {
        QueryDocument document;
        document.rowLimitShown = rowsShown;
        document.rowLimit = rows;
        const QString path = QDir(m_kit->home.path()).filePath(QStringLiteral("rows-doc.txt"));
        if (!QueryDocumentFile::writeFile(path, document, nullptr))
            return nullptr;
        m_kit->desktop.files.enqueue(path);
        if (m_kit->workspace.openQuery() != 1)
            return nullptr;
        return qobject_cast<QueryWindow*>(m_kit->window.activeQueryWindow());
    }

private Q_SLOTS:
    void init()
    {
        m_window = m_kit->newWindow();
        QVERIFY(m_window);
        QVERIFY(limitBox());
        QVERIFY(allRows());
        m_kit->desktop.messages.clear();
    }

    void newWindowStartsWithTwentyRows()
    {
        QCOMPARE(limitBox()->text(), QStringLiteral("20"));
        QCOMPARE(rowLimit(), 20);
        QVERIFY(!allRows()->isChecked());
        QCOMPARE(allRows()->text(), QStringLiteral("All Rows"));
        // The box says what its number is, and its label leads to it.
        QCOMPARE(limitLabel()->text(), QStringLiteral("Rows"));
        QCOMPARE(limitLabel()->buddy(), limitBox());
        for (QWidget* control : panelControls())
            QVERIFY(!control->isHidden());
    }

    // The row limit is one value for the whole program: a new window starts from the last
    // limit any window set, with 0 shown as 20.
    // Each window keeps its own query, its row limit included.
    void eachWindowKeepsItsOwnLimit()
    {
        QueryWindow* first = m_window;
        limitBox()->setText(QStringLiteral("350"));
        m_window = m_kit->newWindow();
        QVERIFY(m_window && m_window != first);
        QCOMPARE(limitBox()->text(), QStringLiteral("20"));
        allRows()->click();
        QCOMPARE(limitBox()->text(), QStringLiteral("0"));
        QCOMPARE(first->findChild<QLineEdit*>(Query::kRowLimit)->text(), QStringLiteral("350"));
        QCOMPARE(first->document().rowLimit, 350);
        QCOMPARE(m_window->document().rowLimit, 0);
    }

    void limitText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("checked");
        // The window starts at 20 rows, "All Rows" unchecked.
        QTest::newRow("letters") << "abc"
                                 << "" << 20 << false;
        QTest::newRow("digits then letters") << "12abc"
                                             << "" << 20 << false;
        QTest::newRow("zero") << "0"
                              << "0" << 0 << true;
        QTest::newRow("five") << "5"
                              << "5" << 5 << false;
        QTest::newRow("thousand") << "1000"
                                  << "1000" << 1000 << false;
        QTest::newRow("largest") << "2147483647"
                                 << "2147483647" << 2147483647 << false;
        QTest::newRow("one above the largest") << "2147483648"
                                               << "2147483647" << 2147483647 << false;
        QTest::newRow("20 digits") << "12345678901234567890"
                                   << "2147483647" << 2147483647 << false;
        QTest::newRow("minus") << "-5"
                               << "" << 20 << false;
        QTest::newRow("plus") << "+5"
                              << "" << 20 << false;
        QTest::newRow("decimal") << "3.5"
                                 << "" << 20 << false;
        QTest::newRow("exponent") << "1e3"
                                  << "" << 20 << false;
        QTest::newRow("empty") << ""
                               << "" << 20 << false;
    }

    void limitText()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, limit);
        QFETCH(bool, checked);
        limitBox()->setText(typed);
        QCOMPARE(limitBox()->text(), shown);
        QCOMPARE(rowLimit(), limit);
        QCOMPARE(allRows()->isChecked(), checked);
        QCOMPARE(m_window->rowsPanel().limit(), qint64(shown.toLongLong()));
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    void zeroThenFiveTogglesAllRows()
    {
        limitBox()->setText(QStringLiteral("0"));
        QVERIFY(allRows()->isChecked());
        limitBox()->setText(QStringLiteral("5"));
        QVERIFY(!allRows()->isChecked());
        QCOMPARE(rowLimit(), 5);
        // Clearing keeps the last limit and the check as they were.
        limitBox()->setText(QStringLiteral("x"));
        QCOMPARE(limitBox()->text(), QString());
        QCOMPARE(rowLimit(), 5);
    }

    void typingAndPasting()
    {
        limitBox()->clear();
        QTest::keyClicks(limitBox(), QStringLiteral("12"));
        QCOMPARE(rowLimit(), 12);
        QTest::keyClicks(limitBox(), QStringLiteral("x"));
        QCOMPARE(limitBox()->text(), QString());
        QCOMPARE(rowLimit(), 12);

        QGuiApplication::clipboard()->setText(QStringLiteral("42 rows"));
        limitBox()->paste();
        QCOMPARE(limitBox()->text(), QString());
        QCOMPARE(rowLimit(), 12);
        QGuiApplication::clipboard()->setText(QStringLiteral("300"));
        limitBox()->selectAll();
        limitBox()->paste();
        QCOMPARE(limitBox()->text(), QStringLiteral("300"));
        QCOMPARE(rowLimit(), 300);
        QGuiApplication::clipboard()->setText(QStringLiteral("99999999999"));
        limitBox()->selectAll();
        limitBox()->paste();
        QCOMPARE(limitBox()->text(), QStringLiteral("2147483647"));
    }

    void tickingAllRowsSetsZero()
    {
        QTest::mouseClick(allRows(), Qt::LeftButton, {}, allRows()->rect().center());
        QVERIFY(allRows()->isChecked());
        QCOMPARE(limitBox()->text(), QStringLiteral("0"));
        QCOMPARE(rowLimit(), 0);
        // Unticking changes nothing else.
        allRows()->click();
        QVERIFY(!allRows()->isChecked());
        QCOMPARE(limitBox()->text(), QStringLiteral("0"));
        QCOMPARE(rowLimit(), 0);
    }

    void rowsAndCloseRowsShowAndHideThePanel()
    {
        QWidget* myTable = m_window->myTable().view();
        QVERIFY(enabled("mcloserows"));
        QVERIFY(!enabled("mrows"));
        const int shownHeight = myTable->height();

        m_window->setRowsShown(false);
        for (QWidget* control : panelControls())
            QVERIFY(control->isHidden());
        QVERIFY(!enabled("mcloserows"));
        QVERIFY(enabled("mrows"));
        QVERIFY(!m_window->document().rowLimitShown);
        QVERIFY(myTable->height() > shownHeight);

        m_window->setRowsShown(true);
        for (QWidget* control : panelControls())
            QVERIFY(!control->isHidden());
        QVERIFY(enabled("mcloserows"));
        QVERIFY(!enabled("mrows"));
        QVERIFY(m_window->document().rowLimitShown);
        QCOMPARE(myTable->height(), shownHeight);

        // Showing a shown panel changes nothing.
        m_window->setRowsShown(true);
        QCOMPARE(myTable->height(), shownHeight);
        QVERIFY(!enabled("mrows"));
    }

    void buttonsRunTheirCommands()
    {
        QVERIFY(m_window->fields().addTableFields(QStringLiteral("T000")));
        ReportListView* fields = m_window->fields().view();
        fields->clearSelection();
        fields->topLevelItem(0)->setSelected(true);
        fields->topLevelItem(1)->setSelected(true);
        button(0)->click(); // Copy to My Table
        QCOMPARE(m_window->myTable().count(), 2);
        ReportListView* myTable = m_window->myTable().view();
        const QString first = myTable->topLevelItem(0)->text(0);
        myTable->clearSelection();
        myTable->setCurrentItem(myTable->topLevelItem(0));
        button(2)->click(); // Move Down
        QCOMPARE(myTable->topLevelItem(1)->text(0), first);
        button(3)->click(); // Move Up
        QCOMPARE(myTable->topLevelItem(0)->text(0), first);
        button(1)->click(); // Remove Fields
        QCOMPARE(m_window->myTable().count(), 1);
        QVERIFY(myTable->itemByKey(first) == nullptr);
    }

    void reopenedDocumentLimit_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("panelShown");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("checked");
        QTest::newRow("all rows becomes 20") << 0 << true << "20" << false;
        QTest::newRow("350, panel hidden") << 350 << false << "350" << false;
        QTest::newRow("largest") << 2147483647 << true << "2147483647" << false;
    }

    void reopenedDocumentLimit()
    {
        QFETCH(int, stored);
        QFETCH(bool, panelShown);
        QFETCH(QString, shown);
        QFETCH(bool, checked);
        QueryWindow* opened = openDocument(stored, panelShown);
        QVERIFY(opened);
        QVERIFY(opened != m_window);
        m_window = opened;
        QCOMPARE(limitBox()->text(), shown);
        QCOMPARE(rowLimit(), qint32(shown.toInt()));
        QCOMPARE(allRows()->isChecked(), checked);
        for (QWidget* control : panelControls())
            QCOMPARE(control->isHidden(), !panelShown);
        QCOMPARE(enabled("mcloserows"), panelShown);
        QCOMPARE(enabled("mrows"), !panelShown);
        QVERIFY(!m_kit->workspace.isModified(m_window->slot()));
    }
};

QTEST_MAIN(TestRowsPanel)
#include "tst_rowspanel.moc"
