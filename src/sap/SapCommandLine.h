#pragma once

#include <QStringList>

#include <cstdio>

class DestinationFactory;

// The command-line tools of the SAP access layer: building the demo database, and calling
// RFC_READ_TABLE once and printing what it returns.
class SapCommandLine
{
public:
    // args excludes the program name: {"read-table", "KNA1", ...}. Returns the exit status.
    static int demoDb(const QStringList& args, std::FILE* out, std::FILE* err);
    static int readTable(const QStringList& args, DestinationFactory& factory, std::FILE* out,
                         std::FILE* err);
};
