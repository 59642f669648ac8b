#pragma once

#include <QProxyStyle>

// The platform's style with a focus mark it may leave out: a frame in the highlight colour
// around a tool button or a list that has the keyboard focus, so that a keyboard user sees
// where the next key goes.
class FocusMarkStyle : public QProxyStyle
{
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void polish(QWidget* widget) override;
    void unpolish(QWidget* widget) override;
    using QProxyStyle::polish;
    using QProxyStyle::unpolish;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void drawMark(QPainter* painter, const QRect& rect, const QPalette& palette);
};
