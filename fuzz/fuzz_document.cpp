// Any bytes as a query document: reading, the load check and the field entries never crash,
// and a readable document writes and reads back to the same file.
#include "query/document/QueryDocumentFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QueryDocument document;
    QueryDocumentFile::read(bytes, document);
    if (!QueryDocumentFile::checkLoadable(document).isEmpty())
        return 0;
    for (const QString& entry : document.fields)
        QueryDocumentFile::parseFieldEntry(entry, nullptr);
    const QByteArray written = QueryDocumentFile::write(document);
    QueryDocument again;
    if (!QueryDocumentFile::read(written, again).ok || QueryDocumentFile::write(again) != written)
        std::abort();
    return 0;
}
