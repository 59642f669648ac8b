#pragma once

#include <QString>
#include <QStringList>

// Where the files shipped with the program (the starting settings file, the manual) are: beside
// the executable in a build tree or a folder of its own, under ../share/zorv when installed to a
// prefix such as /usr.
class ShippedFiles
{
public:
    // ../share/zorv seen from the executable's folder when that folder exists, else empty.
    static QString sharedFolder(const QString& executableFolder);
    // The places a shipped file may be, in the order they are tried.
    static QStringList candidates(const QString& executableFolder, const QString& relativePath);
    // The first of those that exists, or empty.
    static QString find(const QString& executableFolder, const QString& relativePath);

    static QString manualPage() { return QStringLiteral("help/index.html"); }
    static QString startingSettings() { return QStringLiteral("Zorv.ini"); }
};
