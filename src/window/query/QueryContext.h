#pragma once

#include "query/read/KeyCatalog.h"

#include <QString>

#include <memory>

class ShellHost;
class TableReader;

// What every query window uses of the rest of the program.
struct QueryContext {
    ShellHost& host;
    TableReader& reader;
    QString programFolder;
    // The key fields read from the connected system's dictionary, shared by every window.
    std::shared_ptr<KeyCatalog> keys = std::make_shared<KeyCatalog>();
};
