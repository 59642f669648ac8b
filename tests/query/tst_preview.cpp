// The preview: its model, the column widths, reading My Table from the demo system piece by
// piece, failures, sorting by header clicks, printing, closing, and the closing status line.
#include "QueryTestKit.h"
#include "shell/ControlNames.h"

#include "query/read/ElapsedText.h"
#include "query/read/ReadMessage.h"
#include "query/read/ReadPlan.h"
#include "query/read/TableCall.h"
#include "shell/EightBitText.h"
#include "shell/FaultTexts.h"
#include "shell/Twips.h"
#include "window/main/StatusPanels.h"
#include "window/query/FieldList.h"
#include "window/query/MyTable.h"
#include "window/query/OptionList.h"
#include "window/query/PreviewFilter.h"
#include "window/query/PreviewFilterBar.h"
#include "window/query/PreviewGrid.h"
#include "window/query/PreviewModel.h"
#include "window/query/PreviewPane.h"
#include "window/query/ReportListView.h"
#include "window/query/RowNumberColumn.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QToolTip>
#include <QtTest>

using namespace ControlNames;

namespace
{
const QString kOverflowTip = QStringLiteral("The value did not fit its output length");

QStringList column(const PreviewModel& model, int c)
{
    QStringList values;
    for (int r = 0; r < model.rowCount(); ++r)
        values.append(model.cell(r, c));
    return values;
}
} // namespace

class TestPreview : public QueryWindowTest
{
    Q_OBJECT

private:
    PreviewModel& model() const { return *m_window->preview().model(); }
    QTableView* grid() const { return m_window->findChild<QTableView*>(Query::kPreviewGrid); }
    bool enabled(const char* command) const
    {
        return m_kit->window.action(QString::fromLatin1(command))->isEnabled();
    }
    QStringList headers() const
    {
        QStringList result;
        for (int c = 0; c < model().columnCount(); ++c)
            result.append(model().header(c));
        return result;
    }

    [[nodiscard]] bool copy(const QStringList& keys)
    {
        return QueryTestKit::copyFields(m_window, keys);
    }

    void preview(const QStringList& options, const QString& limit)
    {
        m_window->options().fillOptions(options);
        m_window->findChild<QLineEdit*>(Query::kRowLimit)->setText(limit);
        runPreview();
    }

    // Previews and waits for the read on its worker thread to end.
    void runPreview()
    {
        m_window->preview().readPreview();
        m_window->preview().wait();
    }

    // The same rows read straight through the table reader, split at a delimiter: what the
    // preview's cells must show.
    QVector<QStringList> direct(const QString& table, const QStringList& fields,
                                const QStringList& options, int rows)
    {
        QVector<ReadPlan::Field> items;
        for (const QString& field : fields)
            items.append({table + u'-' + field, QStringLiteral("C"), 1, QString()});
        ReadPlan plan;
        if (!plan.build(items, options, nullptr))
            return {};
        const ReadPlan::Piece& piece = plan.pieces().front();
        TableCall::Request request;
        request.table = table;
        request.fields = fields;
        request.rowCount = rows;
        request.delimiter = QStringLiteral("|");
        for (int j = piece.options.begin; j < piece.options.end; ++j)
            request.options.append(plan.options().at(j).mid(table.size() + 1));
        TableCall call(*m_kit->reader.destination());
        RowBlock block;
        if (call.run(request, block) != TableCall::Outcome::Done)
            return {};
        QVector<QStringList> result;
        for (qsizetype r = 0; r < block.size(); ++r)
            result.append(block.line(r).toString().split(u'|'));
        return result;
    }

    void clickHeader(int section)
    {
        QHeaderView* header = grid()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    double dpi() const { return m_window->screen()->logicalDotsPerInchY(); }

    // A cell as the grid shows it, through the filter above the rows.
    QModelIndex shownIndex(int row, int column) const
    {
        return grid()->model()->index(row, column);
    }
    QStringList shownColumn(int c) const
    {
        QStringList values;
        for (int r = 0; r < grid()->model()->rowCount(); ++r)
            values.append(m_window->preview().grid()->shownCell(r, c));
        return values;
    }
    PreviewFilterBar* filterBar() const { return m_window->preview().filterBar(); }
    // Types into the filter box as a user does and waits for the pause that applies it.
    void typeFilter(const QString& text, int column = 0)
    {
        filterBar()->columns()->setCurrentIndex(column);
        filterBar()->box()->clear();
        QTest::keyClicks(filterBar()->box(), text);
        QTRY_COMPARE(m_window->preview().filter()->text(), text.toCaseFolded());
    }
    // The tip a header shows at the middle of section c, wherever the grid has scrolled.
    QString headerTipAt(int c)
    {
        QHeaderView* header = grid()->horizontalHeader();
        grid()->scrollTo(shownIndex(0, c));
        QCoreApplication::processEvents();
        const int left = std::max(header->sectionViewportPosition(c), 0);
        const int right = std::min(header->sectionViewportPosition(c) + header->sectionSize(c),
                                   header->viewport()->width());
        const QPoint inGrid = header->viewport()->mapTo(
            grid(), QPoint((left + right) / 2, header->viewport()->height() / 2));
        QWidget* under = grid()->childAt(inGrid);
        if (!under)
            return QStringLiteral("(nothing under the header)");
        QToolTip::hideText();
        const QPoint at = under->mapFrom(grid(), inGrid);
        QHelpEvent help(QEvent::ToolTip, at, under->mapToGlobal(at));
        QCoreApplication::sendEvent(under, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

private Q_SLOTS:
    void init()
    {
        if (!m_kit->state.connected)
            QVERIFY(m_kit->connect());
        m_window = m_kit->newWindow();
        QVERIFY(m_window);
        QVERIFY(grid());
        m_kit->desktop.messages.clear();
    }

    // --- the model on its own

    void modelPassesTheModelTester()
    {
        PreviewModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.header(0), QStringLiteral("Preview"));
        model.reset({"Row", "Customer", "Country", "Vendor"}, {false, false, false, true});
        model.fillPiece({{"0003", "PT"}, {"0001", "GB"}, {"0002", "BR"}}, 1);
        QCOMPARE(model.rowCount(), 3);
        // A second piece with more rows: the new rows' earlier cells stay empty.
        model.fillPiece({{"V1"}, {"V2"}, {"V3"}, {"V4"}, {"V5"}}, 3);
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(column(model, 0), QStringList({"001", "002", "003", "004", "005"}));
        QCOMPARE(column(model, 1), QStringList({"0003", "0001", "0002", "", ""}));
        QCOMPARE(column(model, 3), QStringList({"V1", "V2", "V3", "V4", "V5"}));
        // A shorter piece fills only the first rows.
        model.fillPiece({{"X"}}, 2);
        QCOMPARE(column(model, 2), QStringList({"X", "GB", "BR", "", ""}));

        model.sort(1, Qt::AscendingOrder);
        QCOMPARE(column(model, 1), QStringList({"", "", "0001", "0002", "0003"}));
        QCOMPARE(column(model, 0), QStringList({"004", "005", "002", "003", "001"}));
        model.sort(3, Qt::DescendingOrder);
        QCOMPARE(column(model, 3), QStringList({"V5", "V4", "V3", "V2", "V1"}));
        model.sort(0, Qt::AscendingOrder);
        QCOMPARE(column(model, 1), QStringList({"0003", "0001", "0002", "", ""}));
        model.setHeader(2, QStringLiteral("Country »"));
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Country »"));
        // The grid shows a value without the blanks that pad it to its length; the cell keeps
        // them for printing.
        model.fillPiece({{"Lisboa   "}}, 2);
        QCOMPARE(model.data(model.index(0, 2)).toString(), QStringLiteral("Lisboa"));
        QCOMPARE(model.cell(0, 2), QStringLiteral("Lisboa   "));
        model.reset({"Row", "Name"});
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 2);
        model.fillPiece({}, 1);
        QCOMPARE(model.rowCount(), 0);
    }

    // The filter over the rows sees each row's cells as it comes, piece by piece, and each
    // change of them; it looks in one column or in all, whatever the case.
    void theFilterFollowsThePieces()
    {
        PreviewModel model;
        PreviewFilter filter(&model);
        QAbstractItemModelTester tester(&filter,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.reset({"Row", "Customer", "Country", "Vendor"});
        filter.setFilter(QStringLiteral("gb"));
        model.fillPiece({{"0003", "PT"}, {"0001", "GB"}}, 1);
        QCOMPARE(filter.rowCount(), 1);
        // A later piece with more rows: the new rows' values count at once.
        model.fillPiece({{"V1"}, {"V2"}, {"Gbx"}}, 3);
        QCOMPARE(filter.rowCount(), 2);
        filter.setFilter(QStringLiteral("gb"), 2);
        QCOMPARE(filter.rowCount(), 1);
        QCOMPARE(filter.index(0, 0).data().toString(), QStringLiteral("002"));
        // A piece that changes rows already there.
        model.fillPiece({{"GB"}}, 2);
        QCOMPARE(filter.rowCount(), 2);
        model.sort(2, Qt::AscendingOrder);
        QCOMPARE(filter.rowCount(), 2);
        QCOMPARE(filter.index(0, 2).data().toString(), QStringLiteral("GB"));
        filter.setFilter(QStringLiteral("00"), 0);
        QCOMPARE(filter.rowCount(), 3);
        filter.setFilter(QString());
        QCOMPARE(filter.rowCount(), 3);
        model.reset({"Row", "Name"});
        QCOMPARE(filter.rowCount(), 0);
    }

    void modelMarksPackedOverflow_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("marked");
        QTest::newRow("star first") << "*99999999.999" << true;
        QTest::newRow("blanks then star") << "   *9.999" << true;
        QTest::newRow("plain number") << "  1234.500" << false;
        QTest::newRow("negative") << "  1234.500-" << false;
        QTest::newRow("star later") << " 12*" << false;
        QTest::newRow("empty") << "" << false;
    }

    void modelMarksPackedOverflow()
    {
        QFETCH(QString, value);
        QFETCH(bool, marked);
        PreviewModel model;
        model.reset({"Row", "Material", "Gross Weight"}, {false, false, true});
        model.fillPiece({{value, value}}, 1);
        const QModelIndex packed = model.index(0, 2);
        QCOMPARE(model.data(packed).toString(), value);
        QCOMPARE(model.data(packed, Qt::ToolTipRole).toString(), marked ? kOverflowTip : QString());
        QCOMPARE(model.data(packed, Qt::ForegroundRole).isValid(), marked);
        // Only packed fields are marked; a text field may start with a star.
        QVERIFY(!model.data(model.index(0, 1), Qt::ToolTipRole).isValid());
        QVERIFY(!model.data(model.index(0, 1), Qt::ForegroundRole).isValid());
    }

    // --- column widths

    void widthFactor_data()
    {
        QTest::addColumn<int>("fields");
        QTest::addColumn<int>("factor");
        QTest::newRow("1") << 1 << 90;
        QTest::newRow("159") << 159 << 90;
        QTest::newRow("160") << 160 << 70;
        QTest::newRow("199") << 199 << 70;
        QTest::newRow("200") << 200 << 66;
        QTest::newRow("239") << 239 << 66;
        QTest::newRow("240") << 240 << 50;
        QTest::newRow("319") << 319 << 50;
        QTest::newRow("320") << 320 << 23;
        QTest::newRow("599") << 599 << 23;
        QTest::newRow("600") << 600 << 20;
        QTest::newRow("759") << 759 << 20;
        QTest::newRow("760") << 760 << 15;
        QTest::newRow("999") << 999 << 15;
        QTest::newRow("1001") << 1001 << 13;
        QTest::newRow("5000") << 5000 << 13;
    }

    void widthFactor()
    {
        QFETCH(int, fields);
        QFETCH(int, factor);
        QCOMPARE(PreviewPane::widthFactor(fields), factor);
    }

    void widthFactorForExactlyAThousandIsANeighbour()
    {
        const int factor = PreviewPane::widthFactor(1000);
        QVERIFY2(factor == 13 || factor == 15, qPrintable(QString::number(factor)));
    }

    void columnWidth_data()
    {
        QTest::addColumn<int>("fields");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("textLength");
        QTest::addColumn<int>("twips");
        QTest::newRow("150: short field widened") << 150 << 1 << 0 << 1200;
        QTest::newRow("150: 13 characters") << 150 << 3 << 13 << 1200;
        QTest::newRow("150: 14 characters") << 150 << 14 << 5 << 1260;
        QTest::newRow("150: text longer") << 150 << 10 << 30 << 2700;
        QTest::newRow("300: length 10, text 30") << 300 << 10 << 30 << 1500;
        QTest::newRow("300: no minimum") << 300 << 3 << 0 << 150;
        QTest::newRow("170: no minimum either") << 170 << 1 << 4 << 280;
        QTest::newRow("1001") << 1001 << 40 << 12 << 520;
    }

    void columnWidth()
    {
        QFETCH(int, fields);
        QFETCH(int, length);
        QFETCH(int, textLength);
        QFETCH(int, twips);
        QCOMPARE(PreviewPane::columnWidth(length, textLength, PreviewPane::widthFactor(fields)),
                 twips);
    }

    void everyColumnOfAHundredFiftyIsAtLeast1200Twips()
    {
        for (int length = 0; length <= 14; ++length) {
            for (int text = 0; text <= 14; ++text)
                QVERIFY(PreviewPane::columnWidth(length, text, PreviewPane::widthFactor(150)) >=
                        1200);
        }
    }

    // --- reading from the demo system

    void rowLimitIsCappedAt500_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("limit");
        QTest::addColumn<int>("rows");
        QTest::newRow("VBAK all rows") << "VBAK"
                                       << "0" << 500;
        QTest::newRow("VBAK 1000") << "VBAK"
                                   << "1000" << 500;
        QTest::newRow("VBAK 500") << "VBAK"
                                  << "500" << 500;
        QTest::newRow("VBAK 499") << "VBAK"
                                  << "499" << 499;
        QTest::newRow("VBAK 20") << "VBAK"
                                 << "20" << 20;
        QTest::newRow("VBAK 1") << "VBAK"
                                << "1" << 1;
        QTest::newRow("VBAK largest") << "VBAK"
                                      << "2147483647" << 500;
        QTest::newRow("KNA1 all rows") << "KNA1"
                                       << "0" << 500;
        QTest::newRow("MARA all rows (fewer than 500)") << "MARA"
                                                        << "0" << 400;
    }

    void rowLimitIsCappedAt500()
    {
        QFETCH(QString, table);
        QFETCH(QString, limit);
        QFETCH(int, rows);
        QVERIFY(copy({table + QStringLiteral("-MANDT")}));
        preview({}, limit);
        QCOMPARE(model().rowCount(), rows);
        QCOMPARE(m_window->preview().rowsRead(), long(rows));
        QCOMPARE(model().cell(rows - 1, 0), QStringLiteral("%1").arg(rows, 3, 10, QChar(u'0')));
        QVERIFY2(m_kit->window.statusPanels()->message().contains(QStringLiteral(" 3 Bytes/Row")),
                 qPrintable(m_kit->window.statusPanels()->message()));
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    void cellsAreCutByFieldLength()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1"),
                      QStringLiteral("KNA1-NAME1"), QStringLiteral("KNA1-UMSAT")}));
        preview({}, QStringLiteral("50"));
        QCOMPARE(headers(), QStringList({"Row", "Customer", "Country", "Name", "Annual sales"}));
        const QVector<QStringList> expected =
            direct(QStringLiteral("KNA1"), {"KUNNR", "LAND1", "NAME1", "UMSAT"}, {}, 50);
        QCOMPARE(expected.size(), 50);
        QCOMPARE(model().rowCount(), 50);
        for (int r = 0; r < 50; ++r) {
            QCOMPARE(model().cell(r, 0), QStringLiteral("%1").arg(r + 1, 3, 10, QChar(u'0')));
            for (int c = 1; c <= 4; ++c)
                QCOMPARE(model().cell(r, c), expected.at(r).at(c - 1));
        }
        QCOMPARE(model().cell(0, 1), QStringLiteral("0000000001"));
        QCOMPARE(model().cell(0, 2), QStringLiteral("PT "));
        QCOMPARE(model().cell(0, 3).size(), 35);

        // Each column is as wide as its header and its widest value: nothing shows cut.
        const QFontMetrics header = grid()->horizontalHeader()->fontMetrics();
        for (int c = 0; c < model().columnCount(); ++c) {
            QVERIFY(grid()->columnWidth(c) > header.horizontalAdvance(model().header(c)));
            for (int r = 0; r < 50; ++r)
                QVERIFY2(!m_window->preview().grid()->cut(r, c), qPrintable(model().cell(r, c)));
        }
        QVERIFY(grid()->columnWidth(3) > grid()->columnWidth(2));
        QVERIFY(enabled("mprintpreview"));
        QVERIFY(enabled("mcloseqpreview"));
    }

    void twoTablesWithOptionsSideBySide_data()
    {
        QTest::addColumn<QString>("customers");
        QTest::addColumn<QString>("vendors");
        // KNA1 has 69 customers in BR and 59 in FR; LFA1 43 vendors in DE, 271 not in FR.
        QTest::newRow("first piece longer") << "KNA1-LAND1 EQ 'BR' "
                                            << "LFA1-LAND1 EQ 'DE' ";
        QTest::newRow("second piece longer") << "KNA1-LAND1 EQ 'FR' "
                                             << "LFA1-LAND1 NE 'FR' ";
    }

    void twoTablesWithOptionsSideBySide()
    {
        QFETCH(QString, customers);
        QFETCH(QString, vendors);
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1"),
                      QStringLiteral("LFA1-LIFNR"), QStringLiteral("LFA1-LAND1")}));
        preview({customers, vendors}, QStringLiteral("0"));
        const QString status = m_kit->window.statusPanels()->message();
        QCOMPARE(m_window->preview().plan().pieceCount(), 2);
        QCOMPARE(headers(), QStringList({"Row", "Customer", "Country", "Vendor", "Country"}));
        auto* options = m_window->findChild<ReportListView*>(Query::kOptionList);
        QCOMPARE(options->topLevelItem(0)->foreground(0).color(), QColor(0, 0, 255));
        QCOMPARE(options->topLevelItem(1)->foreground(0).color(), QColor(0, 0, 255));

        const QVector<QStringList> kna1 =
            direct(QStringLiteral("KNA1"), {"KUNNR", "LAND1"}, {customers}, 500);
        const QVector<QStringList> lfa1 =
            direct(QStringLiteral("LFA1"), {"LIFNR", "LAND1"}, {vendors}, 500);
        QVERIFY(!kna1.isEmpty());
        QVERIFY(!lfa1.isEmpty());
        QVERIFY(kna1.size() != lfa1.size());
        const int rows = static_cast<int>(std::max(kna1.size(), lfa1.size()));
        QCOMPARE(model().rowCount(), rows);
        QCOMPARE(m_window->preview().rowsRead(), long(rows));
        for (int r = 0; r < rows; ++r) {
            QCOMPARE(model().cell(r, 0), QStringLiteral("%1").arg(r + 1, 3, 10, QChar(u'0')));
            const QStringList customer = r < kna1.size() ? kna1.at(r) : QStringList{"", ""};
            const QStringList vendor = r < lfa1.size() ? lfa1.at(r) : QStringList{"", ""};
            QCOMPARE(QStringList({model().cell(r, 1), model().cell(r, 2)}), customer);
            QCOMPARE(QStringList({model().cell(r, 3), model().cell(r, 4)}), vendor);
        }
        QVERIFY(m_kit->desktop.messages.isEmpty());
        QCOMPARE(status.section(u' ', 0, 8),
                 QStringLiteral("My Table > 4 Fields %1 Rows 26 Bytes/Row").arg(rows));
    }

    void myTableWiderThan512IsReadInPieces()
    {
        QVERIFY(copy({QStringLiteral("KNA1-*")}));
        preview({QStringLiteral("KNA1-LAND1 EQ 'GB' ")}, QStringLiteral("30"));
        const ReadPlan& plan = m_window->preview().plan();
        QCOMPARE(plan.fieldCount(), 70);
        QCOMPARE(plan.pieceCount(), 2);
        QCOMPARE(model().columnCount(), 71);
        QCOMPARE(model().rowCount(), 30);
        for (int r = 0; r < 30; ++r) {
            for (int c = 1; c <= 70; ++c)
                QVERIFY(model().cell(r, c).size() <= plan.fields().at(c - 1).length);
        }
        // Fields of both pieces stand in the same row: the customer, its country (piece 1)
        // and its district (piece 2).
        int district = 0; // the model's column: fields start at column 1
        for (int i = 0; i < plan.fieldCount(); ++i) {
            if (plan.fields().at(i).key == u"KNA1-ORT02")
                district = i + 1;
        }
        QVERIFY(district > plan.pieces().front().fields.end);
        const QVector<QStringList> expected = direct(
            QStringLiteral("KNA1"), {"KUNNR", "LAND1", "ORT02"}, {"KNA1-LAND1 EQ 'GB' "}, 30);
        QCOMPARE(expected.size(), 30);
        for (int r = 0; r < 30; ++r) {
            QCOMPARE(model().cell(r, 2), expected.at(r).at(0));
            QCOMPARE(model().cell(r, 3), QStringLiteral("GB "));
            // Trailing blanks of a data line may not come back.
            QCOMPARE(model().cell(r, district).trimmed(), expected.at(r).at(2).trimmed());
        }
    }

    void failedPieceLeavesItsColumnsEmpty_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("customersFail");
        QTest::addColumn<QString>("line"); // the option line the message names
        QTest::newRow("second piece fails")
            << QStringList{"KNA1-LAND1 EQ 'BR' ", "LFA1-LAND1 XX 'DE' "} << false
            << "LFA1-LAND1 XX 'DE'";
        QTest::newRow("first piece fails")
            << QStringList{"KNA1-LAND1 EQ 'BR' OR (", "LFA1-LAND1 EQ 'DE' "} << true
            << "KNA1-LAND1 EQ 'BR' OR (";
    }

    // The window stays usable while a preview reads: it can be cancelled, or the window closed
    // under it.
    void aPreviewCanBeCancelledOrItsWindowClosed_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("cancelled") << false;
        QTest::newRow("window closed") << true;
    }

    void aPreviewCanBeCancelledOrItsWindowClosed()
    {
        QFETCH(bool, close);
        QVERIFY(copy({QStringLiteral("ZWIDE-*")}));
        m_window->findChild<QLineEdit*>(Query::kRowLimit)->setText(QStringLiteral("0"));
        m_window->preview().readPreview();
        QVERIFY(m_window->preview().reading());
        if (close) {
            m_kit->closeAllWindows();
            m_window = nullptr;
            QCOMPARE(m_kit->window.workspace()->subWindowList().size(), 0);
            QVERIFY(m_kit->desktop.messages.isEmpty());
            return;
        }
        m_window->preview().cancel();
        m_window->preview().wait();
        QVERIFY(!m_window->preview().reading());
        QVERIFY2(
            m_kit->window.statusPanels()->message().startsWith(QStringLiteral("Preview cancelled")),
            qPrintable(m_kit->window.statusPanels()->message()));
        QVERIFY(m_kit->desktop.messages.isEmpty());
    }

    // The done line tells this window's row width, whatever another window's My Table holds.
    void theDoneLineTellsItsOwnRowWidth()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR")}));
        QueryWindow* other = m_kit->newWindow();
        QVERIFY(other);
        other->myTable().addFields(
            {{QStringLiteral("KNA1-NAME1"), QStringLiteral("C"), 35, QStringLiteral("Name")}});
        m_kit->window.workspace()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(m_window->parentWidget()));
        preview({}, QStringLiteral("5"));
        const QString status = m_kit->window.statusPanels()->message();
        QVERIFY2(status.contains(QStringLiteral(" 1 Fields 5 Rows 10 Bytes/Row")),
                 qPrintable(status));
        other->parentWidget()->close();
    }

    // A preview that read fewer rows than its limit, with no option, read the whole table: the
    // field list's header says how many it holds; a limit that stopped the read tells nothing.
    void theFieldListHeaderTellsARowCountOnceKnown()
    {
        const auto header = [this] { return m_window->fields().view()->headerItem()->text(0); };
        QVERIFY(copy({QStringLiteral("T001-BUKRS"), QStringLiteral("BSEG-BELNR")}));
        m_window->myTable().removeAll();
        QVERIFY(copy({QStringLiteral("BSEG-BELNR")}));
        preview({}, QStringLiteral("5"));
        QCOMPARE(model().rowCount(), 5);
        QCOMPARE(header(), QStringLiteral("FieldName"));
        m_window->myTable().removeAll();
        QVERIFY(copy({QStringLiteral("T001-BUKRS")}));
        preview({QStringLiteral("T001-BUKRS NE 'ZZZZ'")}, QString());
        QCOMPARE(header(), QStringLiteral("FieldName"));
        m_kit->desktop.answers.enqueue(Desktop::Answer::Yes);
        m_window->options().removeAllOptions();
        preview({}, QString());
        const int rows = model().rowCount();
        QVERIFY(rows > 0 && rows < 500);
        const QString counted = QStringLiteral("FieldName (T001: %1 rows)").arg(rows);
        QCOMPARE(header(), counted);
        QCOMPARE(m_window->fields().view()->headerItem()->toolTip(0),
                 QStringLiteral("T001: %1 rows").arg(rows));
        m_kit->state.languageEnglish = false;
        m_kit->state.languagePortuguese = true;
        m_window->fields().showRowCounts();
        const QString portuguese = QStringLiteral("FieldName (T001: %1 linhas)").arg(rows);
        m_kit->state.languageEnglish = true;
        m_kit->state.languagePortuguese = false;
        QCOMPARE(header(), portuguese);
        // Closing the table takes its count out of the header, not out of the session.
        m_window->fields().removeTableFields(QStringLiteral("T001"));
        QCOMPARE(header(), QStringLiteral("FieldName"));
        QVERIFY(m_window->fields().addTableFields(QStringLiteral("T001")));
        QCOMPARE(header(), counted);
        m_window->fields().removeTableFields(QStringLiteral("T001"));
        m_window->fields().removeTableFields(QStringLiteral("BSEG"));
    }

    // An auditor must never mistake one user's rows for another's: a disconnect empties every
    // preview.
    void disconnectClearsThePreviews()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1")}));
        preview({}, QStringLiteral("20"));
        QCOMPARE(model().rowCount(), 20);
        QVERIFY(enabled("mprintpreview"));
        m_kit->window.perform(QStringLiteral("mdesconectar"));
        QVERIFY(!m_kit->state.connected);
        QCOMPARE(model().rowCount(), 0);
        QCOMPARE(headers(), QStringList{QStringLiteral("Preview")});
        QVERIFY(!enabled("mprintpreview"));
    }

    // An option no piece would send is refused before anything is read, instead of being
    // dropped without a word.
    void anOptionOfAnotherTableIsRefused()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR")}));
        preview({QStringLiteral("KNA1-LAND1 EQ 'BR' "), QStringLiteral("MARA-MATNR EQ 'X' ")},
                QStringLiteral("0"));
        QCOMPARE(m_kit->desktop.messages.size(), 1);
        QVERIFY2(m_kit->desktop.messages.first().text.contains(QStringLiteral("MARA-MATNR")),
                 qPrintable(m_kit->desktop.messages.first().text));
        QCOMPARE(model().rowCount(), 0);
        QVERIFY(!enabled("mprintpreview"));
    }

    void failedPieceLeavesItsColumnsEmpty()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, customersFail);
        QFETCH(QString, line);
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1"),
                      QStringLiteral("LFA1-LIFNR")}));
        preview(options, QStringLiteral("0"));
        // One message for the read, naming the table, the exception and the line refused,
        // under the action's title.
        QCOMPARE(m_kit->desktop.messages.size(), 1);
        const QString failed = customersFail ? QStringLiteral("KNA1") : QStringLiteral("LFA1");
        const QString message = m_kit->desktop.messages.first().text;
        QVERIFY2(message.startsWith(QStringLiteral("The system did not accept the options of %1 "
                                                   "as a WHERE condition (OPTION_NOT_VALID")
                                        .arg(failed)),
                 qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("Check the line \"%1\"").arg(line)),
                 qPrintable(message));
        QCOMPARE(m_kit->desktop.messages.first().title, QStringLiteral("Preview"));
        QCOMPARE(m_kit->desktop.messages.first().icon, Desktop::Icon::Warning);
        const int rows = customersFail ? 43 : 69;
        QCOMPARE(model().rowCount(), rows);
        QCOMPARE(model().columnCount(), 4);
        for (int r = 0; r < rows; ++r) {
            QCOMPARE(model().cell(r, 1).isEmpty(), customersFail);
            QCOMPARE(model().cell(r, 2).trimmed(),
                     customersFail ? QString() : QStringLiteral("BR"));
            QCOMPARE(model().cell(r, 3).isEmpty(), !customersFail);
        }
        // The status line says what failed, not that the read went through.
        QCOMPARE(m_kit->window.statusPanels()->message(),
                 QStringLiteral("Preview failed - %1: OPTION_NOT_VALID").arg(failed));
        QVERIFY(enabled("mprintpreview"));
    }

    void noConnectionAndCancelledLogonStopAfterClearing()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR")}));
        preview({}, QStringLiteral("20"));
        QCOMPARE(model().rowCount(), 20);

        m_kit->window.perform(QStringLiteral("mdesconectar"));
        QVERIFY(!m_kit->state.connected);
        m_kit->logon.answers.clear();
        const int asked = m_kit->logon.asked;
        runPreview();
        QCOMPARE(m_kit->logon.asked, asked + 1);
        QCOMPARE(model().rowCount(), 0);
        QCOMPARE(headers(), QStringList{QStringLiteral("Preview")});
        QCOMPARE(m_window->myTable().count(), 1);

        // Logging on when asked reads as usual.
        m_kit->logon.answers.enqueue(ScriptedLogon::demo());
        runPreview();
        QVERIFY(m_kit->state.connected);
        QCOMPARE(model().rowCount(), 20);
    }

    // A query that cannot be read is refused before the grid is touched: the rows read last
    // stay, with their columns and Print Preview, until a preview that can be read.
    void aRefusedPreviewKeepsTheRowsShown_data()
    {
        QTest::addColumn<bool>("tooWide"); // else an option of a table outside My Table
        QTest::newRow("a field too wide for one read") << true;
        QTest::newRow("an option of another table") << false;
    }
    void aRefusedPreviewKeepsTheRowsShown()
    {
        QFETCH(bool, tooWide);
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1")}));
        preview({}, QStringLiteral("20"));
        QCOMPARE(model().rowCount(), 20);
        QVERIFY(enabled("mprintpreview"));
        const QStringList shownHeaders = headers();
        const QStringList customers = column(model(), 1);
        m_kit->desktop.messages.clear();
        if (tooWide) {
            m_window->myTable().addFields({{QStringLiteral("ZWIDE-TEXT"), QStringLiteral("C"), 600,
                                            QStringLiteral("Long text")}});
            runPreview();
        } else {
            preview({QStringLiteral("MARA-MATNR EQ 'X' ")}, QStringLiteral("20"));
        }
        QCOMPARE(m_kit->desktop.messages.size(), 1);
        QCOMPARE(headers(), shownHeaders);
        QCOMPARE(column(model(), 1), customers);
        QCOMPARE(m_window->preview().plan().fieldCount(), 2);
        QVERIFY(enabled("mprintpreview"));
        QCOMPARE(m_window->myTable().count(), tooWide ? 3 : 2);
        if (!tooWide) {
            // Mended, the query is read again as usual.
            m_kit->desktop.answers.enqueue(Desktop::Answer::Yes);
            m_window->options().removeAllOptions();
            preview({QStringLiteral("KNA1-LAND1 EQ 'BR' ")}, QStringLiteral("5"));
            QCOMPARE(model().rowCount(), 5);
            for (const QString& country : column(model(), 2))
                QCOMPARE(country.trimmed(), QStringLiteral("BR"));
        }
    }

    // --- sorting

    void headerClicksSortWithOneMarker()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1")}));
        preview({}, QStringLiteral("40"));
        QVERIFY(QTest::qWaitForWindowExposed(&m_kit->window));
        const QStringList countries = column(model(), 2);
        QStringList ascending = countries;
        std::sort(ascending.begin(), ascending.end());
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());

        clickHeader(2);
        QCOMPARE(headers(), QStringList({"Row", "Customer", "Country »"}));
        QCOMPARE(column(model(), 2), ascending);
        clickHeader(2);
        QCOMPARE(headers(), QStringList({"Row", "Customer", "Country «"}));
        QCOMPARE(column(model(), 2), descending);
        clickHeader(2);
        QCOMPARE(headers(), QStringList({"Row", "Customer", "Country »"}));
        QCOMPARE(column(model(), 2), ascending);
        QCOMPARE(m_window->preview().sortColumn(), 2);

        // Another column: the marker moves, the new column starts ascending.
        clickHeader(1);
        QCOMPARE(headers(), QStringList({"Row", "Customer »", "Country"}));
        clickHeader(1);
        QCOMPARE(headers(), QStringList({"Row", "Customer «", "Country"}));
        QCOMPARE(model().cell(0, 1), QStringLiteral("0000000040"));
        // The three-digit row numbers sort back into reading order.
        clickHeader(0);
        QCOMPARE(headers(), QStringList({"Row »", "Customer", "Country"}));
        QCOMPARE(model().cell(0, 0), QStringLiteral("001"));
        QCOMPARE(model().cell(39, 0), QStringLiteral("040"));
        QCOMPARE(column(model(), 2), countries);
        // From the row number to another column, the marker moves with it.
        clickHeader(2);
        QCOMPARE(headers(), QStringList({"Row", "Customer", "Country »"}));
    }

    // Amounts sort by their value, a trailing minus read as a sign; the row number by its value.
    void amountsSortByTheirValue()
    {
        QVERIFY(copy({QStringLiteral("BSEG-BELNR"), QStringLiteral("BSEG-DMBTR")}));
        preview({}, QStringLiteral("200"));
        QVERIFY(QTest::qWaitForWindowExposed(&m_kit->window));
        const auto value = [](QString text) {
            text = text.trimmed();
            const bool negative = text.endsWith(u'-');
            if (negative)
                text.chop(1);
            return negative ? -text.toDouble() : text.toDouble();
        };
        clickHeader(2);
        const QStringList amounts = column(model(), 2);
        QVERIFY(amounts.size() == 200);
        QVERIFY2(amounts.first().endsWith(u'-'), qPrintable(amounts.first()));
        for (qsizetype r = 1; r < amounts.size(); ++r)
            QVERIFY2(value(amounts.at(r - 1)) <= value(amounts.at(r)),
                     qPrintable(amounts.at(r - 1) + u' ' + amounts.at(r)));
        clickHeader(0);
        QCOMPARE(model().cell(0, 0), QStringLiteral("001"));
        QCOMPARE(model().cell(199, 0), QStringLiteral("200"));
    }

    void sortColumnIsKeptAcrossPreviews()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1")}));
        preview({}, QStringLiteral("30"));
        QVERIFY(QTest::qWaitForWindowExposed(&m_kit->window));
        clickHeader(2);
        QCOMPARE(model().header(2), QStringLiteral("Country »"));

        runPreview();
        QCOMPARE(headers(), QStringList({"Row", "Customer", "Country"}));
        QCOMPARE(model().cell(0, 1), QStringLiteral("0000000001"));
        QCOMPARE(m_window->preview().sortColumn(), 2);
        // The first click toggles the remembered ascending order.
        clickHeader(2);
        QCOMPARE(headers(), QStringList({"Row", "Customer", "Country «"}));
        QStringList countries = column(model(), 2);
        QVERIFY(std::is_sorted(countries.rbegin(), countries.rend()));
    }

    // --- reading the grid: widths, tips, copying

    void copyCellsAsTabSeparatedLines_data()
    {
        using Cells = QList<QPoint>; // (column, row)
        QTest::addColumn<Cells>("cells");
        QTest::addColumn<bool>("headers");
        QTest::addColumn<QStringList>("names");        // the header line, if any
        QTest::addColumn<QList<QList<int>>>("layout"); // per line: the rows' cells, -1 empty
        QTest::newRow("a block") << Cells{{1, 0}, {2, 0}, {1, 1}, {2, 1}} << false << QStringList{}
                                 << QList<QList<int>>{{0, 0}, {1, 1}};
        QTest::newRow("a block with field names")
            << Cells{{1, 0}, {2, 0}, {1, 1}, {2, 1}} << true
            << QStringList{"KNA1-KUNNR", "KNA1-LAND1"} << QList<QList<int>>{{0, 0}, {1, 1}};
        QTest::newRow("scattered cells keep their places")
            << Cells{{1, 0}, {3, 2}} << false << QStringList{}
            << QList<QList<int>>{{0, -1}, {-1, 2}};
        QTest::newRow("the row number too")
            << Cells{{0, 4}, {1, 4}} << true << QStringList{"Row", "KNA1-KUNNR"}
            << QList<QList<int>>{{4, 4}};
    }

    void copyCellsAsTabSeparatedLines()
    {
        using Cells = QList<QPoint>;
        QFETCH(Cells, cells);
        QFETCH(bool, headers);
        QFETCH(QStringList, names);
        QFETCH(QList<QList<int>>, layout);
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1"),
                      QStringLiteral("KNA1-NAME1")}));
        preview({}, QStringLiteral("5"));
        QItemSelection selection;
        for (const QPoint& cell : cells)
            selection.select(shownIndex(cell.y(), cell.x()), shownIndex(cell.y(), cell.x()));
        grid()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        // The columns that hold a selected cell, in order.
        QList<int> columns;
        for (const QPoint& cell : cells) {
            if (!columns.contains(cell.x()))
                columns.append(cell.x());
        }
        std::sort(columns.begin(), columns.end());
        QString expected = names.isEmpty() ? QString() : names.join(u'\t') + u'\n';
        for (const QList<int>& line : layout) {
            QStringList values;
            for (qsizetype i = 0; i < line.size(); ++i)
                values.append(line.at(i) < 0 ? QString()
                                             : model().cell(line.at(i), columns.at(i)).trimmed());
            expected += values.join(u'\t') + u'\n';
        }
        QGuiApplication::clipboard()->clear();
        m_kit->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_kit->window));
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_C,
                        headers ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
        QGuiApplication::clipboard()->clear();
        PreviewGrid* reader = m_window->preview().grid();
        (headers ? reader->copyWithHeadersAction() : reader->copyAction())->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    }

    void rightClickOffersCopyBeforeTheMyTableMenu_data()
    {
        QTest::addColumn<bool>("onRowNumber"); // else on a field's cell
        QTest::newRow("on a cell") << false;
        QTest::newRow("on a row number") << true;
    }
    void rightClickOffersCopyBeforeTheMyTableMenu()
    {
        QFETCH(bool, onRowNumber);
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR")}));
        preview({}, QStringLiteral("3"));
        QTableView* view = onRowNumber ? m_window->preview().rowNumbers()->view() : grid();
        QWidget* surface = view->viewport();
        const QPoint at = view->visualRect(shownIndex(1, onRowNumber ? 0 : 1)).center();
        QTest::mouseClick(surface, Qt::RightButton, {}, at);
        auto* popup = m_kit->window.findChild<QMenu*>(Main::popupMenu(QStringLiteral("mmytable")));
        QVERIFY(popup);
        QTRY_VERIFY(popup->isVisible());
        const QList<QAction*> actions = popup->actions();
        QCOMPARE(actions.at(0)->text(), QStringLiteral("Copy"));
        QCOMPARE(actions.at(1)->text(), QStringLiteral("Copy with Headers"));
        QVERIFY(actions.at(2)->isSeparator());
        QCOMPARE(actions.at(3), m_kit->window.action(QStringLiteral("mqpreview")));
        QCOMPARE(actions.size(),
                 3 + m_kit->window.menu(QStringLiteral("mmytable"))->actions().size());
        QVERIFY(actions.at(0)->shortcut().matches(QKeySequence::Copy));
        popup->close();
    }

    void cutCellsShowTheirWholeValueInATip()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-NAME1")}));
        preview({}, QStringLiteral("3"));
        QVERIFY(QTest::qWaitForWindowExposed(&m_kit->window));
        PreviewGrid* reader = m_window->preview().grid();
        QVERIFY(!reader->cut(0, 1));
        grid()->setColumnWidth(1, 20);
        QVERIFY(reader->cut(0, 1));
        const auto tipAt = [this](int row, int column) {
            QToolTip::hideText();
            const QPoint at = grid()->visualRect(shownIndex(row, column)).center();
            QHelpEvent help(QEvent::ToolTip, at, grid()->viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(grid()->viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(1, 2), QString()); // shown whole: no tip
        QCOMPARE(tipAt(0, 1), model().cell(0, 1).trimmed());
    }

    void headersShowTheWholeTextOrEndInAnEllipsis()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1")}));
        preview({}, QStringLiteral("3"));
        QHeaderView* header = grid()->horizontalHeader();
        QCOMPARE(header->textElideMode(), Qt::ElideRight);
        QCOMPARE(header->defaultAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(model().headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 QStringLiteral("KNA1-KUNNR Customer"));
        // The last column reaches the grid's right edge: no grey block after it.
        QCOMPARE(header->length(), header->viewport()->width());
    }

    void aThousandColumnsAreReadable()
    {
        QVERIFY(copy({QStringLiteral("ZWIDE-*")}));
        QCOMPARE(m_window->myTable().count(), 999);
        preview({}, QStringLiteral("10"));
        QCOMPARE(model().columnCount(), 1000);
        QCOMPARE(model().rowCount(), 10);
        PreviewGrid* reader = m_window->preview().grid();
        const QFontMetrics header = grid()->horizontalHeader()->fontMetrics();
        for (int c = 0; c < model().columnCount(); ++c) {
            QVERIFY2(grid()->columnWidth(c) > header.horizontalAdvance(model().header(c)),
                     qPrintable(model().header(c)));
            for (int r = 0; r < model().rowCount(); ++r)
                QVERIFY2(!reader->cut(r, c), qPrintable(model().cell(r, c)));
        }
    }

    // Scrolled sideways to the last of a thousand columns, the grid still shows each row's
    // number at its left edge, for the rows it shows; a cell reached by the keyboard is never
    // hidden under it.
    void rowNumbersStayInViewWhenScrolledSideways()
    {
        QVERIFY(copy({QStringLiteral("ZWIDE-*")}));
        preview({}, QStringLiteral("60"));
        QVERIFY(QTest::qWaitForWindowExposed(&m_kit->window));
        QTableView* view = grid();
        QCoreApplication::processEvents(); // the scroll ranges follow the fitted columns
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() / 2);
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        QCoreApplication::processEvents();
        const int firstRow = view->rowAt(0);
        QVERIFY(firstRow > 0);
        QVERIFY2(view->columnAt(view->columnWidth(0) / 2) > 900,
                 qPrintable(QString::number(view->columnAt(0))));
        const QPoint left = view->viewport()->mapTo(
            view, QPoint(4, view->rowViewportPosition(firstRow) + view->rowHeight(firstRow) / 2));
        QWidget* under = view->childAt(left);
        QTableView* numbers = m_window->preview().rowNumbers()->view();
        QVERIFY(under);
        QCOMPARE(under, numbers->viewport());
        const QModelIndex shown = numbers->indexAt(under->mapFrom(view, left));
        QCOMPARE(shown.row(), firstRow);
        QCOMPARE(shown.column(), 0);
        QCOMPARE(shown.data().toString(),
                 QStringLiteral("%1").arg(firstRow + 1, 3, 10, QChar(u'0')));
        // The number is painted there: the cell holds more than its background.
        const QImage cell = numbers->viewport()->grab(numbers->visualRect(shown)).toImage();
        const QRgb background = cell.pixel(0, 0);
        int inked = 0;
        for (int y = 0; y < cell.height(); ++y) {
            for (int x = 0; x < cell.width(); ++x)
                inked += cell.pixel(x, y) != background ? 1 : 0;
        }
        QVERIFY2(inked > 10, qPrintable(QString::number(inked)));
        // Its header is the Row column's and sorts as the grid's does.
        QHeaderView* header = numbers->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionSize(0) / 2, header->height() / 2));
        QCOMPARE(model().header(0), QStringLiteral("Row »"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionSize(0) / 2, header->height() / 2));
        QCOMPARE(model().header(0), QStringLiteral("Row «"));
        QCOMPARE(model().cell(0, 0), QStringLiteral("060"));

        // Home goes to the row number; Right to the first field, shown beside the numbers.
        view->setFocus();
        view->setCurrentIndex(shownIndex(firstRow, 999));
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(view->currentIndex().column(), 0);
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(view->currentIndex().column(), 1);
        QVERIFY(view->visualRect(view->currentIndex()).left() >= view->columnWidth(0));
        // Going back left from far right: each cell comes out from under the numbers.
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        view->setCurrentIndex(shownIndex(firstRow, 999));
        for (int step = 0; step < 30; ++step)
            QTest::keyClick(view, Qt::Key_Left);
        QCOMPARE(view->currentIndex().column(), 969);
        QVERIFY(view->visualRect(view->currentIndex()).left() >= view->columnWidth(0));
    }

    // Every header, cut or whole, tells its whole text in a tip where it is shown, the row
    // number's too, over every column of tables with long descriptions.
    void everyHeaderTellsItsWholeTextInATip_data()
    {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<int>("narrow"); // a width that cuts most headers, 0: as fitted
        QTest::newRow("BSEG as fitted") << "BSEG-*" << 0;
        QTest::newRow("BSEG cut") << "BSEG-*" << 30;
        QTest::newRow("KNA1 cut") << "KNA1-*" << 40;
        QTest::newRow("a thousand columns") << "ZWIDE-*" << 0;
    }
    void everyHeaderTellsItsWholeTextInATip()
    {
        QFETCH(QString, fields);
        QFETCH(int, narrow);
        QVERIFY(copy({fields}));
        preview({}, QStringLiteral("5"));
        QVERIFY(QTest::qWaitForWindowExposed(&m_kit->window));
        if (narrow > 0) {
            for (int c = 1; c < model().columnCount(); ++c)
                grid()->setColumnWidth(c, narrow);
        }
        const ReadPlan& plan = m_window->preview().plan();
        int cut = 0;
        for (int c = 0; c < model().columnCount(); ++c) {
            const QString text = model().header(c);
            const QString tip = headerTipAt(c);
            QVERIFY2(tip.contains(text), qPrintable(QStringLiteral("%1: '%2'").arg(text, tip)));
            if (c > 0)
                QCOMPARE(tip, plan.fields().at(c - 1).key + u' ' + text);
            const QFontMetrics metrics = grid()->horizontalHeader()->fontMetrics();
            cut += metrics.horizontalAdvance(text) > grid()->columnWidth(c) ? 1 : 0;
        }
        if (narrow > 0)
            QVERIFY(cut > model().columnCount() / 2);
        // The one before any preview, too.
        m_kit->window.perform(QStringLiteral("mdesconectar"));
        QCOMPARE(headerTipAt(0), QStringLiteral("Preview"));
    }

    // The header is reached from the keyboard: the arrows choose a column in the grid, and
    // Enter or Space sorts by it as a click on its header does, toggling on repeat.
    void keysSortByTheCurrentColumn_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("rights");        // Right presses from the row number
        QTest::addColumn<QStringList>("first"); // the headers after one press
        QTest::addColumn<QStringList>("second");
        QTest::newRow("Return on Country")
            << int(Qt::Key_Return) << 2 << QStringList{"Row", "Customer", "Country »"}
            << QStringList{"Row", "Customer", "Country «"};
        QTest::newRow("Enter on Customer")
            << int(Qt::Key_Enter) << 1 << QStringList{"Row", "Customer »", "Country"}
            << QStringList{"Row", "Customer «", "Country"};
        QTest::newRow("Space on Country")
            << int(Qt::Key_Space) << 2 << QStringList{"Row", "Customer", "Country »"}
            << QStringList{"Row", "Customer", "Country «"};
        QTest::newRow("Space on the row number")
            << int(Qt::Key_Space) << 0 << QStringList{"Row »", "Customer", "Country"}
            << QStringList{"Row «", "Customer", "Country"};
    }
    void keysSortByTheCurrentColumn()
    {
        QFETCH(int, key);
        QFETCH(int, rights);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1")}));
        preview({}, QStringLiteral("40"));
        m_kit->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_kit->window));
        grid()->setFocus();
        grid()->setCurrentIndex(shownIndex(3, 0));
        for (int i = 0; i < rights; ++i)
            QTest::keyClick(grid(), Qt::Key_Right);
        const int sorted = rights;
        QCOMPARE(grid()->currentIndex().column(), sorted);
        const Qt::KeyboardModifiers keypad =
            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        // A key with Ctrl keeps its own meaning (Ctrl+Space selects): nothing sorts.
        QTest::keyClick(grid(), Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(headers(), QStringList({"Row", "Customer", "Country"}));
        QTest::keyClick(grid(), Qt::Key(key), keypad);
        QCOMPARE(headers(), first);
        QStringList values = column(model(), sorted);
        QVERIFY(std::is_sorted(values.begin(), values.end()));
        QTest::keyClick(grid(), Qt::Key(key), keypad);
        QCOMPARE(headers(), second);
        // The column has room for its header with the marker.
        QVERIFY(grid()->horizontalHeader()->fontMetrics().horizontalAdvance(second.at(sorted)) <
                grid()->columnWidth(sorted));
        values = column(model(), sorted);
        QVERIFY(std::is_sorted(values.rbegin(), values.rend()));
        QTest::keyClick(grid(), Qt::Key(key), keypad);
        QCOMPARE(headers(), first);
        QCOMPARE(m_window->preview().sortColumn(), sorted);
        // The current cell stays in its column, so the next press sorts the same one.
        QCOMPARE(grid()->currentIndex().column(), sorted);
    }

    // --- the filter above the grid

    // Only the rows that hold the text, whatever its case, in any cell or in the chosen
    // column; the count beside the box says how many of the rows read are shown.
    void theFilterShowsTheRowsThatHoldTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column"); // the combo's entry: 0 all columns, then each column
        QTest::addColumn<bool>("portuguese");
        QTest::addColumn<int>("rows"); // -1: as many as hold it anywhere
        // KNA1 has 69 customers in BR.
        QTest::newRow("a country in its column") << "br" << 3 << false << 69;
        QTest::newRow("in capitals") << "BR" << 3 << false << 69;
        QTest::newRow("in Portuguese") << "Br" << 3 << true << 69;
        QTest::newRow("anywhere") << "br" << 0 << false << -1;
        QTest::newRow("a customer number") << "0000000042" << 0 << false << 1;
        QTest::newRow("the row number") << "042" << 1 << false << 1;
        QTest::newRow("nothing holds it") << "no such text" << 0 << false << 0;
        QTest::newRow("across two cells holds nothing") << "1PT" << 0 << false << 0;
    }
    void theFilterShowsTheRowsThatHoldTheText()
    {
        QFETCH(QString, text);
        QFETCH(int, column);
        QFETCH(bool, portuguese);
        QFETCH(int, rows);
        m_kit->state.languageEnglish = !portuguese;
        m_kit->state.languagePortuguese = portuguese;
        m_window = m_kit->newWindow();
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1"),
                      QStringLiteral("KNA1-NAME1")}));
        QVERIFY(!filterBar()->isVisible());
        preview({}, QStringLiteral("0"));
        QVERIFY(QTest::qWaitForWindowExposed(&m_kit->window));
        QCOMPARE(model().rowCount(), 500);
        QVERIFY(filterBar()->isVisible());
        QCOMPARE(filterBar()->columns()->count(), 5);
        QCOMPARE(filterBar()->columns()->itemText(0),
                 portuguese ? QStringLiteral("Todas as colunas") : QStringLiteral("All columns"));
        QCOMPARE(filterBar()->columns()->itemText(3), QStringLiteral("Country"));
        QCOMPARE(filterBar()->countText(),
                 portuguese ? QStringLiteral("500 linhas") : QStringLiteral("500 rows"));
        // The filter row heads the preview's place; the grid keeps the rest.
        QCOMPARE(filterBar()->geometry().bottom() + 1, grid()->geometry().top());

        typeFilter(text, column);
        const QString folded = text.toCaseFolded();
        int expected = 0;
        for (int r = 0; r < model().rowCount(); ++r) {
            bool holds = false;
            for (int c = 0; c < model().columnCount(); ++c) {
                if (column == 0 || c == column - 1)
                    holds = holds || model().cell(r, c).toCaseFolded().contains(folded);
            }
            expected += holds ? 1 : 0;
        }
        if (rows >= 0)
            QCOMPARE(expected, rows);
        QVERIFY(rows != -1 || expected >= 69);
        QCOMPARE(grid()->model()->rowCount(), expected);
        for (int r = 0; r < grid()->model()->rowCount(); ++r) {
            bool holds = false;
            for (int c = 0; c < model().columnCount(); ++c) {
                if (column == 0 || c == column - 1)
                    holds = holds || grid()->model()->index(r, c).data().toString().contains(
                                         text, Qt::CaseInsensitive);
            }
            QVERIFY2(holds, qPrintable(QString::number(r)));
        }
        QCOMPARE(filterBar()->countText(), (portuguese ? QStringLiteral("%1 de 500 linhas")
                                                       : QStringLiteral("%1 of 500 rows"))
                                               .arg(expected));
        // It filters what was read: the query and its option lines stay as they were.
        QCOMPARE(m_window->options().count(), 0);
        QCOMPARE(model().rowCount(), 500);
    }

    // Copying takes the rows shown, sorting sorts them and keeps the filter, a new preview is
    // filtered the same way, Esc empties the box and Ctrl+Shift+F goes to it.
    void filteredRowsCopySortAndClear()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1")}));
        preview({}, QStringLiteral("0"));
        m_kit->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_kit->window));
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(filterBar()->box()->hasFocus());
        QTest::keyClicks(filterBar()->box(), QStringLiteral("br"));
        filterBar()->columns()->setCurrentIndex(3);
        QTRY_COMPARE(grid()->model()->rowCount(), 69);

        clickHeader(1);
        clickHeader(1);
        QCOMPARE(headers(), QStringList({"Row", "Customer «", "Country"}));
        QCOMPARE(grid()->model()->rowCount(), 69);
        const QStringList customers = shownColumn(1);
        QVERIFY(std::is_sorted(customers.rbegin(), customers.rend()));
        for (const QString& country : shownColumn(2))
            QCOMPARE(country.trimmed(), QStringLiteral("BR"));

        grid()->setFocus();
        QGuiApplication::clipboard()->clear();
        grid()->selectAll();
        QTest::keyClick(grid(), Qt::Key_C, Qt::ControlModifier);
        const QStringList lines =
            QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 69);
        for (int r = 0; r < 69; ++r)
            QCOMPARE(lines.at(r).section(u'\t', 1, 2),
                     customers.at(r).trimmed() + QStringLiteral("\tBR"));

        // A new preview keeps the filter and is shown through it.
        runPreview();
        QCOMPARE(filterBar()->columns()->currentIndex(), 3);
        QCOMPARE(grid()->model()->rowCount(), 69);
        QCOMPARE(filterBar()->countText(), QStringLiteral("69 of 500 rows"));

        filterBar()->box()->setFocus();
        QTest::keyClick(filterBar()->box(), Qt::Key_Escape);
        QCOMPARE(filterBar()->box()->text(), QString());
        QCOMPARE(grid()->model()->rowCount(), 500);
        QCOMPARE(filterBar()->countText(), QStringLiteral("500 rows"));
    }

    // --- what a failed read says

    void sentencePerException_data()
    {
        QTest::addColumn<QString>("exception");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("en");
        QTest::addColumn<QString>("pt");
        QTest::newRow("no table") << "TABLE_NOT_AVAILABLE"
                                  << "" << QStringList{}
                                  << "The system has no table KNA1 (TABLE_NOT_AVAILABLE). Check "
                                     "the name in the tree."
                                  << "O sistema não tem a tabela KNA1 (TABLE_NOT_AVAILABLE). "
                                     "Verifique o nome na árvore.";
        QTest::newRow("no data") << "TABLE_WITHOUT_DATA"
                                 << "" << QStringList{}
                                 << "KNA1 holds no rows of its own: it is a structure, or a field "
                                    "of My Table is unknown to this release (TABLE_WITHOUT_DATA)."
                                 << "KNA1 não tem linhas próprias: é uma estrutura, ou um campo de "
                                    "Minha Tabela é desconhecido nesta versão "
                                    "(TABLE_WITHOUT_DATA).";
        QTest::newRow("option, line found")
            << "OPTION_NOT_VALID"
            << "unterminated literal"
            << QStringList{"KNA1-LAND1 EQ 'BR' OR", "KNA1-ORT01 EQ 'Porto "}
            << "The system did not accept the options of KNA1 as a WHERE condition "
               "(OPTION_NOT_VALID): unterminated literal. Check the line \"KNA1-ORT01 EQ "
               "'Porto\": a blank around every operator and value, values in quotes."
            << "O sistema não aceitou as opções de KNA1 como condição WHERE (OPTION_NOT_VALID): "
               "unterminated literal. Verifique a linha \"KNA1-ORT01 EQ 'Porto\": um espaço "
               "antes e depois de cada operador e valor, valores entre aspas.";
        QTest::newRow("option, no line found")
            << "OPTION_NOT_VALID"
            << "" << QStringList{"KNA1-LAND1 EQ 'BR' OR", "KNA1-ORT01 EQ 'Porto' "}
            << "The system did not accept the options of KNA1 as a WHERE condition "
               "(OPTION_NOT_VALID). Check each option line: a blank around every operator and "
               "value, values in quotes."
            << "O sistema não aceitou as opções de KNA1 como condição WHERE (OPTION_NOT_VALID). "
               "Verifique cada linha: um espaço antes e depois de cada operador e valor, valores "
               "entre aspas.";
        QTest::newRow("field") << "FIELD_NOT_VALID"
                               << "" << QStringList{}
                               << "A field of My Table does not exist in KNA1 (FIELD_NOT_VALID). "
                                  "Read the table's fields again and rebuild My Table."
                               << "Um campo de Minha Tabela não existe em KNA1 (FIELD_NOT_VALID). "
                                  "Leia os campos da tabela de novo e refaça Minha Tabela.";
        QTest::newRow("authority") << "NOT_AUTHORIZED"
                                   << "" << QStringList{}
                                   << "Your user may not read the table KNA1 (NOT_AUTHORIZED). "
                                      "Ask for read authority on it: authorization object "
                                      "S_TABU_DIS for its authorization group, or S_TABU_NAM for "
                                      "the table."
                                   << "Seu usuário não pode ler a tabela KNA1 (NOT_AUTHORIZED). "
                                      "Peça autorização de leitura: objeto S_TABU_DIS para o grupo "
                                      "da tabela, ou S_TABU_NAM para a tabela.";
        QTest::newRow("buffer") << "DATA_BUFFER_EXCEEDED"
                                << "" << QStringList{}
                                << "The fields of KNA1 are too wide for one read "
                                   "(DATA_BUFFER_EXCEEDED). Remove some of them from My Table "
                                   "and read again."
                                << "Os campos de KNA1 são largos demais para uma leitura "
                                   "(DATA_BUFFER_EXCEEDED). Remova alguns de Minha Tabela e leia "
                                   "de novo.";
        QTest::newRow("system failure")
            << "SYSTEM_FAILURE"
            << "timed out" << QStringList{}
            << "The system failed while reading KNA1 (SYSTEM_FAILURE): timed out. The connection "
               "is opened again at the next read; if the failure comes back, ask the system's "
               "administrator (transaction ST22 lists the system's dumps)."
            << "O sistema falhou ao ler KNA1 (SYSTEM_FAILURE): timed out. A conexão é aberta de "
               "novo na próxima leitura; se a falha voltar, fale com o administrador do sistema "
               "(a transação ST22 lista os dumps).";
        QTest::newRow("anything else")
            << "RFC_ERROR_X"
            << "100%1 sure" << QStringList{} << "Reading KNA1 failed (RFC_ERROR_X): 100%1 sure."
            << "A leitura de KNA1 falhou (RFC_ERROR_X): 100%1 sure.";
    }

    void sentencePerException()
    {
        QFETCH(QString, exception);
        QFETCH(QString, words);
        QFETCH(QStringList, options);
        QFETCH(QString, en);
        QFETCH(QString, pt);
        const BiText text = ReadMessage::sentence(
            {QStringLiteral("KNA1"), exception, BiText::same(words), {}, {}}, options);
        QCOMPARE(text.en, en);
        QCOMPARE(text.pt, pt);
    }

    // What Zorv itself says of a failed call, and why a read failed, follow the language.
    void zorvsOwnWordsFollowTheLanguage()
    {
        const BiText timedOut = FaultTexts::get(FaultText::CallTimedOut)
                                    .arg(QStringLiteral("https://sap:44300"), QStringLiteral("30"));
        const BiText changed = FaultTexts::get(FaultText::RowsChanged)
                                   .arg(QStringLiteral("KNA1"), QStringLiteral("0000000001"));
        const BiText text = ReadMessage::sentence(
            {QStringLiteral("KNA1"), QStringLiteral("SYSTEM_FAILURE"), timedOut, changed, {}});
        QVERIFY2(text.en.contains(QStringLiteral(": https://sap:44300 made no progress for 30 "
                                                 "seconds")) &&
                     text.en.endsWith(QStringLiteral("disagree on 0000000001.")),
                 qPrintable(text.en));
        QVERIFY2(text.pt.contains(QStringLiteral(": https://sap:44300 não avançou durante 30 "
                                                 "segundos")) &&
                     text.pt.endsWith(QStringLiteral("divergem em 0000000001.")),
                 qPrintable(text.pt));
    }

    void offendingLine_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("offending");
        QTest::newRow("an odd quote")
            << QStringList{"KNA1-LAND1 EQ 'BR' AND", "KNA1-NAME1 EQ 'O'Brien' "}
            << "KNA1-NAME1 EQ 'O'Brien' ";
        QTest::newRow("a literal run into a word")
            << QStringList{"KNA1-LAND1 EQ 'BR'AND", "KNA1-NAME1 EQ 'X' "}
            << "KNA1-LAND1 EQ 'BR'AND";
        QTest::newRow("no operator") << QStringList{"KNA1-LAND1 'BR' "} << "KNA1-LAND1 'BR' ";
        QTest::newRow("not an operator")
            << QStringList{"KNA1-LAND1 EQ 'BR' OR", "KNA1-LAND1 IS 'X' ", "KNA1-ORT01 XX 'Y' "}
            << "KNA1-ORT01 XX 'Y' ";
        QTest::newRow("a doubled quote is fine")
            << QStringList{"KNA1-NAME1 EQ 'O''Brien' OR", "KNA1-NAME1 EQ 'X' "} << "";
        QTest::newRow("a continued line is fine")
            << QStringList{"KNA1-LAND1 IN ('BR',", "'PT') "} << "";
        QTest::newRow("one line, whatever it looks like")
            << QStringList{"KNA1-LAND1 EQ 'BR' "} << "KNA1-LAND1 EQ 'BR' ";
        QTest::newRow("none") << QStringList{} << "";
    }

    void offendingLine()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, offending);
        QCOMPARE(ReadMessage::offendingLine(lines), offending);
    }

    // --- print, close, status line

    void printPreviewPadsToHeaderOrFieldLength()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1")}));
        preview({}, QStringLiteral("3"));
        m_kit->desktop.starts.clear();
        m_window->preview().printPreview();
        const QString path = QDir(m_kit->home.path()).filePath(QStringLiteral("Fields.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // Customer: length 10 over an 8-character header; Country: a 7-character header over
        // length 3. Each column is as wide as the wider of the two, plus one blank.
        QCOMPARE(EightBitText::decode(file.readAll()), QStringLiteral("Customer   Country \r\n"
                                                                      "\r\n"
                                                                      "0000000001 PT      \r\n"
                                                                      "0000000002 GB      \r\n"
                                                                      "0000000003 PT      \r\n"));
        QCOMPARE(m_kit->desktop.starts.size(), 1);
        QCOMPARE(m_kit->desktop.starts.first().arguments, QStringList{path});
    }

    void printPreviewFollowsTheSortedOrder()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR")}));
        preview({}, QStringLiteral("3"));
        QVERIFY(QTest::qWaitForWindowExposed(&m_kit->window));
        clickHeader(1);
        clickHeader(1);
        m_window->preview().printPreview();
        QFile file(QDir(m_kit->home.path()).filePath(QStringLiteral("Fields.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(EightBitText::decode(file.readAll()), QStringLiteral("Customer « \r\n"
                                                                      "\r\n"
                                                                      "0000000003 \r\n"
                                                                      "0000000002 \r\n"
                                                                      "0000000001 \r\n"));
    }

    // The most option lines a document keeps, sent with one read.
    void nineHundredNinetyNineOptions()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-NAME1")}));
        QStringList lines;
        for (int i = 1; i <= 999; ++i)
            lines.append(QStringLiteral("KNA1-KUNNR EQ '%1'%2")
                             .arg(i, 10, 10, QChar(u'0'))
                             .arg(i < 999 ? QStringLiteral(" OR") : QString()));
        preview(lines, QStringLiteral("0"));
        QVERIFY2(m_kit->desktop.messages.isEmpty(),
                 qPrintable(m_kit->desktop.messageTexts().join(u'|')));
        QCOMPARE(m_window->options().count(), 999);
        // Customers 1 to 999 with numeric numbers exist up to the demo's 500; every 50th has
        // a letter in its number, so 490 match, all within the preview's 500.
        QCOMPARE(model().rowCount(), 490);
    }

    void closePreviewCollapsesUntilTheNextPreview()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR")}));
        preview({}, QStringLiteral("5"));
        const int open = grid()->height();
        QVERIFY(open > Twips::toPixels(50, dpi()));
        QVERIFY(enabled("mcloseqpreview"));

        m_window->closePreview();
        QVERIFY(!enabled("mcloseqpreview"));
        QVERIFY(grid()->height() < Twips::toPixels(50, dpi()));
        QCOMPARE(model().rowCount(), 5); // the rows stay until the next preview

        runPreview();
        QVERIFY(enabled("mcloseqpreview"));
        // Reopened in whole steps of 90 twips above the 30-twip strip: within one step of before.
        QVERIFY(qAbs(grid()->height() - open) <= Twips::toPixels(90, dpi()));
        QVERIFY(grid()->height() > Twips::toPixels(50, dpi()));
    }

    void statusLineReportsTheRead()
    {
        QVERIFY(copy({QStringLiteral("KNA1-KUNNR"), QStringLiteral("KNA1-LAND1")}));
        preview({}, QStringLiteral("20"));
        static const QRegularExpression pattern(
            QStringLiteral("^My Table > 2 Fields 20 Rows 13 Bytes/Row was completed successfully "
                           "in \\d+\\.\\d\\d s \\(1 call\\)$"));
        const QString status = m_kit->window.statusPanels()->message();
        QVERIFY2(pattern.match(status).hasMatch(), qPrintable(status));
        QVERIFY(status.contains(ElapsedText::format(m_window->preview().elapsed()) + u' '));
    }

    void elapsedText_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("hours") << 3725.5 << "C"
                               << "1 h 2 min 5.50 s";
        QTest::newRow("minutes") << 125.25 << "C"
                                 << "2 min 5.25 s";
        QTest::newRow("seconds") << 0.75 << "C"
                                 << "0.75 s";
        QTest::newRow("nothing") << 0.0 << "C"
                                 << "0.00 s";
        QTest::newRow("whole hours") << 7200.0 << "C"
                                     << "2 h 0 min 0.00 s";
        QTest::newRow("a day") << 90061.0 << "C"
                               << "25 h 1 min 1.00 s";
        QTest::newRow("decimal comma") << 3725.5 << "de_DE"
                                       << "1 h 2 min 5,50 s";
        QTest::newRow("decimal comma, seconds") << 9.125 << "pt_BR"
                                                << "9,13 s";
    }

    void elapsedText()
    {
        QFETCH(double, seconds);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QCOMPARE(ElapsedText::format(seconds, QLocale(locale)), text);
    }

    void packedOverflowIsMarked()
    {
        QVERIFY(copy({QStringLiteral("MARA-MATNR"), QStringLiteral("MARA-BRGEW")}));
        preview({}, QStringLiteral("0"));
        QCOMPARE(model().rowCount(), 400);
        QStringList marked;
        for (int r = 0; r < model().rowCount(); ++r) {
            const QModelIndex weight = model().index(r, 2);
            const QString tip = model().data(weight, Qt::ToolTipRole).toString();
            QCOMPARE(tip.isEmpty(), !model().cell(r, 2).startsWith(u'*'));
            QCOMPARE(model().data(weight, Qt::ForegroundRole).isValid(), !tip.isEmpty());
            if (!tip.isEmpty())
                marked.append(model().cell(r, 1).right(3));
        }
        // Every 97th material is too heavy for its output length.
        QCOMPARE(marked, QStringList({"097", "194", "291", "388"}));
        QCOMPARE(model().cell(96, 2), QStringLiteral("*99999999.999"));
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
