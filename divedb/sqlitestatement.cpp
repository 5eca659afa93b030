#include "divedb/sqlitestatement.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlDriver>

#include <sqlite3.h>

namespace {

// The connection of Qt's SQLite driver.
sqlite3* handleOf(const QSqlDatabase& database)
{
    const QVariant handle = database.driver() ? database.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

} // namespace

SqliteStatement::SqliteStatement(const QSqlDatabase& database, const QString& text, const QList<QVariant>& values)
    : mHandle(handleOf(database))
{
    if (mHandle == nullptr) {
        mError = QCoreApplication::translate("DiveDb", "The database is not open");
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    if (sqlite3_prepare_v2(mHandle, utf8.constData(), int(utf8.size()), &mStatement, nullptr) != SQLITE_OK) {
        fail();
        return;
    }
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!bind(int(i + 1), values.at(i))) {
            fail();
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
    case QMetaType::UInt:
        return sqlite3_bind_int64(mStatement, index, value.toLongLong()) == SQLITE_OK;
    case QMetaType::Double: return sqlite3_bind_double(mStatement, index, value.toDouble()) == SQLITE_OK;
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        return sqlite3_bind_text(mStatement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) ==
               SQLITE_OK;
    }
    }
}

void SqliteStatement::fail()
{
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
        fail();
    return false;
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(mStatement, column);
}

double SqliteStatement::real(int column) const
{
    return sqlite3_column_double(mStatement, column);
}

QString SqliteStatement::text(int column) const
{
    const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(mStatement, column));
    return QString::fromUtf8(utf8, sqlite3_column_bytes(mStatement, column));
}
