#pragma once

#include <QStringList>

#include <cstdio>

class DestinationFactory;

// zorv export QUERY.txt: writes the file that the window's export (the menu's Import Table)
// would write from a window showing that saved query, without any window. Progress and errors
// go to err.
class ExportCommand
{
public:
    static int run(const QStringList& args, DestinationFactory& factory, std::FILE* out,
                   std::FILE* err);
};
