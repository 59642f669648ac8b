#include "query/export/SapValues.h"

#include <QDate>

namespace
{
// Day 0 as spreadsheets count the days from March 1900 on.
const QDate kDayZero(1899, 12, 30);
} // namespace

double SapValues::serialDate(QStringView yyyymmdd)
{
    const QStringView text = yyyymmdd.trimmed();
    if (text.size() != 8)
        return -1;
    bool ok = false;
    const int year = text.left(4).toInt(&ok);
    const int month = ok ? text.mid(4, 2).toInt(&ok) : 0;
    const int day = ok ? text.mid(6, 2).toInt(&ok) : 0;
    const QDate date(year, month, day);
    if (!ok || !date.isValid() || year < 1900)
        return -1;
    return static_cast<double>(kDayZero.daysTo(date));
}

double SapValues::serialTime(QStringView hhmmss)
{
    const QStringView text = hhmmss.trimmed();
    if (text.size() != 6)
        return -1;
    bool ok = false;
    const int hours = text.left(2).toInt(&ok);
    const int minutes = ok ? text.mid(2, 2).toInt(&ok) : 0;
    const int seconds = ok ? text.mid(4, 2).toInt(&ok) : 0;
    if (!ok || hours > 23 || minutes > 59 || seconds > 59)
        return -1;
    return (hours * 3600 + minutes * 60 + seconds) / 86400.0;
}

bool SapValues::packedNumber(QStringView text, double* number, int* decimals)
{
    QStringView value = text.trimmed();
    bool negative = false;
    if (value.endsWith(u'-')) {
        negative = true;
        value.chop(1);
    } else if (value.startsWith(u'-')) {
        negative = true;
        value = value.mid(1);
    }
    value = value.trimmed();
    if (value.isEmpty())
        return false;
    for (QChar c : value) {
        if (!c.isDigit() && c != u'.')
            return false;
    }
    bool ok = false;
    const double parsed = value.toDouble(&ok);
    if (!ok)
        return false;
    const qsizetype point = value.indexOf(u'.');
    *decimals = point < 0 ? 0 : static_cast<int>(value.size() - point - 1);
    *number = negative ? -parsed : parsed;
    return true;
}
