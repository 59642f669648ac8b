#include "shell/EightBitText.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <algorithm>

namespace
{
constexpr const char* kCodePage = "windows-1252";
const QByteArray kUtf8Mark("\xEF\xBB\xBF");
} // namespace

QByteArray EightBitText::encode(const QString& text)
{
    QStringEncoder encoder(kCodePage);
    if (encoder.isValid()) {
        QByteArray bytes = encoder.encode(text);
        // Text whose code-page bytes begin like the mark must take the marked form too.
        if (!encoder.hasError() && !bytes.startsWith(kUtf8Mark))
            return bytes;
    }
    return kUtf8Mark + text.toUtf8();
}

QString EightBitText::decode(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Mark))
        return QString::fromUtf8(bytes.mid(kUtf8Mark.size()));
    QStringDecoder decoder(kCodePage);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}
bool EightBitText::isUnmarkedUtf8(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Mark))
        return false;
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }))
        return false;
    // Invalid or cut sequences come back as U+FFFD, whose bytes differ from what was there.
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

int EightBitText::appendCodePage(QStringView text, QByteArray& out)
{
    // The 32 places 0x80..0x9F that windows-1252 gives to other characters than Latin-1 does.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    int lost = 0;
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* to = out.data() + start;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            *to++ = static_cast<char>(u);
            continue;
        }
        char byte = '?';
        for (int i = 0; i < 32; ++i) {
            if (kHigh[i] == u && u != 0) {
                byte = static_cast<char>(0x80 + i);
                break;
            }
        }
        if (byte == '?')
            ++lost;
        *to++ = byte;
    }
    return lost;
}

QStringList EightBitText::splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}
