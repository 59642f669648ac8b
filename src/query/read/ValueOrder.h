#pragma once

#include <QChar>
#include <QStringView>

// How two values of one field compare, by the field's type as RFC_READ_TABLE writes it:
// numbers (P, I, b, s, F, and the digits of N) by their value with a trailing minus read as a
// sign, everything else (dates and times are fixed-width digits) by its text. An empty value
// comes first; a number that did not fit its output length (stars) comes after all numbers.
class ValueOrder
{
public:
    static bool numeric(QChar type);
    // Below 0, 0 or above 0, as a is before, beside or after b.
    static int compare(QStringView a, QStringView b, QChar type);
};
