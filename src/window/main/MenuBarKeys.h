#pragma once

#include <QObject>

class QMenuBar;

// F10 takes the keyboard to the menu bar from any widget of its window, a query window's
// included: its first menu opens, the arrows go on from there and Esc closes it. (Alt alone is the
// menu bar's own: it marks the first menu, Down or Enter opens it.)
class MenuBarKeys : public QObject
{
    Q_OBJECT
public:
    // Watches the application's key events for the window of menuBar.
    explicit MenuBarKeys(QMenuBar* menuBar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool inMenuBarsWindow(QObject* watched) const;
    void toggle();

    QMenuBar* m_menuBar;
};
