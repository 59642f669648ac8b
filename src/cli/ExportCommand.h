#pragma once

#include <QStringList>

#include <cstdio>

class DestinationFactory;

// zorv export QUERY.txt: writes the file Import would write from a window showing that saved
// query, without any window. Progress and errors go to err.
class ExportCommand
{
public:
    static int run(const QStringList& args, DestinationFactory& factory, std::FILE* out,
                   std::FILE* err);
};
