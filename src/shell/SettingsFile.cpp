#include "SettingsFile.h"

#include "AppState.h"
#include "EightBitText.h"
#include "KeyedLine.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>

namespace
{
const QString kCrLf = QStringLiteral("\r\n");
const QString kTreePrefix = QStringLiteral("ssAddTab ");

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
} // namespace

QString SettingsFile::applyLine(const QString& key, const QString& value, AppState& state)
{
    if (key == u"sSapLogon")
        state.sSapLogon = value;
    else if (key == u"FolderTable")
        state.FolderTable = value;
    else if (key == u"TableFile")
        state.TableFile = value;
    else if (key == u"SGlobal")
        state.SGlobal = value;
    else if (key == u"ChOpt")
        return assign(KeyedLine::toBoolean(value), state.ChOpt);
    else if (key == u"OptEN")
        return assign(KeyedLine::toBoolean(value), state.OptEN);
    else if (key == u"OptPT")
        return assign(KeyedLine::toBoolean(value), state.OptPT);
    else if (key == u"OptCT")
        return assign(KeyedLine::toBoolean(value), state.OptCT);
    else if (key == u"Tool")
        return assign(KeyedLine::toBoolean(value), state.Tool);
    else if (key == u"Status")
        return assign(KeyedLine::toBoolean(value), state.Status);
    else if (key == u"z")
        state.ListSeparator = value;
    else if (key == u"fvubTop")
        return assign(KeyedLine::toInteger(value), state.fvubTop);
    else if (key == u"fvubLeft")
        return assign(KeyedLine::toInteger(value), state.fvubLeft);
    else if (key == u"fvubHeight")
        return assign(KeyedLine::toInteger(value), state.fvubHeight);
    else if (key == u"fvubWidth")
        return assign(KeyedLine::toInteger(value), state.fvubWidth);
    else if (key == u"SAT")
        return assign(KeyedLine::toInteger(value), state.SAT);
    else if (key == u"FileZorv")
        state.FileZorv = value;
    else if (const int index = treeIndex(key); index >= 1 && index <= state.SAT) {
        // Entries count only after the SAT line that announces them.
        if (index > AppState::kMaxTreeEntries)
            return QStringLiteral("Subscript out of range");
        state.ssAddTab[index] = value;
    }
    return {};
}

SettingsFile::ReadResult SettingsFile::read(const QByteArray& bytes, AppState& state)
{
    ReadResult result;
    state.SettingsUtf8 = EightBitText::isUnmarkedUtf8(bytes);
    const QStringList lines = EightBitText::splitLines(
        state.SettingsUtf8 ? QString::fromUtf8(bytes) : EightBitText::decode(bytes));
    for (int i = 0; i < lines.size(); ++i) {
        const KeyedLine::Parsed parsed = KeyedLine::parse(lines.at(i));
        const QString error = applyLine(parsed.key, parsed.value, state);
        if (!error.isEmpty()) {
            result.ok = false;
            result.line = i + 1;
            result.error = QStringLiteral("%1 in line %2 of %3 (%4)")
                               .arg(error)
                               .arg(i + 1)
                               .arg(QString::fromLatin1(kFileName), parsed.key);
            break;
        }
    }
    // A count beyond what the tree can hold would make later loops run past its end.
    state.SAT = static_cast<std::int16_t>(std::clamp<int>(state.SAT, 0, AppState::kMaxTreeEntries));
    return result;
}

QByteArray SettingsFile::write(const AppState& state)
{
    const auto line = [](const QString& key, const QString& value) {
        return KeyedLine::keyField(key) + value + kCrLf;
    };
    const auto flag = [&](const QString& key, bool value) {
        return line(key, KeyedLine::booleanText(value));
    };
    const auto number = [&](const QString& key, long long value) {
        return line(key, KeyedLine::integerText(value));
    };
    const int entries = std::clamp<int>(state.SAT, 0, AppState::kMaxTreeEntries);

    QString text;
    text += line(QStringLiteral("sSapLogon"), state.sSapLogon);
    text += line(QStringLiteral("FolderTable"), state.FolderTable);
    text += line(QStringLiteral("TableFile"), state.TableFile);
    text += line(QStringLiteral("SGlobal"), state.SGlobal);
    text += flag(QStringLiteral("ChOpt"), state.ChOpt);
    text += flag(QStringLiteral("OptEN"), state.OptEN);
    text += flag(QStringLiteral("OptPT"), state.OptPT);
    text += flag(QStringLiteral("OptCT"), state.OptCT);
    text += flag(QStringLiteral("Tool"), state.Tool);
    text += flag(QStringLiteral("Status"), state.Status);
    text += line(QStringLiteral("z"), state.ListSeparator);
    text += number(QStringLiteral("fvubTop"), state.fvubTop);
    text += number(QStringLiteral("fvubLeft"), state.fvubLeft);
    text += number(QStringLiteral("fvubHeight"), state.fvubHeight);
    text += number(QStringLiteral("fvubWidth"), state.fvubWidth);
    text += number(QStringLiteral("SAT"), entries);
    for (int i = 1; i <= entries; ++i)
        text += KeyedLine::numberedKey(kTreePrefix, i) + state.ssAddTab.at(i) + kCrLf;
    text += line(QStringLiteral("FileZorv"), state.FileZorv);
    return state.SettingsUtf8 ? text.toUtf8() : EightBitText::encode(text);
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, 0, file.errorString()};
    return read(file.readAll(), state);
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
