#pragma once

#include <QStringList>

#include <cstdio>

class DestinationFactory;

// zorv read-table TABLE: one RFC_READ_TABLE call with the parameters given, printing the
// FIELDS table, an empty line, then every DATA line as the system returned it.
class ReadTableCommand
{
public:
    // args excludes the program name and the command. Returns the exit status.
    static int run(const QStringList& args, DestinationFactory& factory, std::FILE* out,
                   std::FILE* err);
};
