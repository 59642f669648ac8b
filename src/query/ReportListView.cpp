#include "ReportListView.h"

#include "Twips.h"

#include <QHeaderView>

ReportListView::ReportListView(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setMouseTracking(true);
    header()->setStretchLastSection(false);
}

void ReportListView::setColumns(const QVector<Column>& columns, double dotsPerInch)
{
    setColumnCount(static_cast<int>(columns.size()));
    QStringList headers;
    for (const Column& column : columns)
        headers.append(column.header);
    setHeaderLabels(headers);
    for (int i = 0; i < columns.size(); ++i) {
        setColumnWidth(i, Twips::toPixels(columns.at(i).widthTwips, dotsPerInch));
        headerItem()->setTextAlignment(
            i, (columns.at(i).rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
}

void ReportListView::setView(int view)
{
    m_view = view;
    for (int i = 1; i < columnCount(); ++i)
        setColumnHidden(i, view != kReportView);
    setHeaderHidden(view != kReportView);
}

void ReportListView::setGridLines(bool on)
{
    m_gridLines = on;
    setStyleSheet(on ? QStringLiteral("QTreeView::item { border-right: 1px solid #d4d4d4; "
                                      "border-bottom: 1px solid #d4d4d4; }")
                     : QString());
}

QTreeWidgetItem* ReportListView::itemByKey(const QString& key) const
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->text(0) == key)
            return topLevelItem(i);
    }
    return nullptr;
}

QList<QTreeWidgetItem*> ReportListView::itemsInOrder() const
{
    QList<QTreeWidgetItem*> items;
    for (int i = 0; i < topLevelItemCount(); ++i)
        items.append(topLevelItem(i));
    return items;
}
