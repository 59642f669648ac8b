#pragma once

#include "shell/BiText.h"
#include <QByteArray>

#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QFileDevice;

// A zip archive written as it streams: entries are deflated on a second thread while the caller
// produces the next bytes, at the fastest level, since an export's parts are large and
// repetitive. Each entry's header is completed in place once its sizes are known, so the
// archive needs no data descriptors and every reader takes it. Entries and the archive stay
// below 4 GB (no zip64): the caller keeps its parts smaller.
class ZipWriter
{
public:
    // Entries larger than this cannot be described without zip64.
    static constexpr qint64 kLargestEntry = 0xFFFFFFFFLL;

    explicit ZipWriter(QFileDevice& file);
    ~ZipWriter();

    // Starts an entry, ending the one before.
    void begin(const QByteArray& name);
    void write(const char* bytes, qsizetype count);
    void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }
    // Ends the last entry and writes the archive's directory; false when anything failed.
    bool close();
    // Something failed on the way: writing on is pointless.
    bool failed() const;
    BiText error() const;
    // Bytes given to the current entry so far.
    qint64 entryBytes() const { return m_entryBytes; }

private:
    struct Job;
    struct Entry;
    struct Deflater;

    void post(Job job);
    void sendChunk();
    void work();
    bool startEntry(const QByteArray& name);
    bool deflate(const QByteArray& bytes, bool last);
    bool endEntry();
    bool writeDirectory();
    bool put(const QByteArray& bytes);
    void setError(const BiText& what);

    QFileDevice& m_file;
    QByteArray m_chunk;
    qint64 m_entryBytes = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    bool m_stopping = false;
    bool m_failed = false;
    BiText m_error;

    // The worker's own state.
    std::unique_ptr<Deflater> m_deflater;
    std::vector<Entry> m_entries;
    std::thread m_worker;
};
