#include "DesktopEntry.h"

#include <QStringList>

// Values are unescaped as strings first (\s \n \t \r \\); quoting comes after.
static QString unescape(const QString& value)
{
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 >= value.size()) {
            result += c;
            continue;
        }
        const QChar next = value.at(++i);
        if (next == u's')
            result += u' ';
        else if (next == u'n')
            result += u'\n';
        else if (next == u't')
            result += u'\t';
        else if (next == u'r')
            result += u'\r';
        else if (next == u'\\')
            result += u'\\';
        else
            result += QString(u'\\') + next;
    }
    return result;
}

QString DesktopEntry::execLine(const QString& fileContent)
{
    bool inMainGroup = false;
    const QStringList lines = fileContent.split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = (line == QStringLiteral("[Desktop Entry]"));
            continue;
        }
        if (inMainGroup && line.startsWith(QStringLiteral("Exec"))) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq > 0 && line.left(eq).trimmed() == QStringLiteral("Exec"))
                return unescape(line.mid(eq + 1).trimmed());
        }
    }
    return {};
}

QString DesktopEntry::program(const QString& execLine)
{
    const QString line = execLine.trimmed();
    if (line.startsWith(u'"')) {
        QString word;
        for (qsizetype i = 1; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == u'\\' && i + 1 < line.size()) {
                word += line.at(++i);
            } else if (c == u'"') {
                return word;
            } else {
                word += c;
            }
        }
        return word;
    }
    const qsizetype space = line.indexOf(u' ');
    return space < 0 ? line : line.left(space);
}
