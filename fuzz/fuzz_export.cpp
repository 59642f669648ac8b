// Any FIELDS offsets and DATA lines from a system: the export cuts and joins them without
// crashing, and every data line of the file has the same number of CSV fields.
#include "query/export/TableExport.h"
#include "query/read/KeyCatalog.h"
#include "sap/RfcDestination.h"
#include "sap/RfcFunction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace
{
// Returns fields and rows taken from the fuzzer's bytes.
class BytesDestination : public RfcDestination
{
public:
    explicit BytesDestination(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    LogonResult logon(const LogonData&) override { return {true, {}, {}, {}, {}, {}}; }
    void logoff() override {}
    QString details() const override { return {}; }
    bool call(RfcFunction& function) override
    {
        RfcTable& fields = function.table(QStringLiteral("FIELDS"));
        for (int r = 1; r <= fields.rowCount(); ++r) {
            fields.setValue(r, QStringLiteral("OFFSET"), QString::number(next() % 80));
            fields.setValue(r, QStringLiteral("LENGTH"), QString::number(next() % 40));
        }
        const int rows = next() % 8;
        for (int i = 0; i < rows; ++i) {
            QString line;
            const int length = next() % 100;
            for (int c = 0; c < length; ++c)
                line += QChar(static_cast<char16_t>(" ;,\"\r\nab\xe3\t|"[next() % 12] & 0xff));
            function.table(QStringLiteral("DATA")).deliver({line});
        }
        return true;
    }

private:
    int next() { return m_at < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_at++]) : 0; }
    QByteArray m_bytes;
    qsizetype m_at = 0;
};

// The number of CSV fields on each line of the file; lines are split outside quotes.
QList<int> fieldCounts(const QByteArray& file)
{
    QList<int> counts;
    int fields = 1;
    bool quoted = false;
    for (qsizetype i = 0; i < file.size(); ++i) {
        const char c = file[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ';')
            ++fields;
        else if (!quoted && c == '\r' && i + 1 < file.size() && file[i + 1] == '\n') {
            counts.append(fields);
            fields = 1;
            ++i;
        }
    }
    return counts;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder;
    BytesDestination destination(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    QVector<ReadPlan::Field> fields;
    const int count = size > 0 ? 1 + data[0] % 12 : 1;
    for (int i = 0; i < count; ++i)
        fields.append({QStringLiteral("T%1-F%2").arg(i / 5).arg(i), QStringLiteral("C"), 1 + i % 30,
                       QStringLiteral("field %1").arg(i)});
    ReadPlan plan;
    if (!plan.build(fields, {}, nullptr))
        return 0;
    TableExport::Settings settings;
    settings.path = QDir(folder.path()).filePath(QStringLiteral("out.csv"));
    QFile::remove(settings.path);
    KeyCatalog keys;
    TableExport exporter(destination, keys, plan, settings);
    const std::atomic<bool> never{false};
    // The system's answers may be refused; what is written must be whole.
    if (!exporter.run(never, {}).ok)
        return 0;
    QFile file(settings.path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QList<int> counts = fieldCounts(file.readAll());
    for (qsizetype line = 2; line < counts.size(); ++line) {
        if (counts[line] > counts[0])
            std::abort();
    }
    return 0;
}
