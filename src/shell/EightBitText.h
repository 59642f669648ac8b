#pragma once

#include <QByteArray>
#include <QString>

// Text files the program shares with its Windows users are kept in the Windows 8-bit code page
// (windows-1252). A text that the code page cannot hold is written as UTF-8 behind a byte order
// mark instead, so nothing is lost and the choice is never ambiguous when read back.
class EightBitText
{
public:
    static QByteArray encode(const QString& text);
    static QString decode(const QByteArray& bytes);
    // Splits on CR LF, lone CR or lone LF; a final line end does not start an empty line.
    static QStringList splitLines(const QString& text);
};
