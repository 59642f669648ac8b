#pragma once

#include <QString>
#include <QStringList>

// One query as a query window holds it and its document file stores it.
struct QueryDocument {
    QString MyTableF;     // the last export file
    bool ChSsl = false;   // the tree's single-click mode
    bool ChRow = false;   // the row-limit controls are shown
    qint32 sRows = 0;     // the row limit
    int SFI = 0;          // fields as counted in the file (may be out of range when read)
    int SOP = 0;          // option lines as counted in the file
    QStringList ssField;  // "C010 KNA1-KUNNR Customer", entries 1..SFI (index 0 of the list is 1)
    QStringList ssOption; // option lines 1..SOP

    bool operator==(const QueryDocument&) const = default;
};
