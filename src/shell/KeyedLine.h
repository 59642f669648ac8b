#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Lines of the program's text files (settings and query documents): a key field of exactly
// 13 characters followed by the value, with numbers and flags written in one fixed form.
class KeyedLine
{
public:
    static constexpr int kKeyWidth = 13;

    struct Parsed {
        QString key; // the key field without its padding
        QString value;
    };

    // A conversion that failed carries a short description of why.
    template <typename T> struct Converted {
        std::optional<T> value;
        QString error;
    };

    static QString keyField(const QString& key);
    static QString numberedKey(const QString& prefix, int number); // "ssAddTab 007 "
    static QString integerText(long long value);                   // " 1275 ", "-5 "
    static QString booleanText(bool value);                        // "True", "False"
    static Parsed parse(const QString& line);

    static Converted<std::int16_t> toInteger(const QString& text);
    static Converted<std::int32_t> toLong(const QString& text);
    static Converted<bool> toBoolean(const QString& text);

private:
    static Converted<long long> toWholeNumber(const QString& text, long long min, long long max);
};
