#include "window/main/ProgressDisplay.h"

#include "shell/ControlNames.h"
#include "shell/Language.h"
#include "shell/Texts.h"
#include "window/main/ProgressBarWidget.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QTimer>
#include <QToolBar>

ProgressDisplay::ProgressDisplay(QToolBar* toolbar, std::atomic<float>& fraction,
                                 QMdiArea* workspace, ImageSink setImage, ConnectedQuery connected)
    : QObject(toolbar), m_model(fraction), m_workspace(workspace), m_setImage(std::move(setImage)),
      m_connected(std::move(connected)), m_caption(new QLabel(toolbar)),
      m_bar(new ProgressBarWidget(toolbar)), m_timer(new QTimer(this))
{
    m_caption->setFrameShape(QFrame::Panel);
    m_caption->setFrameShadow(QFrame::Sunken);
    m_caption->setMinimumWidth(82);
    toolbar->addSeparator();
    m_captionAction = toolbar->addWidget(m_caption);
    m_barAction = toolbar->addWidget(m_bar);
    m_cancelAction = toolbar->addAction(Texts::get(TextId::ProgressCancel).en);
    m_cancelAction->setObjectName(ControlNames::Main::kProgressCancel);
    m_cancelAction->setToolTip(Texts::get(TextId::ProgressCancelTip).en);
    m_cancelAction->setVisible(false);
    connect(m_cancelAction, &QAction::triggered, this, &ProgressDisplay::cancel);
    m_timer->setInterval(30);
    connect(m_timer, &QTimer::timeout, this, &ProgressDisplay::drawNextFrame);
}

void ProgressDisplay::setShown(bool shown)
{
    m_captionAction->setVisible(shown);
    m_barAction->setVisible(shown);
}

void ProgressDisplay::startProgress(const QString& kind)
{
    if (m_workspace)
        m_workspace->setBackground(QApplication::palette().window());
    setShown(true);
    if (!m_busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_busy = true;
    }
    m_model.start(kind);
    m_timer->start();
    m_setImage(ShellHost::ConnectionImage::Busy);
    m_caption->setText(m_model.look().caption);
}

void ProgressDisplay::advanceProgress(int percent)
{
    m_model.advance(percent, [] { QApplication::processEvents(); });
}

void ProgressDisplay::drawNextFrame()
{
    const auto frame = m_model.tick(m_bar->innerSize(), [this](const QString& text) {
        return QFontMetrics(m_bar->font()).size(Qt::TextSingleLine, text);
    });
    m_bar->showFrame(frame.barStart, frame.barWidth, frame.percent, frame.textAt,
                     QColor(QRgb(m_model.look().colour)));
    if (frame.hide)
        hideProgress();
}

void ProgressDisplay::applyLanguage(const Language& language)
{
    m_cancelAction->setText(language.pick(Texts::get(TextId::ProgressCancel)));
    m_cancelAction->setToolTip(language.pick(Texts::get(TextId::ProgressCancelTip)));
}

void ProgressDisplay::hideProgress()
{
    setShown(false);
    m_bar->clear();
    m_timer->stop();
    m_model.reset();
}

void ProgressDisplay::endProgress()
{
    m_model.end();
    if (m_busy) {
        QApplication::restoreOverrideCursor();
        m_busy = false;
    }
    if (m_workspace)
        m_workspace->setBackground(QApplication::palette().dark());
    setShown(false);
    m_setImage(m_connected() ? ShellHost::ConnectionImage::Connected
                             : ShellHost::ConnectionImage::Disconnected);
}

void ProgressDisplay::setCancel(std::function<void()> cancel)
{
    m_cancel = std::move(cancel);
    m_cancelAction->setVisible(static_cast<bool>(m_cancel));
}

void ProgressDisplay::cancel()
{
    if (m_cancel)
        m_cancel();
}

bool ProgressDisplay::isShown() const
{
    return m_barAction->isVisible();
}

bool ProgressDisplay::isTicking() const
{
    return m_timer->isActive();
}

QString ProgressDisplay::caption() const
{
    return m_caption->text();
}
