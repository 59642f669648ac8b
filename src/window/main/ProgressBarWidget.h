#pragma once

#include <QColor>
#include <QWidget>

// The bar of the progress display: a frame, the filled part, the percentage in the middle.
class ProgressBarWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressBarWidget(QWidget* parent = nullptr);

    // Fills filledWidth pixels from filledStart; a percent below 0 writes none.
    void showFrame(int filledStart, int filledWidth, int percent, const QPoint& textAt,
                   const QColor& colour);
    void clear();
    int filledWidth() const { return m_filled; }
    int filledStart() const { return m_filledStart; }
    int percent() const { return m_percent; }
    QSize innerSize() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_filledStart = 0;
    int m_filled = 0;
    int m_percent = -1; // nothing written
    QPoint m_textAt;
    QColor m_colour{128, 128, 255};
};
