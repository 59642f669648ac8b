#include "query/read/KeyField.h"

namespace
{
QStringView trimmed(QStringView text)
{
    return text.trimmed();
}

// A packed value as the system writes it ("  1234.50-"), split into sign and digits.
struct Decimal {
    bool negative = false;
    QStringView whole;
    QStringView fraction;
    bool valid = false;
};

Decimal decimal(QStringView text)
{
    Decimal d;
    QStringView t = trimmed(text);
    if (t.endsWith(u'-')) {
        d.negative = true;
        t.chop(1);
    } else if (t.startsWith(u'-')) {
        d.negative = true;
        t = t.mid(1);
    }
    t = trimmed(t);
    const qsizetype point = t.indexOf(u'.');
    d.whole = point < 0 ? t : t.left(point);
    d.fraction = point < 0 ? QStringView() : t.mid(point + 1);
    while (!d.whole.isEmpty() && d.whole.front() == u'0')
        d.whole = d.whole.mid(1);
    while (!d.fraction.isEmpty() && d.fraction.back() == u'0')
        d.fraction.chop(1);
    d.valid = true;
    for (QChar c : t) {
        if (!c.isDigit() && c != u'.')
            d.valid = false;
    }
    if (d.whole.isEmpty() && d.fraction.isEmpty())
        d.negative = false; // -0 is 0
    return d;
}

int compareMagnitude(const Decimal& a, const Decimal& b)
{
    if (a.whole.size() != b.whole.size())
        return a.whole.size() < b.whole.size() ? -1 : 1;
    if (const int c = a.whole.compare(b.whole); c != 0)
        return c;
    return a.fraction.compare(b.fraction);
}

int sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

std::optional<qint64> integer(QStringView hex, const QString& dataType)
{
    bool ok = false;
    const quint64 bits = hex.trimmed().toULongLong(&ok, 16);
    if (!ok)
        return std::nullopt;
    if (dataType == u"INT1")
        return static_cast<qint64>(bits & 0xFF);
    if (dataType == u"INT2")
        return static_cast<qint64>(static_cast<qint16>(bits & 0xFFFF));
    if (dataType == u"INT4")
        return static_cast<qint64>(static_cast<qint32>(bits & 0xFFFFFFFF));
    return static_cast<qint64>(bits);
}
} // namespace

KeyField KeyField::fromDictionary(const QString& name, int length, const QString& dataType)
{
    KeyField field;
    field.name = name.trimmed().toUpper();
    field.length = length;
    field.dataType = dataType.trimmed().toUpper();
    field.client = field.dataType == u"CLNT";
    field.kind = kindOf(field.dataType);
    return field;
}

KeyField::Kind KeyField::kindOf(const QString& dataType)
{
    if (dataType == u"DEC" || dataType == u"CURR" || dataType == u"QUAN")
        return Kind::Decimal;
    if (dataType == u"INT1" || dataType == u"INT2" || dataType == u"INT4" || dataType == u"INT8")
        return Kind::Integer;
    return Kind::Text;
}

int KeyField::compare(QStringView a, QStringView b) const
{
    switch (kind) {
    case Kind::Decimal: {
        const Decimal x = decimal(a);
        const Decimal y = decimal(b);
        if (!x.valid || !y.valid)
            break;
        if (x.negative != y.negative)
            return x.negative ? -1 : 1;
        const int magnitude = compareMagnitude(x, y);
        return x.negative ? -magnitude : magnitude;
    }
    case Kind::Integer: {
        const auto x = integer(a, dataType);
        const auto y = integer(b, dataType);
        if (!x || !y)
            break;
        return *x < *y ? -1 : (*x > *y ? 1 : 0);
    }
    case Kind::Text:
        break;
    }
    // Text compares as the line carries it: blank-padded, so "A" sorts before "A1" as a
    // database compares the stored values.
    QStringView x = a;
    QStringView y = b;
    while (x.endsWith(u' '))
        x.chop(1);
    while (y.endsWith(u' '))
        y.chop(1);
    return sign(x.compare(y));
}

std::optional<QString> KeyField::literal(QStringView value) const
{
    QString text;
    switch (kind) {
    case Kind::Decimal: {
        const Decimal d = decimal(value);
        if (!d.valid)
            return std::nullopt;
        text = (d.negative ? QStringLiteral("-") : QString()) +
               (d.whole.isEmpty() ? QStringLiteral("0") : d.whole.toString());
        if (!d.fraction.isEmpty())
            text += u'.' + d.fraction.toString();
        break;
    }
    case Kind::Integer: {
        const auto number = integer(value, dataType);
        if (!number)
            return std::nullopt;
        text = QString::number(*number);
        break;
    }
    case Kind::Text: {
        QStringView v = value;
        while (v.endsWith(u' '))
            v.chop(1);
        text = v.isEmpty() ? QStringLiteral(" ") : v.toString();
        text.replace(u'\'', QStringLiteral("''"));
        break;
    }
    }
    return u'\'' + text + u'\'';
}
