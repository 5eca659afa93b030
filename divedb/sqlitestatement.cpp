#include "divedb/sqlitestatement.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlDriver>

#include <sqlite3.h>

#include <cstring>

namespace {

// The connection of Qt's SQLite driver.
sqlite3* handleOf(const QSqlDatabase& database)
{
    const QVariant handle = database.driver() ? database.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

bool sameBytes(const void* stored, int size, const QByteArray& bytes)
{
    return size == bytes.size() && (size == 0 || std::memcmp(stored, bytes.constData(), size_t(size)) == 0);
}

} // namespace

// A file that is no database at all fails every statement with SQLite's own
// reason, which says so.
bool reportsDamage(int sqliteCode)
{
    return (sqliteCode & 0xff) == SQLITE_CORRUPT;
}

SqliteStatement::SqliteStatement(const QSqlDatabase& database, const QString& text, const QList<QVariant>& values)
    : mHandle(handleOf(database))
{
    if (mHandle == nullptr) {
        mError = QCoreApplication::translate("DiveDb", "The database is not open");
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    if (const int code = sqlite3_prepare_v2(mHandle, utf8.constData(), int(utf8.size()), &mStatement, nullptr);
        code != SQLITE_OK) {
        fail(code);
        return;
    }
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!bind(int(i + 1), values.at(i))) {
            fail(sqlite3_errcode(mHandle));
            return;
        }
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(mStatement);
}

bool SqliteStatement::bind(int index, const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt: return bind(index, SqlValue(value.toLongLong()));
    case QMetaType::Double: return bind(index, SqlValue(value.toDouble()));
    default: return bind(index, SqlValue(value.toString()));
    }
}

bool SqliteStatement::bind(int index, const SqlValue& value)
{
    if (const auto* integer = std::get_if<qint64>(&value))
        return sqlite3_bind_int64(mStatement, index, *integer) == SQLITE_OK;
    if (const auto* real = std::get_if<double>(&value))
        return sqlite3_bind_double(mStatement, index, *real) == SQLITE_OK;
    if (const auto* text = std::get_if<QString>(&value)) {
        // Never NULL: an empty text is bound as one.
        const QByteArray utf8 = text->toUtf8();
        return sqlite3_bind_text(mStatement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) ==
               SQLITE_OK;
    }
    const QByteArray& blob = std::get<QByteArray>(value);
    return sqlite3_bind_blob(mStatement, index, blob.constData(), int(blob.size()), SQLITE_TRANSIENT) == SQLITE_OK;
}

bool SqliteStatement::bind(std::span<const SqlValue> values)
{
    if (mStatement == nullptr)
        return false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!bind(int(i + 1), values[i])) {
            fail(sqlite3_errcode(mHandle));
            return false;
        }
    }
    return true;
}

bool SqliteStatement::run()
{
    if (mStatement == nullptr)
        return false;
    const int result = sqlite3_step(mStatement);
    if (result != SQLITE_DONE && result != SQLITE_ROW) {
        fail(result);
        return false;
    }
    sqlite3_reset(mStatement);
    return true;
}

int SqliteStatement::changes() const
{
    return mHandle ? sqlite3_changes(mHandle) : 0;
}

void SqliteStatement::fail(int code)
{
    mErrorCode = code;
    mError = QString::fromUtf8(sqlite3_errmsg(mHandle));
    sqlite3_finalize(mStatement);
    mStatement = nullptr;
}

bool SqliteStatement::next()
{
    if (mStatement == nullptr)
        return false;
    const int result = sqlite3_step(mStatement);
    if (result == SQLITE_ROW)
        return true;
    if (result != SQLITE_DONE)
        fail(result);
    return false;
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(mStatement, column) == SQLITE_NULL;
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(mStatement, column);
}

double SqliteStatement::real(int column) const
{
    // A number kept as text reads as Qt's driver reads it: a stored "nan"
    // stays not a number instead of becoming 0.
    if (sqlite3_column_type(mStatement, column) == SQLITE_TEXT) {
        const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(mStatement, column));
        return QByteArray(utf8, sqlite3_column_bytes(mStatement, column)).trimmed().toDouble();
    }
    return sqlite3_column_double(mStatement, column);
}

QString SqliteStatement::text(int column) const
{
    const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(mStatement, column));
    return QString::fromUtf8(utf8, sqlite3_column_bytes(mStatement, column));
}

bool SqliteStatement::columnHolds(int column, const SqlValue& value) const
{
    const int type = sqlite3_column_type(mStatement, column);
    if (const auto* integer = std::get_if<qint64>(&value)) {
        if (type == SQLITE_INTEGER)
            return sqlite3_column_int64(mStatement, column) == *integer;
        return type == SQLITE_TEXT && sameBytes(sqlite3_column_text(mStatement, column),
                                                sqlite3_column_bytes(mStatement, column),
                                                QByteArray::number(*integer));
    }
    if (const auto* real = std::get_if<double>(&value))
        return (type == SQLITE_FLOAT || type == SQLITE_INTEGER) && sqlite3_column_double(mStatement, column) == *real;
    if (const auto* text = std::get_if<QString>(&value))
        return type == SQLITE_TEXT &&
               sameBytes(sqlite3_column_text(mStatement, column), sqlite3_column_bytes(mStatement, column),
                         text->toUtf8());
    return type == SQLITE_BLOB && sameBytes(sqlite3_column_blob(mStatement, column),
                                            sqlite3_column_bytes(mStatement, column), std::get<QByteArray>(value));
}

bool SqliteStatement::rowHolds(std::span<const SqlValue> values) const
{
    if (mStatement == nullptr || sqlite3_column_count(mStatement) < int(values.size()))
        return false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!columnHolds(int(i), values[i]))
            return false;
    }
    return true;
}
