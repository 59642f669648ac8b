#include "query/read/ValueOrder.h"

#include <QString>

#include <optional>

namespace
{
// "1234.56-", "-12", "  42", "1.5E+03": the value; nothing when it is no number.
std::optional<double> numberOf(QStringView text)
{
    QString value = text.trimmed().toString();
    bool negative = false;
    if (value.endsWith(u'-')) {
        negative = true;
        value.chop(1);
    }
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return negative ? -number : number;
}
} // namespace

bool ValueOrder::numeric(QChar type)
{
    switch (type.unicode()) {
    case u'P':
    case u'I':
    case u'b':
    case u's':
    case u'F':
    case u'N':
        return true;
    default:
        return false;
    }
}

int ValueOrder::compare(QStringView a, QStringView b, QChar type)
{
    const bool aEmpty = a.trimmed().isEmpty();
    const bool bEmpty = b.trimmed().isEmpty();
    if (aEmpty || bEmpty)
        return int(bEmpty) - int(aEmpty);
    if (numeric(type)) {
        const std::optional<double> x = numberOf(a);
        const std::optional<double> y = numberOf(b);
        if (x && y)
            return *x < *y ? -1 : (*x > *y ? 1 : 0);
        if (x || y)
            return x ? -1 : 1;
    }
    const int text = a.compare(b, Qt::CaseSensitive);
    return text < 0 ? -1 : (text > 0 ? 1 : 0);
}
