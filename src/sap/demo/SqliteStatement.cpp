#include "sap/demo/SqliteStatement.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql) : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &m_stmt, nullptr) !=
        SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(db));
        m_stmt = nullptr;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::bindText(int index, const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
}

void SqliteStatement::bindDouble(int index, double value)
{
    sqlite3_bind_double(m_stmt, index, value);
}

void SqliteStatement::bindInt(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void SqliteStatement::bindBlob(int index, const QByteArray& value)
{
    sqlite3_bind_blob(m_stmt, index, value.constData(), static_cast<int>(value.size()),
                      SQLITE_TRANSIENT);
}

void SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
}

bool SqliteStatement::step()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return false;
}

bool SqliteStatement::reset()
{
    return m_stmt && sqlite3_reset(m_stmt) == SQLITE_OK;
}

int SqliteStatement::columnType(int column) const
{
    return sqlite3_column_type(m_stmt, column);
}

QString SqliteStatement::text(int column) const
{
    int bytes = 0;
    const char* data = utf8(column, &bytes);
    return QString::fromUtf8(data, bytes);
}

const char* SqliteStatement::utf8(int column, int* bytes) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    *bytes = sqlite3_column_bytes(m_stmt, column);
    return data;
}

double SqliteStatement::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QByteArray SqliteStatement::blob(int column) const
{
    const void* data = sqlite3_column_blob(m_stmt, column);
    const int bytes = sqlite3_column_bytes(m_stmt, column);
    return QByteArray(static_cast<const char*>(data), bytes);
}
