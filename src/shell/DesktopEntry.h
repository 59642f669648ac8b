#pragma once

#include <QString>

// Reads the program of a freedesktop.org ".desktop" entry, which is how Linux desktops record
// the program associated with a kind of file.
class DesktopEntry
{
public:
    // The Exec value of the [Desktop Entry] group, or empty.
    static QString execLine(const QString& fileContent);
    // The program of an Exec value: its first word, quotes removed.
    static QString program(const QString& execLine);
};
