#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Cells as a spreadsheet pastes them: tab-separated values, one line per row. A tab or a line
// break inside a value would split it, so each becomes a blank; values lose their outer blanks.
class ClipboardText
{
public:
    static QString tabSeparated(const QList<QStringList>& rows);
    static void put(const QString& text);
};
