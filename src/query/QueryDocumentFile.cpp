#include "QueryDocumentFile.h"

#include "EightBitText.h"
#include "KeyedLine.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>

namespace
{
const QString kCrLf = QStringLiteral("\r\n");
const QString kFieldPrefix = QStringLiteral("ssField  ");
const QString kOptionPrefix = QStringLiteral("ssOption ");
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

QString applyLine(const QString& key, const QString& value, QueryDocument& document)
{
    if (key == u"MyTableF") {
        document.MyTableF = value;
        return {};
    }
    if (key == u"ChSsl")
        return assign(KeyedLine::toBoolean(value), document.ChSsl);
    if (key == u"ChRow")
        return assign(KeyedLine::toBoolean(value), document.ChRow);
    if (key == u"sRows")
        return assign(KeyedLine::toLong(value), document.sRows);
    if (key == u"SFI")
        return assign(KeyedLine::toInteger(value), document.SFI);
    if (key == u"SOP")
        return assign(KeyedLine::toInteger(value), document.SOP);
    if (const int n = entryNumber(key, kFieldPrefix); n >= 0)
        return setEntry(document.ssField, n, document.SFI, value);
    if (const int n = entryNumber(key, kOptionPrefix); n >= 0)
        return setEntry(document.ssOption, n, document.SOP, value);
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
    fitToCount(document.ssField, document.SFI);
    fitToCount(document.ssOption, document.SOP);
    return result;
}

QByteArray QueryDocumentFile::write(const QueryDocument& document)
{
    const auto line = [](const QString& key, const QString& value) {
        return KeyedLine::keyField(key) + value + kCrLf;
    };
    const qsizetype fields = std::min<qsizetype>(document.ssField.size(), kMaxEntries);
    const qsizetype options = std::min<qsizetype>(document.ssOption.size(), kMaxEntries);

    QString text;
    text += line(QStringLiteral("MyTableF"), document.MyTableF);
    text += line(QStringLiteral("ChSsl"), KeyedLine::booleanText(document.ChSsl));
    text += line(QStringLiteral("ChRow"), KeyedLine::booleanText(document.ChRow));
    text += line(QStringLiteral("sRows"), KeyedLine::integerText(document.sRows));
    text += line(QStringLiteral("SFI"), KeyedLine::integerText(fields));
    for (int i = 1; i <= fields; ++i)
        text += KeyedLine::numberedKey(kFieldPrefix, i) + document.ssField.at(i - 1) + kCrLf;
    text += line(QStringLiteral("SOP"), KeyedLine::integerText(options));
    for (int j = 1; j <= options; ++j)
        text += KeyedLine::numberedKey(kOptionPrefix, j) + document.ssOption.at(j - 1) + kCrLf;
    return EightBitText::encode(text);
}

QueryDocumentFile::ReadResult QueryDocumentFile::readFile(const QString& path,
                                                          QueryDocument& document)
{
    if (!QFileInfo::exists(path))
        return {false, readError(QStringLiteral("File not found"))};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, readError(QStringLiteral("Path/File access error"))};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
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
    for (const int count : {document.SFI, document.SOP}) {
        if (count < 0 || count > kMaxEntries)
            return loadError(kSubscript);
    }
    for (int i = 0; i < document.SFI; ++i) {
        QString error;
        if (!parseFieldEntry(document.ssField.value(i), &error))
            return error;
    }
    return {};
}

QString QueryDocumentFile::folderOf(const QString& path)
{
    const qsizetype last = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return last < 0 ? QString() : path.left(last + 1);
}
