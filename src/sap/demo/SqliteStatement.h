#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// A prepared SQLite statement, finalized when it goes out of scope.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3* db, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool valid() const { return m_stmt != nullptr; }
    QString error() const { return m_error; }

    void bindText(int index, const QString& value);
    void bindDouble(int index, double value);
    void bindInt(int index, qint64 value);
    void bindBlob(int index, const QByteArray& value);
    void bindNull(int index);
    // True while a row is available; false at the end or on an error (see error()).
    bool step();
    bool reset();

    int columnType(int column) const; // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, ...
    QString text(int column) const;
    const char* utf8(int column, int* bytes) const;
    double real(int column) const;
    qint64 integer(int column) const;
    QByteArray blob(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_error;
};
