#pragma once

#include <QString>
#include <QStringList>

// The query documents last opened or saved, newest first, at most kMost. They are kept in a
// file of their own beside the settings file, one path a line in UTF-8, so that the settings
// file keeps its own lines.
class RecentDocuments
{
public:
    static constexpr int kMost = 8;

    static QString pathIn(const QString& folder);

    explicit RecentDocuments(QString file) : m_file(std::move(file)) {}

    QStringList paths() const;
    // Puts the document first; false when the list could not be written.
    bool add(const QString& document);
    bool remove(const QString& document);

private:
    bool write(const QStringList& paths) const;

    QString m_file;
};
