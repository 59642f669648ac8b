#pragma once

#include <QString>

struct sqlite3;

// An SQLite database connection, closed when it goes out of scope.
class SqliteDatabase
{
public:
    enum class Mode { ReadOnly, Create };

    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    bool open(const QString& path, Mode mode);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    bool exec(const QString& sql);
    QString error() const { return m_error; }
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
    QString m_error;
};
