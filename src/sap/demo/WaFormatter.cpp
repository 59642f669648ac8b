#include "sap/demo/WaFormatter.h"

#include <cmath>
#include <cstdio>
#include <cstring>

void WaFormatter::appendText(QString& line, QStringView text, int length)
{
    const qsizetype used = std::min<qsizetype>(text.size(), length);
    line.append(text.left(used));
    line.resize(line.size() + (length - used), u' ');
}

void WaFormatter::appendDigits(QString& line, QStringView text, int length)
{
    if (text.size() >= length) {
        line.append(text.right(length));
        return;
    }
    line.resize(line.size() + (length - text.size()), u'0');
    line.append(text);
}

QString WaFormatter::packed(double value, int length, int decimals)
{
    const bool negative = value < 0 && std::abs(value) >= 0.5 * std::pow(10.0, -decimals);
    QString text = QString::number(std::abs(value), 'f', decimals);
    text += negative ? u'-' : u' ';
    if (text.size() > length && !negative)
        text.chop(1); // a positive number first gives up its sign position
    if (text.size() > length) {
        text = text.right(length);
        if (!text.isEmpty())
            text[0] = u'*';
    }
    return text.rightJustified(length, u' ');
}

void WaFormatter::appendPacked(QString& line, double value, int length, int decimals)
{
    // Formatted in a small buffer: this runs once per amount of every row read.
    char digits[64];
    const bool negative = value < 0 && std::abs(value) >= 0.5 * std::pow(10.0, -decimals);
    int size = 0;
    static constexpr double kScales[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double scaled = decimals >= 0 && decimals <= 9 ? std::abs(value) * kScales[decimals] : -1;
    if (scaled >= 0 && scaled < 9e15) {
        // Whole numbers of the smallest unit, written by hand: exact and much faster.
        unsigned long long units = static_cast<unsigned long long>(std::llround(scaled));
        char reversed[32];
        int n = 0;
        do {
            reversed[n++] = static_cast<char>('0' + units % 10);
            units /= 10;
            if (n == decimals)
                reversed[n++] = '.';
        } while (units > 0 || n <= decimals);
        while (n > 0)
            digits[size++] = reversed[--n];
        if (decimals > 0 && digits[0] == '.') { // "0.5", not ".5"
            std::memmove(digits + 1, digits, static_cast<size_t>(size));
            digits[0] = '0';
            ++size;
        }
    } else {
        size = std::snprintf(digits, sizeof digits - 1, "%.*f", decimals, std::abs(value));
        if (size < 0 || size >= static_cast<int>(sizeof digits) - 1) {
            line.append(packed(value, length, decimals));
            return;
        }
    }
    digits[size++] = negative ? '-' : ' ';
    if (size > length && !negative)
        --size; // a positive number first gives up its sign position
    const char* from = digits;
    bool cut = false;
    if (size > length) {
        from += size - length;
        size = length;
        cut = true;
    }
    const qsizetype start = line.size();
    line.resize(start + length, u' ');
    QChar* out = line.data() + start + (length - size);
    for (int i = 0; i < size; ++i)
        out[i] = QChar(static_cast<char16_t>(from[i]));
    if (cut && size > 0)
        out[0] = u'*';
}

void WaFormatter::appendHex(QString& line, const QByteArray& bytes, int length)
{
    const QString hex = QString::fromLatin1(bytes.toHex().toUpper());
    appendText(line, hex, length);
}

bool WaFormatter::appendAscii(QString& line, const char* bytes, int size, int length, bool digits)
{
    for (int i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    }
    const int used = std::min(size, length);
    const qsizetype start = line.size();
    line.resize(start + length);
    QChar* out = line.data() + start;
    const int pad = length - used;
    // Digits keep their last places and are filled with zeros on the left; text keeps its
    // first places and is filled with blanks on the right.
    const char* from = digits ? bytes + (size - used) : bytes;
    QChar* to = digits ? out + pad : out;
    for (int i = 0; i < used; ++i)
        to[i] = QChar(static_cast<char16_t>(from[i]));
    QChar* fill = digits ? out : out + used;
    for (int i = 0; i < pad; ++i)
        fill[i] = digits ? u'0' : u' ';
    return true;
}
