#include "shell/XmlText.h"

QString XmlText::escaped(QStringView text)
{
    return escaped(text, Options());
}

QString XmlText::escaped(QStringView text, const Options& options)
{
    QString xml;
    xml.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (options.ownForm && options.ownForm(text, i, xml))
            continue;
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'&':
            xml += options.ampersand == Ampersand::Numeric ? QStringLiteral("&#38;")
                                                           : QStringLiteral("&amp;");
            break;
        case u'<':
            xml += QStringLiteral("&lt;");
            break;
        case u'>':
            xml += QStringLiteral("&gt;");
            break;
        case u'"':
            xml += options.quotes ? QStringLiteral("&quot;") : QStringLiteral("\"");
            break;
        case u'\'':
            xml += options.apostrophes ? QStringLiteral("&apos;") : QStringLiteral("'");
            break;
        case u'\r':
            xml += QStringLiteral("&#13;");
            break;
        default:
            xml += c.unicode() < 0x20 && c != u'\t' && c != u'\n' ? QChar(u'?') : c;
        }
    }
    return xml;
}
