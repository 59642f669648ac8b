#include "window/main/StatusPanels.h"

#include "shell/Clock.h"
#include "shell/ControlNames.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>

StatusPanels::StatusPanels(QStatusBar* bar, const Clock& clock)
    : QObject(bar), m_bar(bar), m_clock(clock), m_message(new QLabel(bar)),
      m_connectionIcon(new QLabel), m_connectionText(new QLabel), m_connection(new QWidget(bar)),
      m_clockLabel(new QLabel(bar)), m_timer(new QTimer(this))
{
    m_message->setObjectName(ControlNames::Main::kMessagePanel);
    m_message->setFrameShape(QFrame::StyledPanel);
    m_message->setFrameShadow(QFrame::Sunken);
    m_connection->setObjectName(ControlNames::Main::kConnectionPanel);
    auto* layout = new QHBoxLayout(m_connection);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(4);
    layout->addWidget(m_connectionIcon);
    layout->addWidget(m_connectionText);
    m_connectionIcon->setFixedSize(16, 16);
    m_clockLabel->setObjectName(ControlNames::Main::kClockPanel);
    m_clockLabel->setAlignment(Qt::AlignCenter);
    m_clockLabel->setMinimumWidth(56);
    m_message->setMinimumWidth(0);
    m_message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_bar->addWidget(m_message, 1);
    m_bar->addPermanentWidget(m_connection);
    m_bar->addPermanentWidget(m_clockLabel);
    m_bar->installEventFilter(this);
    m_connection->installEventFilter(this);
    m_connectionText->installEventFilter(this);
    m_connectionIcon->installEventFilter(this);
    connect(m_timer, &QTimer::timeout, this, &StatusPanels::refreshClock);
    m_timer->start(1000);
    refreshClock();
}

void StatusPanels::setMessage(const QString& text)
{
    m_message->setText(text);
}

QString StatusPanels::message() const
{
    return m_message->text();
}

void StatusPanels::setMessageToolTip(const QString& text)
{
    m_message->setToolTip(text);
}

void StatusPanels::setConnection(const QIcon& icon, const QString& text, const QString& toolTip)
{
    setConnectionIcon(icon);
    m_connectionText->setText(text);
    m_connection->setToolTip(toolTip);
}

void StatusPanels::setConnectionIcon(const QIcon& icon)
{
    m_connectionIcon->setPixmap(icon.pixmap(16, 16));
}

QString StatusPanels::connectionText() const
{
    return m_connectionText->text();
}

QString StatusPanels::connectionToolTip() const
{
    return m_connection->toolTip();
}

QString StatusPanels::clockText() const
{
    return m_clockLabel->text();
}

QString StatusPanels::clockToolTip() const
{
    return m_clockLabel->toolTip();
}

void StatusPanels::setMessageWidth(int pixels)
{
    // The panel takes that width when the other panels leave room for it.
    m_message->setMaximumWidth(pixels);
}

int StatusPanels::messageWidth() const
{
    return m_message->maximumWidth();
}

void StatusPanels::refreshClock()
{
    const QDateTime now = m_clock.now();
    const QLocale locale;
    m_clockLabel->setText(now.time().toString(QStringLiteral("HH:mm")));
    m_clockLabel->setToolTip(locale.toString(now.date(), QLocale::LongFormat));
}

bool StatusPanels::eventFilter(QObject* watched, QEvent* event)
{
    const bool onConnection =
        watched == m_connection || watched == m_connectionText || watched == m_connectionIcon;
    if (onConnection && event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT connectionDoubleClicked();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            Q_EMIT contextMenuRequested(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
