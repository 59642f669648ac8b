// Any FIELDS offsets and DATA lines from a system: the export cuts and joins them without
// crashing, and every data line of the file has the same number of CSV fields.
#include "RfcDestination.h"
#include "RfcFunction.h"
#include "TableExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {
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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder;
    BytesDestination destination(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    QVector<ReadPlan::Item> items;
    const int fields = size > 0 ? 1 + data[0] % 12 : 1;
    for (int i = 0; i < fields; ++i)
        items.append({QStringLiteral("T%1-F%2").arg(i / 5).arg(i), QStringLiteral("C"), 1 + i % 30,
                      QStringLiteral("field %1").arg(i)});
    ReadPlan plan;
    if (!plan.ReadLIMytable(items, {}, nullptr))
        return 0;
    TableExport::Settings settings;
    settings.path = QDir(folder.path()).filePath(QStringLiteral("out.csv"));
    TableExport exporter(destination, plan, settings);
    const std::atomic<bool> never{false};
    const TableExport::Result result = exporter.run(never, {});
    if (!result.ok)
        std::abort();
    return 0;
}
