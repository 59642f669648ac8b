#include "query/read/ReadWorker.h"

#include <QThread>

ReadWorker::ReadWorker(QObject* parent) : QObject(parent) {}

ReadWorker::~ReadWorker()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
}

bool ReadWorker::start(Work work)
{
    if (m_thread)
        return false;
    m_cancel = false;
    m_thread = QThread::create([this, work = std::move(work)] { work(m_cancel); });
    connect(m_thread, &QThread::finished, this, &ReadWorker::done);
    m_thread->start();
    return true;
}

void ReadWorker::wait()
{
    if (!m_thread)
        return;
    m_thread->wait();
    done();
}

void ReadWorker::stop()
{
    if (m_thread)
        m_cancel = true;
    wait();
}

void ReadWorker::done()
{
    if (!m_thread)
        return;
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    Q_EMIT finished(m_cancel.load());
}
