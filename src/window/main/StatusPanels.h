#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class Clock;
class QLabel;
class QStatusBar;
class QTimer;

// The three panels of the main window's status bar: messages, the connection (picture, text,
// tool tip) and the clock with today's long date as its tool tip.
class StatusPanels : public QObject
{
    Q_OBJECT
public:
    StatusPanels(QStatusBar* bar, const Clock& clock);

    void setMessage(const QString& text);
    QString message() const;
    void setMessageToolTip(const QString& text);
    void setConnection(const QIcon& icon, const QString& text, const QString& toolTip);
    void setConnectionIcon(const QIcon& icon);
    QString connectionText() const;
    QString connectionToolTip() const;
    QString clockText() const;
    QString clockToolTip() const;
    void setMessageWidth(int pixels);
    int messageWidth() const;
    void refreshClock();

Q_SIGNALS:
    void connectionDoubleClicked();
    void contextMenuRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStatusBar* m_bar;
    const Clock& m_clock;
    QLabel* m_message;
    QLabel* m_connectionIcon;
    QLabel* m_connectionText;
    QWidget* m_connection;
    QLabel* m_clockLabel;
    QTimer* m_timer;
};
