#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Text files the program shares with its Windows users are kept in the Windows 8-bit code page
// (windows-1252). A text that the code page cannot hold is written as UTF-8 behind a byte order
// mark instead, so nothing is lost and the choice is never ambiguous when read back.
class EightBitText
{
public:
    static QByteArray encode(const QString& text);
    static QString decode(const QByteArray& bytes);
    // Bytes with no mark that are valid UTF-8 and not plain ASCII: text an editor saved as UTF-8,
    // which windows-1252 would misread ("Relatórios" as "RelatÃ³rios").
    static bool isUnmarkedUtf8(const QByteArray& bytes);
    // Appends the windows-1252 bytes of text to out, fast, for large files written line by
    // line; characters the code page cannot hold become "?" and are counted in the result.
    static int appendCodePage(QStringView text, QByteArray& out);
    // Splits on CR LF, lone CR or lone LF; a final line end does not start an empty line.
    static QStringList splitLines(const QString& text);
};
