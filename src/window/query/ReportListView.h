#pragma once

#include <QTreeWidget>

#include <functional>

class QAction;

// A list of items with columns, as the query window's lists show them: the detail ("report")
// view with every column, or the plain list view with the first column only, and optional
// grid lines. Columns are given in twips; one of them may take the width the others leave, so
// the header spans the list. Ctrl+C copies the selected items as tab-separated lines; what a
// drag carries and what a drop does are the owner's.
class ReportListView : public QTreeWidget
{
    Q_OBJECT
    Q_PROPERTY(int View READ view WRITE setView)
    Q_PROPERTY(bool GridLines READ gridLines WRITE setGridLines)
public:
    static constexpr int kListView = 2;
    static constexpr int kReportView = 3;

    struct Column {
        QString key;
        QString header;
        int widthTwips;
        bool rightAligned = false;
        bool stretch = false; // takes the width the other columns leave
    };

    using Encoder = std::function<QMimeData*(const QList<QTreeWidgetItem*>& items)>;
    // A drop of these data before the item at row (-1: after the last); fromHere: a drag that
    // started in this list. True when the drop was taken.
    using DropHandler = std::function<bool(const QMimeData* data, int row, bool fromHere)>;

    explicit ReportListView(QWidget* parent = nullptr);

    void setColumns(const QVector<Column>& columns, double dotsPerInch);
    int view() const { return m_view; }
    void setView(int view);
    bool gridLines() const { return m_gridLines; }
    void setGridLines(bool on);
    // The item whose first column (its key) equals key, or nullptr.
    QTreeWidgetItem* itemByKey(const QString& key) const;
    QList<QTreeWidgetItem*> itemsInOrder() const;

    // The selected items that are not filtered out, in list order.
    QList<QTreeWidgetItem*> selectedInOrder() const;
    // Their shown columns, one line each, tab-separated.
    QString selectedText() const;
    QAction* copyAction() const { return m_copy; }

    void setDragEncoder(Encoder encoder);
    void setDropHandler(const QString& format, DropHandler handler);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    bool dropMimeData(QTreeWidgetItem* parent, int index, const QMimeData* data,
                      Qt::DropAction action) override;
    void dropEvent(QDropEvent* event) override;
    Qt::DropActions supportedDropActions() const override;

private:
    void copy();

    int m_view = kReportView;
    bool m_gridLines = false;
    QAction* m_copy;
    Encoder m_encoder;
    QString m_dropFormat;
    DropHandler m_dropHandler;
    bool m_dropFromHere = false;
};
