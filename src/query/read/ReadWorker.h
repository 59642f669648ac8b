#pragma once

#include <QObject>

#include <atomic>
#include <functional>

class QThread;

// Runs one read at a time on a thread of its own, so that the window that starts it stays
// usable; the read looks at the cancel flag between rows and calls. finished() comes on the
// thread that owns the worker.
class ReadWorker : public QObject
{
    Q_OBJECT
public:
    using Work = std::function<void(const std::atomic<bool>& cancel)>;

    explicit ReadWorker(QObject* parent = nullptr);
    ~ReadWorker() override;

    // False when a read is running already.
    bool start(Work work);
    bool running() const { return m_thread != nullptr; }
    void cancel() { m_cancel = true; }
    // Waits for a running read to end; finished() is emitted before this returns.
    void wait();
    // Cancels a running read and waits for it to end.
    void stop();

Q_SIGNALS:
    void finished(bool cancelled);

private:
    void done();

    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
};
