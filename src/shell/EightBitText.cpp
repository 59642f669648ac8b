#include "EightBitText.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

namespace {
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
