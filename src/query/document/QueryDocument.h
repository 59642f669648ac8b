#pragma once

#include <QString>
#include <QStringList>

// One query as a query window holds it and its document file stores it; QueryDocumentFile maps
// the file's keys to these members.
struct QueryDocument {
    QString exportFile;         // the last export file
    bool singleClick = false;   // the tree opens a node on a single click
    bool rowLimitShown = false; // the row-limit controls are shown
    qint32 rowLimit = 0;
    int fieldCount = 0;  // fields as counted in the file (may be out of range when read)
    int optionCount = 0; // option lines as counted in the file
    QStringList fields;  // My Table's fields as entries, "C010 KNA1-KUNNR Customer"
    QStringList options; // the option lines

    bool operator==(const QueryDocument&) const = default;
};
