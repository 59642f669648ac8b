#include "window/query/OptionLineParts.h"

#include <algorithm>

QString OptionLineParts::line() const
{
    return field + u' ' + op + u' ' + value + u' ' + conjunction;
}

OptionLineParts OptionLineParts::split(const QString& line, const QStringList& operators)
{
    OptionLineParts parts;
    const qsizetype blank = line.indexOf(u' ');
    if (blank < 0) {
        parts.field = line;
        return parts;
    }
    parts.field = line.left(blank);
    QString rest = line.mid(blank + 1);
    // The longest operator first: "NOT LIKE" is not "NOT" and a value.
    QStringList byLength = operators;
    std::sort(byLength.begin(), byLength.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    // An empty operator leaves two blanks after the field.
    if (rest.startsWith(u' '))
        byLength.clear();
    for (const QString& op : byLength) {
        if (!op.isEmpty() && rest.startsWith(op + u' ')) {
            parts.op = op;
            rest = rest.mid(op.size() + 1);
            break;
        }
    }
    if (parts.op.isEmpty() && rest.startsWith(u' '))
        rest = rest.mid(1);
    for (const char* word : {"AND", "OR"}) {
        const QString conjunction = QString::fromLatin1(word);
        if (rest.endsWith(u' ' + conjunction)) {
            parts.conjunction = conjunction;
            rest.chop(conjunction.size() + 1);
            parts.value = rest;
            return parts;
        }
    }
    // The empty conjunction leaves the line's last blank.
    if (rest.endsWith(u' '))
        rest.chop(1);
    parts.value = rest;
    return parts;
}

QStringList OptionLineParts::keysFor(const QString& typed, const QStringList& keys)
{
    const QString wanted = typed.trimmed();
    if (wanted.isEmpty())
        return {};
    for (const QString& key : keys) {
        if (key.compare(wanted, Qt::CaseInsensitive) == 0)
            return {key};
    }
    QStringList named;
    for (const QString& key : keys) {
        const qsizetype hyphen = key.indexOf(u'-');
        if (hyphen >= 0 && key.mid(hyphen + 1).compare(wanted, Qt::CaseInsensitive) == 0)
            named.append(key);
    }
    return named;
}
