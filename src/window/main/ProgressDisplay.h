#pragma once

#include "shell/ProgressModel.h"
#include "shell/ShellHost.h"

#include <QObject>

#include <functional>

class Language;
class ProgressBarWidget;
class QAction;
class QLabel;
class QMdiArea;
class QTimer;
class QToolBar;

// The progress display on the main window's toolbar: a caption box and a bar redrawn every
// 30 ms from the shared fraction, which the running operation only adds to.
class ProgressDisplay : public QObject
{
    Q_OBJECT
public:
    using ImageSink = std::function<void(ShellHost::ConnectionImage)>;
    using ConnectedQuery = std::function<bool()>;

    ProgressDisplay(QToolBar* toolbar, std::atomic<float>& fraction, QMdiArea* workspace,
                    ImageSink setImage, ConnectedQuery connected);

    void startProgress(const QString& kind);
    void advanceProgress(int percent);
    void endProgress();
    void drawNextFrame();
    void hideProgress();
    // The cancel button in the language the rule picks.
    void applyLanguage(const Language& language);

    // A Cancel button beside the bar, shown while a handler is set.
    void setCancel(std::function<void()> cancel);
    bool cancellable() const { return static_cast<bool>(m_cancel); }
    void cancel();

    bool isShown() const;
    bool isTicking() const;
    QString caption() const;
    ProgressBarWidget* bar() const { return m_bar; }
    const ProgressModel& model() const { return m_model; }

private:
    void setShown(bool shown);

    ProgressModel m_model;
    QMdiArea* m_workspace;
    ImageSink m_setImage;
    ConnectedQuery m_connected;
    QLabel* m_caption;
    ProgressBarWidget* m_bar;
    QAction* m_captionAction;
    QAction* m_barAction;
    QAction* m_cancelAction;
    std::function<void()> m_cancel;
    QTimer* m_timer;
    bool m_busy = false;
};
