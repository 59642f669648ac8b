#pragma once

#include <QStringView>

// The values of SAP's external formats as numbers a spreadsheet stores: dates ("YYYYMMDD") as
// days since the spreadsheet's day zero, times ("HHMMSS") as fractions of a day, and packed
// numbers as the system writes them ("  1234.50-", sign last).
class SapValues
{
public:
    // Days since 1899-12-30 for "YYYYMMDD", or a negative number when the text is no date.
    static double serialDate(QStringView yyyymmdd);
    // The fraction of a day for "HHMMSS", or a negative number when the text is no time.
    static double serialTime(QStringView hhmmss);
    // The number and its decimals; false when the text is no number (an overflow's "*", say).
    static bool packedNumber(QStringView text, double* number, int* decimals);
};
