#include "query/document/QueryDocumentFile.h"

#include "shell/BoundedFile.h"
#include "shell/EightBitText.h"
#include "shell/KeyedLine.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <variant>

namespace
{
const QString kCrLf = QStringLiteral("\r\n");
const QString kSubscript = QStringLiteral("Subscript out of range");
const QString kTypeMismatch = QStringLiteral("Type mismatch");
const QString kOverflow = QStringLiteral("Overflow");

// Messages carry the classic run-time error number that goes with each description.
int errorNumber(const QString& description)
{
    if (description == kTypeMismatch)
        return 13;
    if (description == kOverflow)
        return 6;
    if (description == kSubscript)
        return 9;
    if (description == u"File not found")
        return 53;
    return 75; // Path/File access error
}

QString message(const QString& description, const QString& operation)
{
    return QStringLiteral("Error %1: %2 on %3")
        .arg(errorNumber(description))
        .arg(description, operation);
}

QString readError(const QString& description)
{
    return message(description, QStringLiteral("ReadQuillon"));
}

QString loadError(const QString& description)
{
    return message(description, QStringLiteral("LoadQuillon"));
}

template <typename T, typename U>
QString assign(const KeyedLine::Converted<T>& converted, U& target)
{
    if (!converted.value)
        return converted.error;
    target = *converted.value;
    return {};
}

// The number of an "ssField  NNN" / "ssOption NNN" key, or -1 when the key is not of that form.
int entryNumber(const QString& key, const QString& prefix)
{
    if (!key.startsWith(prefix))
        return -1;
    const QString digits = key.mid(prefix.size());
    if (digits.size() < 3 ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
        return -1;
    bool ok = false;
    const int number = digits.toInt(&ok);
    return ok ? number : -1;
}

// Entries count only up to the number announced before them; the lists hold 999 at most.
QString setEntry(QStringList& entries, int number, int count, const QString& value)
{
    if (number < 1 || number > count)
        return {};
    if (number > QueryDocumentFile::kMaxEntries)
        return kSubscript;
    while (entries.size() < number)
        entries.append(QString());
    entries[number - 1] = value;
    return {};
}

// A count line and the numbered entry lines ("ssField  007 ") that follow it.
struct Entries {
    int QueryDocument::*count;
    QStringList QueryDocument::*list;
    const char16_t* prefix;
};
using Member =
    std::variant<QString QueryDocument::*, bool QueryDocument::*, qint32 QueryDocument::*, Entries>;

// The document's keys and the members each one holds, in the order the file lists them.
struct DocumentLine {
    const char16_t* key;
    Member member;
};
const DocumentLine kLines[] = {
    {u"MyTableF", &QueryDocument::exportFile},
    {u"ChSsl", &QueryDocument::singleClick},
    {u"ChRow", &QueryDocument::rowLimitShown},
    {u"sRows", &QueryDocument::rowLimit},
    {u"SFI", Entries{&QueryDocument::fieldCount, &QueryDocument::fields, u"ssField  "}},
    {u"SOP", Entries{&QueryDocument::optionCount, &QueryDocument::options, u"ssOption "}},
};

QString applyLine(const QString& key, const QString& value, QueryDocument& document)
{
    for (const DocumentLine& line : kLines) {
        if (key != QStringView(line.key))
            continue;
        if (const auto* text = std::get_if<QString QueryDocument::*>(&line.member)) {
            document.*(*text) = value;
            return {};
        }
        if (const auto* flag = std::get_if<bool QueryDocument::*>(&line.member))
            return assign(KeyedLine::toBoolean(value), document.*(*flag));
        if (const auto* number = std::get_if<qint32 QueryDocument::*>(&line.member))
            return assign(KeyedLine::toLong(value), document.*(*number));
        return assign(KeyedLine::toInteger(value),
                      document.*(std::get<Entries>(line.member).count));
    }
    for (const DocumentLine& line : kLines) {
        const auto* entries = std::get_if<Entries>(&line.member);
        if (!entries)
            continue;
        if (const int n = entryNumber(key, QString::fromUtf16(entries->prefix)); n >= 0)
            return setEntry(document.*(entries->list), n, document.*(entries->count), value);
    }
    return {};
}

// Missing lines leave empty entries, lines beyond the count leave none.
void fitToCount(QStringList& entries, int count)
{
    const int size = std::clamp(count, 0, QueryDocumentFile::kMaxEntries);
    while (entries.size() < size)
        entries.append(QString());
    while (entries.size() > size)
        entries.removeLast();
}
} // namespace

QueryDocumentFile::ReadResult QueryDocumentFile::read(const QByteArray& bytes,
                                                      QueryDocument& document)
{
    ReadResult result;
    const QStringList lines = EightBitText::splitLines(EightBitText::decode(bytes));
    for (const QString& line : lines) {
        const KeyedLine::Parsed parsed = KeyedLine::parse(line);
        const QString error = applyLine(parsed.key, parsed.value, document);
        if (!error.isEmpty()) {
            result.ok = false;
            result.error = readError(error);
            break;
        }
    }
    for (const DocumentLine& line : kLines) {
        if (const auto* entries = std::get_if<Entries>(&line.member))
            fitToCount(document.*(entries->list), document.*(entries->count));
    }
    return result;
}

QByteArray QueryDocumentFile::write(const QueryDocument& document)
{
    QString text;
    for (const DocumentLine& line : kLines) {
        const QString key = KeyedLine::keyField(QString::fromUtf16(line.key));
        if (const auto* value = std::get_if<QString QueryDocument::*>(&line.member)) {
            text += key + document.*(*value) + kCrLf;
        } else if (const auto* flag = std::get_if<bool QueryDocument::*>(&line.member)) {
            text += key + KeyedLine::booleanText(document.*(*flag)) + kCrLf;
        } else if (const auto* number = std::get_if<qint32 QueryDocument::*>(&line.member)) {
            text += key + KeyedLine::integerText(document.*(*number)) + kCrLf;
        } else {
            const auto& entries = std::get<Entries>(line.member);
            const QStringList& list = document.*(entries.list);
            const qsizetype count = std::min<qsizetype>(list.size(), kMaxEntries);
            text += key + KeyedLine::integerText(count) + kCrLf;
            const QString prefix = QString::fromUtf16(entries.prefix);
            for (int i = 1; i <= count; ++i)
                text += KeyedLine::numberedKey(prefix, i) + list.at(i - 1) + kCrLf;
        }
    }
    return EightBitText::encode(text);
}

QueryDocumentFile::ReadResult QueryDocumentFile::readFile(const QString& path,
                                                          QueryDocument& document)
{
    if (!QFileInfo::exists(path))
        return {false, readError(QStringLiteral("File not found"))};
    QByteArray bytes;
    // A query document is a few KB; a device, a pipe or a huge file is no document.
    if (!BoundedFile::read(path, BoundedFile::kLargestStateFile, &bytes, nullptr))
        return {false, readError(QStringLiteral("Path/File access error"))};
    return read(bytes, document);
}

bool QueryDocumentFile::writeFile(const QString& path, const QueryDocument& document,
                                  QString* error)
{
    // The caller shows the description as its WriteDocument error, whatever stopped the save.
    const auto fail = [error] {
        if (error)
            *error = QStringLiteral("Path/File access error");
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    const QByteArray bytes = write(document);
    // Buffered bytes can fail only when flushed; commit() alone would then keep a short file.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return fail();
    }
    return file.commit() || fail();
}

QString QueryDocumentFile::fieldEntry(const FieldEntry& field)
{
    return field.type + QStringLiteral("%1").arg(field.length, 3, 10, QChar(u'0')) + u' ' +
           field.key + u' ' + field.text;
}

std::optional<QueryDocumentFile::FieldEntry>
QueryDocumentFile::parseFieldEntry(const QString& entry, QString* error)
{
    const auto fail = [error](const QString& description) {
        if (error)
            *error = loadError(description);
        return std::nullopt;
    };
    // Type and a three-digit length are the least an entry must hold.
    if (entry.size() < 4)
        return fail(kTypeMismatch);
    const auto length = KeyedLine::toInteger(entry.mid(1, 3));
    if (!length.value)
        return fail(length.error);
    // Three characters cannot carry more than 999; a negative length has no meaning.
    if (*length.value < 0 || *length.value > kMaxEntries)
        return fail(kOverflow);

    FieldEntry field;
    field.type = entry.left(1);
    field.length = *length.value;
    const QString rest = entry.mid(5);
    const qsizetype blank = rest.indexOf(u' ');
    // A hand-edited entry may end with its key; it then has no description.
    field.key = blank < 0 ? rest : rest.left(blank);
    field.text = blank < 0 ? QString() : rest.mid(blank + 1);
    return field;
}

QString QueryDocumentFile::checkLoadable(const QueryDocument& document)
{
    // The lists hold entries 1 to 999; any other count cannot be loaded.
    for (const int count : {document.fieldCount, document.optionCount}) {
        if (count < 0 || count > kMaxEntries)
            return loadError(kSubscript);
    }
    for (int i = 0; i < document.fieldCount; ++i) {
        QString error;
        if (!parseFieldEntry(document.fields.value(i), &error))
            return error;
    }
    return {};
}

QString QueryDocumentFile::folderOf(const QString& path)
{
    const qsizetype last = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return last < 0 ? QString() : path.left(last + 1);
}
