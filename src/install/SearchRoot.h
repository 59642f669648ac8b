#pragma once

#include <QProcessEnvironment>
#include <QString>

// Where to look for SAP GUI: the system drive on Windows; elsewhere the C: drive of the Wine
// prefix, where a Windows SAP GUI would be installed. An environment variable overrides both.
class SearchRoot
{
public:
    static constexpr const char* kOverride = "ZORV_INSTALL_SEARCH_ROOT";

    static QString choose(const QProcessEnvironment& environment, const QString& home);
};
