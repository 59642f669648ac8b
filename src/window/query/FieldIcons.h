#pragma once

#include <QIcon>
#include <QString>

// The field-type pictures of the field lists, by SAP type letter.
class FieldIcons
{
public:
    static QIcon forType(const QString& letter);
};
