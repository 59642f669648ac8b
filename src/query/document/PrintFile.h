#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class DesktopServices;

// The print file Fields.txt in the program's folder: every list of a query window is printed
// by writing it there and opening it in the program the desktop associates with it.
class PrintFile
{
public:
    static constexpr const char* kFileName = "Fields.txt";

    struct FieldLine {
        QString key;
        QString text;
        QString type;
        int length = 0;
    };

    // The numbered field layout: a header line, an empty line, one line per field.
    static QStringList fieldLines(const QVector<FieldLine>& fields);
    static QString pathIn(const QString& folder);
    // CR LF line ends, the Windows 8-bit code page; the whole file or the old one.
    static bool write(const QString& path, const QStringList& lines);
    // Opens the file in its associated program; "No File" when that fails.
    static void showPrintFile(DesktopServices& services, const QString& path);
};
