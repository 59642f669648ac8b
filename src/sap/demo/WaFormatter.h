#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Writes one value into its slot of a DATA line as RFC_READ_TABLE does: exactly `length`
// characters, by the field's ABAP type letter.
class WaFormatter
{
public:
    static void appendText(QString& line, QStringView text, int length);   // C, D, T
    static void appendDigits(QString& line, QStringView text, int length); // N
    static void appendPacked(QString& line, double value, int length, int decimals);
    static void appendHex(QString& line, const QByteArray& bytes, int length); // X, I
    // As appendText or appendDigits for a value in plain ASCII; false (nothing appended) when
    // the bytes are not all ASCII.
    static bool appendAscii(QString& line, const char* bytes, int size, int length, bool digits);

    static QString packed(double value, int length, int decimals);
};
