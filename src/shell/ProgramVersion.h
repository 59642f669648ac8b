#pragma once

#include <QString>

// The version text the program shows: major.minor.revision of its file version.
class ProgramVersion
{
public:
    // "0.3.0.20" gives "0.3.20"; missing parts count as 0.
    static QString fromFileVersion(const QString& fileVersion);
    static QString fileVersion(); // the file version this build carries
    static QString text();        // fromFileVersion(fileVersion())
};
