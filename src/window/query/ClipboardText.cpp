#include "window/query/ClipboardText.h"

#include <QClipboard>
#include <QGuiApplication>

QString ClipboardText::tabSeparated(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                text += u'\t';
            QString value = row.at(c).trimmed();
            for (QChar& ch : value) {
                if (ch == u'\t' || ch == u'\n' || ch == u'\r')
                    ch = u' ';
            }
            text += value;
        }
        text += u'\n';
    }
    return text;
}

void ClipboardText::put(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}
