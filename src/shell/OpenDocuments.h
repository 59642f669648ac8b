#pragma once

#include <QString>
#include <QStringList>

// The query documents open when the program last ended, offered again at the next start.
// They are kept in a file of their own beside the settings file, one path a line in UTF-8.
class OpenDocuments
{
public:
    static QString pathIn(const QString& folder);

    explicit OpenDocuments(QString file) : m_file(std::move(file)) {}

    QStringList paths() const;
    // Replaces the list; false when it could not be written.
    bool write(const QStringList& paths) const;

private:
    QString m_file;
};
