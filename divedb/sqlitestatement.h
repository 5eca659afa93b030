#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <span>
#include <variant>

class QSqlDatabase;
struct sqlite3;
struct sqlite3_stmt;

// One value of a row, as it is bound to a statement and as it must read back.
using SqlValue = std::variant<qint64, double, QString, QByteArray>;

// A statement run straight through SQLite's C interface on the connection
// that Qt's driver opened. For statements of thousands of rows: the driver
// turns every value into a QVariant and every text into UTF-16 first, which
// costs as much again as the statement itself.
class SqliteStatement
{
public:
    // Prepares the statement and binds the values in order (texts, integers
    // and reals); on failure error() says why.
    SqliteStatement(const QSqlDatabase& database, const QString& text,
                    const QList<QVariant>& values = {});
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Binds the values in order, from the first placeholder, for the next
    // run; false (error() says why) when the statement cannot take them.
    bool bind(std::span<const SqlValue> values);
    // Runs a statement that gives no rows, then lets it be bound again.
    bool run();
    // The rows that the last run wrote.
    int changes() const;

    // Moves to the next row; false at the end or on an error (then error()
    // is not empty).
    bool next();
    QString error() const { return mError; }
    // SQLite's code of the failure (0 without one).
    int errorCode() const { return mErrorCode; }

    bool isNull(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    QString text(int column) const;
    // Whether the row's columns, from the first, hold exactly these values
    // as they were bound (an integer kept as text by an older file's column
    // counts as the same).
    bool rowHolds(std::span<const SqlValue> values) const;

private:
    void fail(int code);
    bool bind(int index, const QVariant& value);
    bool bind(int index, const SqlValue& value);
    bool columnHolds(int column, const SqlValue& value) const;

    sqlite3* mHandle = nullptr;
    sqlite3_stmt* mStatement = nullptr;
    QString mError;
    int mErrorCode = 0;
};

// Whether SQLite's code says the file is damaged.
bool reportsDamage(int sqliteCode);
