#include "query/read/ElapsedText.h"

#include <cmath>

QString ElapsedText::format(double seconds, const QLocale& locale)
{
    const double hours = seconds / 3600.0;
    const double h = std::floor(hours);
    const double minutes = (hours - h) * 60.0;
    const double m = std::floor(minutes);
    const double s = (minutes - m) * 60.0;
    const QString sec = locale.toString(s, 'f', 2) + QStringLiteral(" s");
    if (h > 0)
        return QStringLiteral("%1 h %2 min ").arg(h, 0, 'f', 0).arg(m, 0, 'f', 0) + sec;
    if (m > 0)
        return QStringLiteral("%1 min ").arg(m, 0, 'f', 0) + sec;
    return sec;
}
