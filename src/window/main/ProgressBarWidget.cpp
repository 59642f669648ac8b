#include "window/main/ProgressBarWidget.h"

#include <QPainter>

ProgressBarWidget::ProgressBarWidget(QWidget* parent) : QWidget(parent)
{
}

QSize ProgressBarWidget::sizeHint() const
{
    return {160, 18};
}

QSize ProgressBarWidget::innerSize() const
{
    return size() - QSize(2, 2);
}

void ProgressBarWidget::showFrame(int filledStart, int filledWidth, int percent,
                                  const QPoint& textAt, const QColor& colour)
{
    m_filledStart = filledStart;
    m_filled = filledWidth;
    m_percent = percent;
    m_textAt = textAt;
    m_colour = colour;
    update();
}

void ProgressBarWidget::clear()
{
    m_filledStart = 0;
    m_filled = 0;
    m_percent = -1;
    update();
}

void ProgressBarWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(rect(), palette().color(QPalette::Mid));
    painter.fillRect(inner, palette().color(QPalette::Base));
    const int start = qBound(0, m_filledStart, inner.width());
    painter.fillRect(QRect(inner.topLeft() + QPoint(start, 0),
                           QSize(qMin(m_filled, inner.width() - start), inner.height())),
                     m_colour);
    if (m_percent < 0)
        return;
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics(font());
    painter.drawText(inner.topLeft() + m_textAt + QPoint(0, metrics.ascent()),
                     QString::number(m_percent) + QStringLiteral(" %"));
}
