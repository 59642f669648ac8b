// Any bytes as a SOAP answer, fed in chunks: the reader never crashes and ends in one state.
#include "RfcFunction.h"
#include "SoapResponseReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RfcFunction function(QStringLiteral("RFC_READ_TABLE"), nullptr);
    long rows = 0;
    function.Tables(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row&) { ++rows; });
    SoapResponseReader reader(function);
    const size_t step = size > 0 ? 1 + data[0] % 64 : 1;
    for (size_t at = 0; at < size; at += step)
        reader.feed(QByteArray(reinterpret_cast<const char*>(data + at),
                               static_cast<qsizetype>(std::min(step, size - at))));
    reader.finish();
    if (reader.state() == SoapResponseReader::State::Reading)
        std::abort();
    return 0;
}
