#pragma once

#include <QIcon>
#include <QString>

// The program's pictures, by alias name ("connect", "folder-open", ...).
class Icons
{
public:
    static QIcon get(const QString& name);
};
