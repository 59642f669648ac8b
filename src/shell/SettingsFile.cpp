#include "shell/SettingsFile.h"

#include "shell/AppState.h"
#include "shell/BoundedFile.h"
#include "shell/EightBitText.h"
#include "shell/KeyedLine.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <variant>
#include <vector>

namespace
{
const QString kCrLf = QStringLiteral("\r\n");
const QString kTreePrefix = QStringLiteral("ssAddTab ");

// Stands for the tree's count line, which the "ssAddTab NNN" entry lines follow.
struct TreeCount {
};
using Member =
    std::variant<QString AppState::*, bool AppState::*, std::int16_t AppState::*, TreeCount>;

// Zorv.ini's keys and the state each one holds, in the order the file lists them.
struct Setting {
    const char16_t* key;
    Member member;
};
const Setting kSettings[] = {
    {u"sSapLogon", &AppState::sapLogonPath},    {u"FolderTable", &AppState::tableFolder},
    {u"TableFile", &AppState::lastTableFile},   {u"SGlobal", &AppState::settingsVersion},
    {u"ChOpt", &AppState::optionsFlag},         {u"OptEN", &AppState::languageEnglish},
    {u"OptPT", &AppState::languagePortuguese},  {u"OptCT", &AppState::languageOther},
    {u"Tool", &AppState::toolbarShown},         {u"Status", &AppState::statusBarShown},
    {u"z", &AppState::listSeparator},           {u"fvubTop", &AppState::windowTop},
    {u"fvubLeft", &AppState::windowLeft},       {u"fvubHeight", &AppState::windowHeight},
    {u"fvubWidth", &AppState::windowWidth},     {u"SAT", TreeCount{}},
    {u"FileZorv", &AppState::currentQueryFile},
};
// Keys a file holds only when the user set them, after the others: files without them stay
// as they always were.
const Setting kOptionalSettings[] = {
    {u"ReadModule", &AppState::readModule},
    {u"Sessions", &AppState::readSessions},
    {u"ReopenQueries", &AppState::reopenQueries},
};

template <typename T> QString assign(const KeyedLine::Converted<T>& converted, T& target)
{
    if (!converted.value)
        return converted.error;
    target = *converted.value;
    return {};
}

// The index of an "ssAddTab NNN" key, or -1 when the key is not of that form.
int treeIndex(const QString& key)
{
    if (!key.startsWith(kTreePrefix))
        return -1;
    const QString digits = key.mid(kTreePrefix.size());
    if (digits.size() < 3 ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
        return -1;
    bool ok = false;
    const int index = digits.toInt(&ok);
    return ok ? index : -1;
}

// The tree as the file announces it while being read: entries count only up to the count line
// read so far, so the entries are kept numbered until the whole file is read.
struct TreeReading {
    std::int16_t count = 0;
    std::vector<QString> entries = std::vector<QString>(AppState::kMaxTreeEntries + 1);

    explicit TreeReading(const QStringList& paths)
        : count(static_cast<std::int16_t>(
              std::min<qsizetype>(paths.size(), AppState::kMaxTreeEntries)))
    {
        for (int i = 0; i < count; ++i)
            entries[static_cast<size_t>(i + 1)] = paths.at(i);
    }

    QStringList paths() const
    {
        const int used = std::clamp<int>(count, 0, AppState::kMaxTreeEntries);
        return QStringList(entries.begin() + 1, entries.begin() + 1 + used);
    }
};

QString applyLine(const QString& key, const QString& value, AppState& state, TreeReading& tree)
{
    for (const Setting& setting : kOptionalSettings) {
        if (key == QStringView(setting.key)) {
            state.*std::get<QString AppState::*>(setting.member) = value.trimmed();
            return {};
        }
    }
    for (const Setting& setting : kSettings) {
        if (key != QStringView(setting.key))
            continue;
        if (const auto* text = std::get_if<QString AppState::*>(&setting.member)) {
            state.*(*text) = value;
            return {};
        }
        if (const auto* flag = std::get_if<bool AppState::*>(&setting.member))
            return assign(KeyedLine::toBoolean(value), state.*(*flag));
        if (const auto* number = std::get_if<std::int16_t AppState::*>(&setting.member))
            return assign(KeyedLine::toInteger(value), state.*(*number));
        return assign(KeyedLine::toInteger(value), tree.count);
    }
    if (const int index = treeIndex(key); index >= 1 && index <= tree.count) {
        if (index > AppState::kMaxTreeEntries)
            return QStringLiteral("Subscript out of range");
        tree.entries[static_cast<size_t>(index)] = value;
    }
    return {};
}
} // namespace

SettingsFile::ReadResult SettingsFile::read(const QByteArray& bytes, AppState& state)
{
    ReadResult result;
    TreeReading tree(state.treePaths);
    state.settingsInUtf8 = EightBitText::isUnmarkedUtf8(bytes);
    const QStringList lines = EightBitText::splitLines(
        state.settingsInUtf8 ? QString::fromUtf8(bytes) : EightBitText::decode(bytes));
    for (int i = 0; i < lines.size(); ++i) {
        const KeyedLine::Parsed parsed = KeyedLine::parse(lines.at(i));
        const QString error = applyLine(parsed.key, parsed.value, state, tree);
        // A value that cannot be read keeps what the setting held; every other line still
        // counts, so that the file written back loses nothing. The first such line is told.
        if (!error.isEmpty() && result.ok) {
            result.ok = false;
            result.line = i + 1;
            result.error = QStringLiteral("%1 in line %2 of %3 (%4)")
                               .arg(error)
                               .arg(i + 1)
                               .arg(QString::fromLatin1(kFileName), parsed.key);
        }
    }
    // A count beyond what the tree can hold would make later loops run past its end.
    state.treePaths = tree.paths();
    return result;
}

QByteArray SettingsFile::write(const AppState& state)
{
    const int entries =
        static_cast<int>(std::min<qsizetype>(state.treePaths.size(), AppState::kMaxTreeEntries));
    QString text;
    for (const Setting& setting : kSettings) {
        const QString key = KeyedLine::keyField(QString::fromUtf16(setting.key));
        if (const auto* value = std::get_if<QString AppState::*>(&setting.member)) {
            text += key + state.*(*value) + kCrLf;
        } else if (const auto* flag = std::get_if<bool AppState::*>(&setting.member)) {
            text += key + KeyedLine::booleanText(state.*(*flag)) + kCrLf;
        } else if (const auto* number = std::get_if<std::int16_t AppState::*>(&setting.member)) {
            text += key + KeyedLine::integerText(state.*(*number)) + kCrLf;
        } else {
            text += key + KeyedLine::integerText(entries) + kCrLf;
            for (int i = 1; i <= entries; ++i)
                text += KeyedLine::numberedKey(kTreePrefix, i) + state.treePaths.at(i - 1) + kCrLf;
        }
    }
    for (const Setting& setting : kOptionalSettings) {
        const QString& value = state.*std::get<QString AppState::*>(setting.member);
        if (!value.isEmpty())
            text += KeyedLine::keyField(QString::fromUtf16(setting.key)) + value + kCrLf;
    }
    return state.settingsInUtf8 ? text.toUtf8() : EightBitText::encode(text);
}

QString SettingsFile::pathIn(const QString& folder)
{
    return QDir(folder).filePath(QString::fromLatin1(kFileName));
}

void SettingsFile::ensureExists(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return;
    QFile created(path);
    if (created.open(QIODevice::WriteOnly))
        created.close();
}

SettingsFile::ReadResult SettingsFile::readFile(const QString& path, AppState& state)
{
    QByteArray bytes;
    QString problem;
    if (!BoundedFile::read(path, BoundedFile::kLargestStateFile, &bytes, &problem))
        return {false, 0, problem};
    return read(bytes, state);
}

bool SettingsFile::writeFile(const QString& path, const AppState& state)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = write(state);
    // Buffered bytes can fail only when flushed; commit() alone would then keep a short file.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
