#pragma once

#include <QString>

// A failed installation step: what went wrong and on which file, shown to the user as one line.
class InstallError
{
public:
    // Numbers the user sees; kept stable so that notes and scripts can rely on them.
    static constexpr int kFileNotFound = 53;
    static constexpr int kPathFileAccess = 75;

    InstallError(int number, QString description, QString path);

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& path() const { return m_path; }

    // "Error " + number + ": " + description + " on " + path.
    QString message() const;

private:
    int m_number;
    QString m_description;
    QString m_path;
};
