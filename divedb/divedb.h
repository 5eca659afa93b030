#pragma once

#include "divedb/diveinfo.h"
#include "divedb/diveschema.h"
#include "divemodel/dive.h"

#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class QSqlQuery;
class QVariant;
class SqliteStatement;
struct DiveListQuery;

// The dive database "diveDB.db": the one owner of its connection. It creates
// the tables of a new file, brings the columns of an older file up to date,
// and stores, reads, lists and edits dives. Every operation that writes more
// than one statement runs in a transaction of its own: a dive is written
// whole or not at all.
class DiveDb : public QObject
{
    Q_OBJECT

public:
    // The result codes of the operations.
    enum Result : int {
        Success = 0,
        NotOpen = 1,       // the database is not open (or could not be opened)
        AlreadyStored = 2, // a dive of the same name and serial number is stored
        SqlFailed = 3,     // a statement failed; the transaction was rolled back
        NotFound = 4,      // no stored dive to update
    };

    // The one instance, made on first use and kept for the whole run.
    static DiveDb* instance();

    // Opens (or creates) the file and brings it up to date, in one
    // transaction: a file that cannot be brought up to date is left as it
    // was. Opening another file closes the one before.
    int setDatabase(const QString& path);
    // Whether the open file is one of an older version that could not be
    // brought up to date (read-only, or locked by another program): its dives
    // are listed from their own rows, and the last error says why.
    bool isOlderFile() const { return mOlderFile; }
    // Tries again to bring an older file up to date, without waiting for a
    // lock that another program holds; true once the file is up to date.
    bool retryUpgrade();
    int createTableDives();
    int createTableProfiles();
    int createTableGases();
    // Whether the column exists or could be added. The error of a failed
    // addition goes to `error` when given.
    static bool checkField(const QString& table, const QString& column, FieldType type,
                           QString* error = nullptr);
    // Keeps the text of the query's error as the last error.
    void debugQueryError(const QSqlQuery& query) const;
    QString lastError() const { return mLastError; }
    // What a write says once the file was found damaged: from then on,
    // until another file is opened, nothing more is written; reading goes on.
    static QString damagedMessage();

    int getNbDives() const;
    int getMaxDiveId() const;
    // The id of the dive of that name and (stored) serial, or -1.
    int getDiveByName(const QString& name, const QString& serial) const;
    // Stores a new dive under the largest id plus one (past the largest id an
    // int holds, under the first free one), replacing whatever rows were left
    // under that id. A sample value that is not a finite number refuses the
    // dive (3, nothing written, the reason as the last error). The dive is
    // read back before it is committed: when the file does not give back what
    // was written, nothing is stored and the file counts as damaged.
    int storeDive(const Dive& dive);
    // Loads a stored dive and computes what its samples give; on any failure
    // (a sample value that is not a finite number among them) returns false,
    // with the reason as the last error, and leaves `dive` as it was.
    bool readDive(int id, Dive& dive) const;
    int updateDive(const Dive& dive);
    // Rewrites a stored dive, read back before the commit as a store is.
    int updateDiveById(int id, const Dive& dive);

    // Appends the dives that the filter keeps, grouped by computer and sorted
    // inside each group; `groupCount` gets the number of computer groups.
    // False, with the reason as the last error and nothing appended, when
    // the list cannot be read (a database that is not open lists nothing).
    bool getDives(const Filter& filter, QList<DiveInfo>& out, int& groupCount, SortField field,
                  SortOrder order) const;
    bool getDiveInfo(int id, DiveInfo& info) const;
    // The computer's dive numbers already stored for the serial.
    QList<unsigned short> getDiveIdsByComputer(const QString& serial) const;
    int storeUserInformation(int id, const UserInformation& info);
    // Gives every dive of the serial the computer's name; `changed` tells
    // whether any dive had another.
    int checkComputerNameBySerial(const QString& serial, const QString& computerName,
                                  bool& changed);
    // False when another dive of the same computer (stored serial) has the
    // name (isNameTaken), or, with the reason as the last error, when the
    // dive cannot be renamed.
    bool renameDive(int id, const QString& newName);
    // Whether a dive stored with the same serial as dive `id`, that one
    // included, has the name.
    bool isNameTaken(int id, const QString& name) const;
    QString getSerialOfDive(int id) const;
    bool deleteDive(int id);
    // The distinct serials; `names` gets, for each, its computer names joined
    // with ", ".
    QList<QString> getDistinctSerialNumber(QList<QString>& names) const;
    QList<QString> getDistinctComputerName() const;
    bool markUploaded(int id, bool uploaded);
    QList<int> getNotUploadedPelavixDiveIds() const;
    int clearDatabase();

    // Called every few thousand samples while a dive is written, so that a
    // long dive does not freeze the window; the hook must not use the
    // database (a write it starts fails, the one under way goes on).
    void setWriteProgress(std::function<void()> hook) { mWriteProgress = std::move(hook); }

    // The texts that stand for an empty computer name and serial number.
    static QString storedComputerName(const QString& name);
    static QString storedSerial(const QString& serial);

private:
    enum class Statement : int;
    struct PreparedStatement;
    class Transaction;
    class Run;

    DiveDb();
    ~DiveDb() override;

    static QString textOf(Statement statement);
    // Keeps an error as the last error; one that says the file is damaged
    // stops every write.
    void noteError(const QString& text, int sqliteCode) const;
    void noteError(const SqliteStatement& statement) const;
    void markDamaged() const;
    // Whether dives may be written; false, with the damage as the last error,
    // once the file was found damaged. The first write after opening checks
    // the whole file.
    bool mayWrite();
    bool isOpen() const { return mDatabase.isOpen(); }
    // The statement, prepared on first use and kept; null (after recording
    // the error) when it cannot be prepared.
    PreparedStatement* prepared(Statement statement) const;
    // Runs a prepared statement with its values bound in order.
    Run run(Statement statement, std::initializer_list<QVariant> values) const;
    // The first column of every row of a query.
    QList<QVariant> firstColumn(Statement statement, std::initializer_list<QVariant> values) const;
    // Runs a statement text once.
    bool execute(const QString& text) const;
    void dropStatements();

    // The id of a new dive; -1, after recording why, when there is none.
    int newDiveId() const;
    // False, after recording why, when a sample holds a value that is not a
    // finite number.
    bool refuseNonFiniteSamples(const Dive& dive) const;

    int createTable(const char* statement);
    // Brings the open file up to date in one transaction.
    int upgrade();
    int migrate();
    // Whether the file has the tables that the dive list reads.
    bool holdsDiveTables() const;
    int bringColumnsUpToDate();
    bool keepDiveFigures();
    bool readDiveRow(int id, Dive& dive) const;
    // The rows written, or -1 when the statement failed.
    int writeDiveRow(Statement statement, int id, const Dive& dive);
    bool writeGases(int id, const Dive& dive);
    bool writeSamples(int id, const Dive& dive);
    bool writeFigures(int id);
    // Whether the dive reads back, row for row, as the statement `diveRow`
    // names its columns; a file that gives back something else is damaged.
    bool readsBackAsWritten(Statement diveRow, int id, const Dive& dive) const;
    // Whether the select gives exactly `rows` rows, row i holding rowOf(i).
    template <typename RowOf>
    bool readsBack(Statement select, int id, qsizetype rows, const RowOf& rowOf) const;
    // The rows of a dive list statement; false, after recording the error,
    // when it fails.
    bool listRows(const DiveListQuery& list, QList<DiveInfo>& rows) const;
    bool readGases(int id, Dive& dive) const;
    bool readSamples(int id, Dive& dive) const;
    // Whether a query's rows were read to their end; the error is kept otherwise.
    bool readToTheEnd(const QSqlQuery& rows) const;
    // Runs the statements in order with the same values; stops at the first
    // that fails.
    bool runEach(std::initializer_list<Statement> statements,
                 std::initializer_list<QVariant> values);

    QSqlDatabase mDatabase;
    bool mUpToDate = false;
    bool mOlderFile = false;
    mutable QString mLastError;
    // What this session learnt of the file since it was opened.
    mutable bool mDamaged = false;
    bool mFileChecked = false;
    mutable std::vector<std::unique_ptr<PreparedStatement>> mStatements;
    std::function<void()> mWriteProgress;
};
