#include "window/main/FocusMarkStyle.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QPainter>
#include <QStyleOption>

void FocusMarkStyle::drawMark(QPainter* painter, const QRect& rect, const QPalette& palette)
{
    painter->save();
    painter->setPen(QPen(palette.color(QPalette::Highlight), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(1, 1, -1, -1));
    painter->restore();
}

void FocusMarkStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                        QPainter* painter, const QWidget* widget) const
{
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ToolButton && (option->state & State_HasFocus))
        drawMark(painter, option->rect, option->palette);
}

void FocusMarkStyle::drawControl(ControlElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    // A list's frame is the part of it its rows never cover.
    if (element == CE_ShapedFrame && qobject_cast<const QAbstractItemView*>(widget) &&
        widget->hasFocus())
        drawMark(painter, option->rect, option->palette);
}

void FocusMarkStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    if (qobject_cast<QAbstractItemView*>(widget))
        widget->installEventFilter(this);
}

void FocusMarkStyle::unpolish(QWidget* widget)
{
    if (qobject_cast<QAbstractItemView*>(widget))
        widget->removeEventFilter(this);
    QProxyStyle::unpolish(widget);
}

bool FocusMarkStyle::eventFilter(QObject* watched, QEvent* event)
{
    // A list repaints its rows on a change of focus, not its frame, where the mark is.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        if (auto* widget = qobject_cast<QWidget*>(watched))
            widget->update();
    }
    return QProxyStyle::eventFilter(watched, event);
}
