#pragma once

#include <QObject>

class QSocketNotifier;

// The requests to end that come from outside the window: SIGTERM, SIGHUP (the terminal or the
// session went away) and SIGINT. Each arrives here as a signal in the event loop, where the
// program can still save what it holds. Where there are no such signals it never fires.
class StopSignals : public QObject
{
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

Q_SIGNALS:
    void received(int signal);

private:
    QSocketNotifier* m_notifier = nullptr;
};
