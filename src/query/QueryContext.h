#pragma once

#include <QString>

class ShellHost;
class TableReader;

// What every query window uses of the rest of the program.
struct QueryContext {
    ShellHost& host;
    TableReader& reader;
    QString programFolder;
};
