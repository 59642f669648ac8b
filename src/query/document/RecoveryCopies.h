#pragma once

#include "query/document/QueryDocument.h"

#include <QString>
#include <QVector>

// The queries a session held unsaved when it ended without the user, kept as query documents in
// a folder beside the settings file until the next start offers them. Only copies Zorv wrote
// there are ever removed, and a folder that is a link is not used at all.
class RecoveryCopies
{
public:
    struct Copy {
        QString caption; // the window's caption when the copy was made
        QueryDocument document;
    };

    static QString folderIn(const QString& programFolder);
    // Replaces every copy in the folder by these; false when one could not be written, or the
    // folder is a link.
    static bool replace(const QString& folder, const QVector<Copy>& copies);
    // The copies in the order they were kept; files that cannot be read are left out.
    static QVector<Copy> read(const QString& folder);
    static void clear(const QString& folder);
};
