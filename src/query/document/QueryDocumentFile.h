#pragma once

#include "query/document/QueryDocument.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reads and writes query documents: plain text in the Windows 8-bit code page (through
// EightBitText), CR LF line ends, each line a 13-character key field and a value.
//
// Lines, in the order written:
//   "MyTableF     " text | "ChSsl        " True/False | "ChRow        " True/False |
//   "sRows        " number | "SFI          " number | "ssField  NNN " entry (one per field) |
//   "SOP          " number | "ssOption NNN " line (one per option line)
// Numbers are written as KeyedLine::integerText writes them (" 12 ").
class QueryDocumentFile
{
public:
    static constexpr int kMaxEntries = 999;

    struct ReadResult {
        bool ok = true;
        QString error; // the message to show, e.g. "Error 13: Type mismatch on ReadQuillon"
    };

    // One field of My Table as its document entry.
    struct FieldEntry {
        QString type;   // one letter
        int length = 0; // written with at least three digits
        QString key;    // "KNA1-KUNNR"
        QString text;   // the description; may contain blanks

        bool operator==(const FieldEntry&) const = default;
    };

    // Lines are recognised by their key field (first 13 characters, trailing blanks ignored).
    // "ssField" and "ssOption" lines count only up to the SFI/SOP read before them; an entry
    // number above 999 stops the reading with an error. Reading stops at the first error;
    // what was read before stays in the document.
    static ReadResult read(const QByteArray& bytes, QueryDocument& document);
    // Counts are capped at 999 entries; the counts written are the number of entries written.
    static QByteArray write(const QueryDocument& document);

    static ReadResult readFile(const QString& path, QueryDocument& document);
    // Through QSaveFile: the previous file stays whole when writing fails.
    static bool writeFile(const QString& path, const QueryDocument& document, QString* error);

    // "C" 10 "KNA1-KUNNR" "Customer" -> "C010 KNA1-KUNNR Customer".
    static QString fieldEntry(const FieldEntry& field);
    // The reverse: type from character 1, length from characters 2 to 4, then from character 6
    // the key up to the first blank and the text after it. Nothing, with the message
    // "Error <n>: <description> on LoadQuillon", when the entry cannot be read.
    static std::optional<FieldEntry> parseFieldEntry(const QString& entry, QString* error);
    // Checks a read document before it is loaded into a window: counts between 0 and 999 and
    // every field entry readable. Empty when fine, else the message "... on LoadQuillon".
    static QString checkLoadable(const QueryDocument& document);

    // The path up to and including its last "\" or "/"; "" when there is none.
    static QString folderOf(const QString& path);
};
