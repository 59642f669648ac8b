#pragma once

#include <QLocale>
#include <QString>

// The elapsed time of a read as the status line shows it: "1 h 2 min 5.50 s", "2 min 0.25 s",
// "0.75 s", the seconds with two decimals in the user's locale.
class ElapsedText
{
public:
    static QString format(double seconds, const QLocale& locale = QLocale());
};
