#include "shell/KeyedLine.h"

#include <cmath>
#include <limits>

namespace
{
const QString kTypeMismatch = QStringLiteral("Type mismatch");
const QString kOverflow = QStringLiteral("Overflow");
} // namespace

QString KeyedLine::keyField(const QString& key)
{
    return key.leftJustified(kKeyWidth, u' ', true);
}

QString KeyedLine::numberedKey(const QString& prefix, int number)
{
    return keyField(prefix + QStringLiteral("%1 ").arg(number, 3, 10, QChar(u'0')));
}

QString KeyedLine::integerText(long long value)
{
    const QString digits = QString::number(value < 0 ? -value : value);
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + digits + u' ';
}

QString KeyedLine::booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

KeyedLine::Parsed KeyedLine::parse(const QString& line)
{
    Parsed parsed;
    QString key = line.left(kKeyWidth);
    while (!key.isEmpty() && key.back() == u' ')
        key.chop(1);
    parsed.key = key;
    parsed.value = line.mid(kKeyWidth);
    return parsed;
}

KeyedLine::Converted<long long> KeyedLine::toWholeNumber(const QString& text, long long min,
                                                         long long max)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (!ok || trimmed.isEmpty() || !std::isfinite(number))
        return {std::nullopt, kTypeMismatch};
    // Whole-number conversion rounds halves to even, as the files' original readers did.
    const double rounded = std::nearbyint(number);
    if (rounded < static_cast<double>(min) || rounded > static_cast<double>(max))
        return {std::nullopt, kOverflow};
    return {static_cast<long long>(rounded), {}};
}

KeyedLine::Converted<std::int16_t> KeyedLine::toInteger(const QString& text)
{
    const auto n = toWholeNumber(text, std::numeric_limits<std::int16_t>::min(),
                                 std::numeric_limits<std::int16_t>::max());
    if (!n.value)
        return {std::nullopt, n.error};
    return {static_cast<std::int16_t>(*n.value), {}};
}

KeyedLine::Converted<std::int32_t> KeyedLine::toLong(const QString& text)
{
    const auto n = toWholeNumber(text, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max());
    if (!n.value)
        return {std::nullopt, n.error};
    return {static_cast<std::int32_t>(*n.value), {}};
}

KeyedLine::Converted<bool> KeyedLine::toBoolean(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return {true, {}};
    if (trimmed.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return {false, {}};
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return {std::nullopt, kTypeMismatch};
    return {number != 0.0, {}};
}
