#pragma once

#include <QTreeWidget>

// A list of items with columns, as the query window's lists show them: the detail ("report")
// view with every column, or the plain list view with the first column only, and optional
// grid lines. Columns are given in twips.
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
    };

    explicit ReportListView(QWidget* parent = nullptr);

    void setColumns(const QVector<Column>& columns, double dotsPerInch);
    int view() const { return m_view; }
    void setView(int view);
    bool gridLines() const { return m_gridLines; }
    void setGridLines(bool on);
    // The item whose first column (its key) equals key, or nullptr.
    QTreeWidgetItem* itemByKey(const QString& key) const;
    QList<QTreeWidgetItem*> itemsInOrder() const;

private:
    int m_view = kReportView;
    bool m_gridLines = false;
};
