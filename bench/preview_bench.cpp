// Previews 500 rows of a wide My Table from the demo system in a real query window: the first
// N fields (300 unless given; up to 999) of the demo's table ZWIDE. Measures the time from
// readPreview to a filled model with its columns fitted and to the grid painted once
// offscreen, best and median of several runs; then the filter above the grid over those rows:
// each keystroke of a typed text, in all columns and in one, and emptying it.
//   preview_bench [fields]
#include "QueryTestKit.h"

#include "window/main/StatusPanels.h"
#include "window/query/FieldList.h"
#include "window/query/MyTable.h"
#include "window/query/PreviewFilter.h"
#include "window/query/PreviewModel.h"
#include "window/query/PreviewPane.h"
#include "window/query/ReportListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
constexpr int kRuns = 7;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QueryTestKit kit;
    if (!kit.connect()) {
        std::fprintf(stderr, "could not log on to the demo system\n");
        return 1;
    }
    kit.window.resize(1600, 1000);
    QueryWindow* window = kit.newWindow();
    if (!window)
        return 1;
    const int wanted = argc > 1 ? std::clamp(QByteArray(argv[1]).toInt(), 1, 999) : 300;
    if (!window->fields().addTableFields(QStringLiteral("ZWIDE"))) {
        std::fprintf(stderr, "could not open ZWIDE\n");
        return 1;
    }
    ReportListView* fields = window->fields().view();
    int chosen = 0;
    for (QTreeWidgetItem* item : fields->itemsInOrder())
        item->setSelected(chosen++ < wanted);
    window->perform(QStringLiteral("mcopytomytable"));
    window->findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("0"));
    auto* grid = window->findChild<QTableView*>(QStringLiteral("ListView4"));
    const PreviewModel& model = *window->preview().model();

    std::vector<double> started;
    std::vector<double> filled;
    std::vector<double> painted;
    QString doneLine; // what the status bar said of the last preview: its calls and module
    for (int run = 0; run <= kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        window->preview().readPreview();
        const double toStart = timer.nsecsElapsed() / 1e6;
        // The rows come from a worker thread: the grid shows them when it ends.
        window->preview().wait();
        const double toModel = timer.nsecsElapsed() / 1e6;
        const QPixmap shot = grid->grab();
        const double toPaint = timer.nsecsElapsed() / 1e6;
        if (shot.isNull() || !kit.desktop.messages.isEmpty()) {
            std::fprintf(stderr, "the preview failed: %s\n",
                         qPrintable(kit.desktop.messageTexts().join(u'|')));
            return 1;
        }
        doneLine = kit.window.statusPanels()->message();
        if (run > 0) { // the first run warms the database's page cache
            started.push_back(toStart);
            filled.push_back(toModel);
            painted.push_back(toPaint);
        }
    }

    // The filter as typed: every keystroke filters the rows again (the first one also folds
    // the cells of every row), then the grid paints what is left.
    PreviewFilter& filter = *window->preview().filter();
    const auto timed = [&](const QString& text, int column) {
        QElapsedTimer timer;
        timer.start();
        filter.setFilter(text, column);
        grid->grab();
        return timer.nsecsElapsed() / 1e6;
    };
    const QString typed = QStringLiteral("zc0999");
    std::vector<double> keystrokes;
    double firstKey = 0;
    for (int run = 0; run < kRuns; ++run) {
        for (qsizetype n = 1; n <= typed.size(); ++n) {
            const double ms = timed(typed.left(n), PreviewFilter::kAllColumns);
            if (run == 0 && n == 1)
                firstKey = ms;
            else
                keystrokes.push_back(ms);
        }
        timed(QString(), PreviewFilter::kAllColumns);
    }
    const int shown = [&] {
        filter.setFilter(QStringLiteral("1"), PreviewFilter::kAllColumns);
        return filter.rowCount();
    }();
    std::vector<double> oneColumn;
    std::vector<double> emptied;
    for (int run = 0; run < kRuns; ++run) {
        oneColumn.push_back(timed(QStringLiteral("12"), 2));
        emptied.push_back(timed(QString(), PreviewFilter::kAllColumns));
    }
    std::printf("Filter: first keystroke over all columns (cells folded): %.1f ms\n", firstKey);
    std::printf("Filter: a keystroke over all columns: best %.1f ms, median %.1f ms (\"1\" shows "
                "%d rows; target < 100 ms)\n",
                *std::min_element(keystrokes.begin(), keystrokes.end()), median(keystrokes), shown);
    std::printf("Filter: a keystroke in one column: best %.1f ms, median %.1f ms\n",
                *std::min_element(oneColumn.begin(), oneColumn.end()), median(oneColumn));
    std::printf("Filter: emptied: best %.1f ms, median %.1f ms\n",
                *std::min_element(emptied.begin(), emptied.end()), median(emptied));

    const int fieldCount = window->myTable().count();
    std::printf("preview of %d rows x %d fields (%d pieces through RFC_READ_TABLE)\n",
                model.rowCount(), fieldCount, window->preview().plan().pieceCount());
    std::printf("the preview's done line: %s\n", qPrintable(doneLine));
    std::printf("Preview: from the command to the read started (columns set up): best %.1f ms, "
                "median %.1f ms\n",
                *std::min_element(started.begin(), started.end()), median(started));
    std::printf("Preview: from the command to filled model: best %.1f ms, median %.1f ms\n",
                *std::min_element(filled.begin(), filled.end()), median(filled));
    std::printf("Preview: from the command to painted grid: best %.1f ms, median %.1f ms (target < "
                "250 ms)\n",
                *std::min_element(painted.begin(), painted.end()), median(painted));
    std::printf("reproduce: cmake --build build --target preview_bench && "
                "QT_QPA_PLATFORM=offscreen build/bench/preview_bench [fields]\n");
    return 0;
}
