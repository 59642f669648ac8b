// Any bytes as a SOAP answer, fed in chunks: the reader never crashes and ends in one state.
// The same bytes as a whole HTTP answer go through the HTTP reader into a second SOAP reader,
// and the HTTP reader never holds more than a header's worth.
#include "sap/RfcFunction.h"
#include "sap/soap/SoapResponseReader.h"
#include "sap/soap/http/HttpResponseReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const size_t step = size > 0 ? 1 + data[0] % 64 : 1;
    {
        RfcFunction function(QStringLiteral("RFC_READ_TABLE"), nullptr);
        long rows = 0;
        function.table(QStringLiteral("DATA")).setRowSink([&](const RfcTable::Row&) { ++rows; });
        SoapResponseReader reader(function);
        for (size_t at = 0; at < size; at += step)
            reader.feed(QByteArray(reinterpret_cast<const char*>(data + at),
                                   static_cast<qsizetype>(std::min(step, size - at))));
        reader.finish();
        if (reader.state() == SoapResponseReader::State::Reading)
            std::abort();
    }
    RfcFunction function(QStringLiteral("RFC_READ_TABLE"), nullptr);
    function.setImport(QStringLiteral("ROWCOUNT"), QStringLiteral("100"));
    function.table(QStringLiteral("DATA")).setRowSink([](const RfcTable::Row&) {});
    SoapResponseReader reader(function);
    HttpResponseReader http;
    for (size_t at = 0; at < size; at += step) {
        http.feed(QByteArray(reinterpret_cast<const char*>(data + at),
                             static_cast<qsizetype>(std::min(step, size - at))),
                  [&](QByteArrayView body) {
                      reader.feed(body.toByteArray());
                      return reader.state() == SoapResponseReader::State::Reading;
                  });
    }
    http.closed();
    reader.finish();
    if (http.state() == HttpResponseReader::State::Head ||
        http.state() == HttpResponseReader::State::Body ||
        reader.state() == SoapResponseReader::State::Reading)
        std::abort();
    return 0;
}
