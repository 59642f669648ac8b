#pragma once

#include <QString>

// What the first command-line argument asks for, and the usage text printed for help and for
// a command that does not exist.
class ProgramCommand
{
public:
    enum class Kind { Window, Version, Help, DemoDb, ReadTable, Export, Unknown };

    // first: argv[1], or empty when there is none. Any other word starting with "-" is left to
    // the window (Qt's own options such as -platform).
    static Kind classify(const QString& first);
    static QString usage();
};
