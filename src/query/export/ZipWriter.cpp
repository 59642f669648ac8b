#include "query/export/ZipWriter.h"
#include "shell/FaultTexts.h"

#include "query/export/ExportTarget.h"

#include <QFileDevice>
#include <QtEndian>

#include <zlib.h>

namespace
{
constexpr qsizetype kChunkBytes = 1 << 20;
// Chunks waiting for the deflating thread: enough to keep it busy, few enough to keep memory
// flat when the disk is slower than the rows.
constexpr size_t kMostWaiting = 4;
constexpr quint32 kLocalHeader = 0x04034b50;
constexpr quint32 kCentralHeader = 0x02014b50;
constexpr quint32 kDirectoryEnd = 0x06054b50;
constexpr quint16 kVersion = 20;
constexpr quint16 kDeflated = 8;
constexpr quint16 kDate1980 = (0 << 9) | (1 << 5) | 1; // 1 January 1980, the format's zero

void put16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}
} // namespace

struct ZipWriter::Job {
    enum class Kind { Begin, Data, Close } kind;
    QByteArray bytes; // the name of an entry, or its data
};

struct ZipWriter::Entry {
    QByteArray name;
    qint64 offset = 0;
    quint32 crc = 0;
    qint64 packed = 0;
    qint64 size = 0;
};

struct ZipWriter::Deflater {
    z_stream stream{};
    bool active = false;
    QByteArray out = QByteArray(kChunkBytes, Qt::Uninitialized);

    ~Deflater()
    {
        if (active)
            deflateEnd(&stream);
    }
};

ZipWriter::ZipWriter(QFileDevice& file) : m_file(file), m_deflater(std::make_unique<Deflater>())
{
    m_chunk.reserve(kChunkBytes);
    m_worker = std::thread([this] { work(); });
}

ZipWriter::~ZipWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_jobs.clear();
    }
    m_changed.notify_all();
    m_worker.join();
}

void ZipWriter::post(Job job)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.size() < kMostWaiting || m_failed; });
    if (m_failed)
        return;
    m_jobs.push_back(std::move(job));
    lock.unlock();
    m_changed.notify_all();
}

void ZipWriter::sendChunk()
{
    if (m_chunk.isEmpty())
        return;
    post({Job::Kind::Data, std::move(m_chunk)});
    m_chunk = QByteArray();
    m_chunk.reserve(kChunkBytes);
}

void ZipWriter::begin(const QByteArray& name)
{
    sendChunk();
    post({Job::Kind::Begin, name});
    m_entryBytes = 0;
}

void ZipWriter::write(const char* bytes, qsizetype count)
{
    m_chunk.append(bytes, count);
    m_entryBytes += count;
    if (m_chunk.size() >= kChunkBytes)
        sendChunk();
}

bool ZipWriter::close()
{
    sendChunk();
    post({Job::Kind::Close, {}});
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.empty() || m_failed; });
    return !m_failed;
}

bool ZipWriter::failed() const
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

BiText ZipWriter::error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

void ZipWriter::setError(const BiText& what)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_failed)
            m_error = what;
        m_failed = true;
        m_jobs.clear();
    }
    m_changed.notify_all();
}

void ZipWriter::work()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping)
                return;
            // Taken off the queue only when done, so close() waits for the last job too.
            job.kind = m_jobs.front().kind;
            job.bytes = std::move(m_jobs.front().bytes);
        }
        bool ok = true;
        switch (job.kind) {
        case Job::Kind::Begin:
            ok = endEntry() && startEntry(job.bytes);
            break;
        case Job::Kind::Data:
            ok = deflate(job.bytes, false);
            break;
        case Job::Kind::Close:
            ok = endEntry() && writeDirectory();
            break;
        }
        if (!ok)
            return;
        {
            std::lock_guard lock(m_mutex);
            if (!m_jobs.empty())
                m_jobs.pop_front();
        }
        m_changed.notify_all();
    }
}

bool ZipWriter::put(const QByteArray& bytes)
{
    if (m_file.write(bytes) == bytes.size())
        return true;
    setError(ExportTarget::writeFailure(m_file.fileName(), m_file.errorString()));
    return false;
}

bool ZipWriter::startEntry(const QByteArray& name)
{
    Entry entry;
    entry.name = name;
    entry.offset = m_file.pos();
    // Sizes and checksum are filled in when the entry ends.
    QByteArray header;
    put32(header, kLocalHeader);
    put16(header, kVersion);
    put16(header, 0); // flags
    put16(header, kDeflated);
    put16(header, 0); // time
    put16(header, kDate1980);
    put32(header, 0);
    put32(header, 0);
    put32(header, 0);
    put16(header, static_cast<quint16>(name.size()));
    put16(header, 0); // extra field
    header.append(name);
    m_entries.push_back(entry);
    if (deflateInit2(&m_deflater->stream, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        setError(FaultTexts::get(FaultText::CannotCompress).arg(m_file.fileName()));
        return false;
    }
    m_deflater->active = true;
    return put(header);
}

bool ZipWriter::deflate(const QByteArray& bytes, bool last)
{
    Entry& entry = m_entries.back();
    z_stream& stream = m_deflater->stream;
    entry.crc =
        static_cast<quint32>(crc32(entry.crc, reinterpret_cast<const Bytef*>(bytes.constData()),
                                   static_cast<uInt>(bytes.size())));
    entry.size += bytes.size();
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    QByteArray& out = m_deflater->out;
    int status = Z_OK;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = static_cast<uInt>(out.size());
        status = ::deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
        const qsizetype made = out.size() - static_cast<qsizetype>(stream.avail_out);
        entry.packed += made;
        if (made > 0 && !put(out.left(made)))
            return false;
    } while (stream.avail_out == 0 || (last && status != Z_STREAM_END));
    if (entry.size > kLargestEntry || entry.packed > kLargestEntry) {
        setError(FaultTexts::get(FaultText::PartOver4Gb).arg(m_file.fileName()));
        return false;
    }
    return true;
}

bool ZipWriter::endEntry()
{
    if (!m_deflater->active)
        return true;
    if (!deflate({}, true))
        return false;
    deflateEnd(&m_deflater->stream);
    m_deflater->active = false;
    const Entry& entry = m_entries.back();
    QByteArray sizes;
    put32(sizes, entry.crc);
    put32(sizes, static_cast<quint32>(entry.packed));
    put32(sizes, static_cast<quint32>(entry.size));
    const qint64 end = m_file.pos();
    if (!m_file.seek(entry.offset + 14) || !put(sizes) || !m_file.seek(end)) {
        setError(FaultTexts::get(FaultText::CannotBeWritten)
                     .arg(m_file.fileName(), m_file.errorString()));
        return false;
    }
    return true;
}

bool ZipWriter::writeDirectory()
{
    const qint64 start = m_file.pos();
    QByteArray directory;
    for (const Entry& entry : m_entries) {
        put32(directory, kCentralHeader);
        put16(directory, kVersion); // made by
        put16(directory, kVersion); // needed
        put16(directory, 0);
        put16(directory, kDeflated);
        put16(directory, 0);
        put16(directory, kDate1980);
        put32(directory, entry.crc);
        put32(directory, static_cast<quint32>(entry.packed));
        put32(directory, static_cast<quint32>(entry.size));
        put16(directory, static_cast<quint16>(entry.name.size()));
        put16(directory, 0); // extra field
        put16(directory, 0); // comment
        put16(directory, 0); // disk
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, static_cast<quint32>(entry.offset));
        directory.append(entry.name);
    }
    if (start + directory.size() > kLargestEntry) {
        setError(FaultTexts::get(FaultText::FileOver4Gb).arg(m_file.fileName()));
        return false;
    }
    const qsizetype central = directory.size();
    put32(directory, kDirectoryEnd);
    put16(directory, 0);
    put16(directory, 0);
    put16(directory, static_cast<quint16>(m_entries.size()));
    put16(directory, static_cast<quint16>(m_entries.size()));
    put32(directory, static_cast<quint32>(central));
    put32(directory, static_cast<quint32>(start));
    put16(directory, 0); // comment
    return put(directory);
}
