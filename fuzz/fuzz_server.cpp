// Any bytes as what a client sends the demo server: the HTTP request parser, fed in chunks,
// never holds more than one request's worth, and every body it gives (and the bytes
// themselves) go through the SOAP call reader, which never crashes.
#include "HttpRequestParser.h"
#include "SoapCallReader.h"
#include "sap/RfcFunction.h"

#include <cstdint>
#include <cstdlib>

namespace
{
void readCall(const QByteArray& body)
{
    RfcFunction function(QStringLiteral("RFC_READ_TABLE"), nullptr);
    const SoapCallReader::Call call = SoapCallReader::read(body, function);
    if (call.ok != call.problem.isEmpty())
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    HttpRequestParser parser;
    const qsizetype step = size > 0 ? 1 + data[0] % 97 : 1;
    for (qsizetype at = 0; at < bytes.size(); at += step) {
        parser.feed(bytes.mid(at, step));
        if (parser.bufferedBytes() >
            HttpRequestParser::kMaxHeaderBytes + HttpRequestParser::kMaxBodyBytes + step)
            std::abort();
        while (parser.state() == HttpRequestParser::State::Complete) {
            const HttpRequestParser::Request request = parser.take();
            if (request.method.isEmpty() || request.target.isEmpty())
                std::abort();
            readCall(request.body);
        }
        if (parser.state() == HttpRequestParser::State::Failed) {
            if (parser.errorStatus() < 400 || parser.errorStatus() > 505)
                std::abort();
            break;
        }
    }
    readCall(bytes);
    return 0;
}
