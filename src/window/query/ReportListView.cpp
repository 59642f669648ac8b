#include "window/query/ReportListView.h"

#include "shell/Twips.h"
#include "window/query/ClipboardText.h"

#include <QAction>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>

ReportListView::ReportListView(QWidget* parent) : QTreeWidget(parent), m_copy(new QAction(this))
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setMouseTracking(true);
    header()->setStretchLastSection(false);
    m_copy->setObjectName(QStringLiteral("Copy"));
    m_copy->setShortcut(QKeySequence::Copy);
    m_copy->setShortcutContext(Qt::WidgetShortcut);
    addAction(m_copy);
    connect(m_copy, &QAction::triggered, this, &ReportListView::copy);
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
        if (columns.at(i).stretch)
            header()->setSectionResizeMode(i, QHeaderView::Stretch);
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

QList<QTreeWidgetItem*> ReportListView::selectedInOrder() const
{
    QList<QTreeWidgetItem*> items;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (item->isSelected() && !item->isHidden())
            items.append(item);
    }
    return items;
}

QString ReportListView::selectedText() const
{
    QList<QStringList> lines;
    for (QTreeWidgetItem* item : selectedInOrder()) {
        QStringList cells;
        for (int c = 0; c < columnCount(); ++c) {
            if (!isColumnHidden(c))
                cells.append(item->text(c));
        }
        lines.append(cells);
    }
    return ClipboardText::tabSeparated(lines);
}

void ReportListView::copy()
{
    const QString text = selectedText();
    if (!text.isEmpty())
        ClipboardText::put(text);
}

void ReportListView::setDragEncoder(Encoder encoder)
{
    m_encoder = std::move(encoder);
    setDragEnabled(static_cast<bool>(m_encoder));
    // A drag copies: a field dragged within My Table is moved by the drop itself.
    setDefaultDropAction(Qt::CopyAction);
}

void ReportListView::setDropHandler(const QString& format, DropHandler handler)
{
    m_dropFormat = format;
    m_dropHandler = std::move(handler);
    setAcceptDrops(static_cast<bool>(m_dropHandler));
    setDropIndicatorShown(true);
    setDragDropMode(m_encoder ? QAbstractItemView::DragDrop : QAbstractItemView::DropOnly);
}

QStringList ReportListView::mimeTypes() const
{
    return m_dropFormat.isEmpty() ? QTreeWidget::mimeTypes() : QStringList{m_dropFormat};
}

QMimeData* ReportListView::mimeData(const QList<QTreeWidgetItem*>& items) const
{
    return m_encoder ? m_encoder(items) : QTreeWidget::mimeData(items);
}

Qt::DropActions ReportListView::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

void ReportListView::dropEvent(QDropEvent* event)
{
    // The item view's own drop, not the tree's, which would move the items by itself.
    m_dropFromHere = event->source() == this;
    QAbstractItemView::dropEvent(event);
    m_dropFromHere = false;
}

bool ReportListView::dropMimeData(QTreeWidgetItem* parent, int index, const QMimeData* data,
                                  Qt::DropAction)
{
    if (parent || !m_dropHandler || !data->hasFormat(m_dropFormat))
        return false;
    return m_dropHandler(data, index, m_dropFromHere);
}
