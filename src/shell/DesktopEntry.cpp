#include "DesktopEntry.h"

#include <QStringList>

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
                return line.mid(eq + 1).trimmed();
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
