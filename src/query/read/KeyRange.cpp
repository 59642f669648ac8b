#include "query/read/KeyRange.h"
#include "shell/FaultTexts.h"

KeyRange KeyRange::below(const QString& value) const
{
    KeyRange part = *this;
    part.high = value;
    return part;
}

KeyRange KeyRange::from(const QString& value, bool inclusive) const
{
    KeyRange part = *this;
    part.low = value;
    part.lowInclusive = inclusive;
    return part;
}

KeyRange KeyRange::within(const QString& value) const
{
    KeyRange part;
    part.prefix = prefix;
    part.prefix.push_back(value);
    return part;
}

bool KeyRange::emptyBy(const KeyField& field) const
{
    if (!low || !high)
        return false;
    return field.compare(*low, *high) >= 0;
}

bool KeyRange::contains(const std::vector<KeyField>& fields,
                        const std::function<QStringView(int)>& value) const
{
    const int d = depth();
    for (int i = 0; i < d; ++i) {
        if (fields[static_cast<size_t>(i)].compare(value(i), prefix[static_cast<size_t>(i)]) != 0)
            return false;
    }
    if (d >= static_cast<int>(fields.size()))
        return true;
    const KeyField& field = fields[static_cast<size_t>(d)];
    if (low) {
        const int c = field.compare(value(d), *low);
        if (c < 0 || (c == 0 && !lowInclusive))
            return false;
    }
    return !high || field.compare(value(d), *high) < 0;
}

bool KeyRange::tokens(const std::vector<KeyField>& fields, QStringList& out, BiText* why) const
{
    out.clear();
    const auto add = [&](int i, const QString& op, const QString& value) {
        const KeyField& field = fields[static_cast<size_t>(i)];
        const std::optional<QString> literal = field.literal(value);
        if (!literal) {
            if (why)
                *why = FaultTexts::get(FaultText::KeyValueNotWritable).arg(value, field.name);
            return false;
        }
        if (!out.isEmpty())
            out.append(QStringLiteral("AND"));
        out << field.name << op << *literal;
        return true;
    };
    for (int i = 0; i < depth(); ++i) {
        if (!add(i, QStringLiteral("="), prefix[static_cast<size_t>(i)]))
            return false;
    }
    if (low && !add(depth(), lowInclusive ? QStringLiteral(">=") : QStringLiteral(">"), *low))
        return false;
    if (high && !add(depth(), QStringLiteral("<"), *high))
        return false;
    return true;
}

bool KeyRange::anyOf(const std::vector<KeyRange>& ranges, const std::vector<KeyField>& fields,
                     QStringList& out, BiText* why)
{
    out.clear();
    if (ranges.size() == 1)
        return ranges.front().tokens(fields, out, why);
    QStringList one;
    for (const KeyRange& range : ranges) {
        if (!range.tokens(fields, one, why))
            return false;
        if (one.isEmpty()) {
            out.clear(); // the whole table
            return true;
        }
        if (!out.isEmpty())
            out.append(QStringLiteral("OR"));
        out << QStringLiteral("(") << one << QStringLiteral(")");
    }
    return true;
}

bool KeyRange::optionLines(const QStringList& own, const QStringList& condition, int width,
                           QStringList& out, BiText* why)
{
    out.clear();
    if (condition.isEmpty()) {
        out = own;
        return true;
    }
    QStringList tokens;
    if (!own.isEmpty()) {
        // The table's own lines stay as they are, in parentheses of their own lines: a line
        // may end in AND or OR, and a token never straddles two lines.
        out.append(QStringLiteral("("));
        out += own;
        out.append(QStringLiteral(")"));
        tokens.append(QStringLiteral("AND"));
    }
    tokens += condition;
    QString line;
    for (const QString& token : tokens) {
        if (token.size() > width) {
            if (why)
                *why =
                    FaultTexts::get(FaultText::KeyValueTooLong).arg(token, QString::number(width));
            return false;
        }
        if (!line.isEmpty() && line.size() + 1 + token.size() > width) {
            out.append(line);
            line.clear();
        }
        if (!line.isEmpty())
            line += u' ';
        line += token;
    }
    if (!line.isEmpty())
        out.append(line);
    return true;
}
