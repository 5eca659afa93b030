#include "divedb/divedb.h"

#include "divedb/divecolumns.h"
#include "divedb/divelistquery.h"
#include "divedb/diverows.h"
#include "divedb/localdatetimes.h"
#include "divedb/sqlitestatement.h"
#include "divemodel/diveanalysis.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <utility>

using namespace divecolumns;

namespace {

// About 6 ms of writing between two calls of the progress hook.
constexpr qsizetype kSamplesBetweenProgress = 2048;

// Texts are bound as values, never NULL, so that a lookup by an empty name
// finds the dive stored with it.
QVariant textValue(const QString& text)
{
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(text);
}

// The columns of the dive row that readDive selects, in order.
enum DiveColumn {
    ColName = 1,
    ColComputer,
    ColDateTime,
    ColSerial,
    ColPeriod,
    ColDiverMode,
    ColDiveMode,
    ColOcDiveMode,
    ColGfLow,
    ColGfHigh,
    ColWaterDensity,
    ColSurfacePressure,
    ColAlerts,
    ColAlertsAI,
    ColComputerType,
    ColGasSet,
    ColFirmware,
    ColPlace,
    ColSite,
    ColBuddy,
    ColDiveNumber,
    ColUploaded,
    ColDiverN2,
    ColDiverHe,
};

// The columns of a sample that readDive selects, in order.
enum SampleColumn {
    SamTime,
    SamDepth,
    SamTemperature,
    SamOtu,
    SamCns,
    SamDecoCeiling,
    SamGradientFactor,
    SamAlertFlag,
    SamGasIndex,
    SamBattery,
    SamTankPressure,
    SamGfLow,
    SamGfHigh,
    SamPpO2,
    SamAlertAI,
    SamAlertPelavix,
    SamTxIndex,
};

// The columns of a dive list row, as DiveListQuery selects them.
enum ListColumn {
    LstId,
    LstName,
    LstSerial,
    LstDateTime,
    LstComputer,
    LstGfLow,
    LstGfHigh,
    LstMaxTime,
    LstMaxDepth
};

// A file that could not be brought up to date has no table of figures.
DiveListQuery::Figures listedFigures(bool upToDate)
{
    return upToDate ? DiveListQuery::Figures::Kept : DiveListQuery::Figures::FromSamples;
}

// A figure of the list that is not a finite number (a damaged sample) reads
// 0, like a dive without samples: the dive stays listed, and opening it says
// what is wrong.
double listedFigure(double figure)
{
    return std::isfinite(figure) ? figure : 0.0;
}

// A row of the dive list; its date is set once the dates of every row are known.
DiveInfo diveInfoFrom(const SqliteStatement& row)
{
    DiveInfo info;
    info.id = int(row.integer(LstId));
    info.name = row.text(LstName);
    info.serial = row.text(LstSerial);
    info.computer = row.text(LstComputer);
    info.gfLow = int(row.integer(LstGfLow));
    info.gfHigh = int(row.integer(LstGfHigh));
    info.maxTime = listedFigure(row.real(LstMaxTime));
    info.maxDepth = listedFigure(row.real(LstMaxDepth));
    return info;
}

// Gives each row its local date, the zone read once for them all.
void setLocalDates(QList<DiveInfo>& rows, const QList<qint64>& dates)
{
    if (dates.isEmpty())
        return;
    const auto [first, last] = std::minmax_element(dates.begin(), dates.end());
    const LocalDateTimes local(*first, *last);
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows[i].dateTime = local.at(dates.at(i));
}

QList<QString> textsOf(const QList<QVariant>& values)
{
    QList<QString> texts;
    texts.reserve(values.size());
    for (const QVariant& value : values)
        texts.append(value.toString());
    return texts;
}

// The number of computer groups of a sorted list: each row whose serial or
// computer differs from the row before starts one (a first row with neither
// starts none).
int groupCountOf(const QList<DiveInfo>& rows)
{
    int groups = 0;
    QString serial;
    QString computer;
    for (const DiveInfo& row : rows) {
        if (row.serial != serial || row.computer != computer)
            ++groups;
        serial = row.serial;
        computer = row.computer;
    }
    return groups;
}

} // namespace

// Every statement that runs more than once, prepared on first use.
enum class DiveDb::Statement : int {
    Begin,
    Commit,
    Rollback,
    CountDives,
    MaxDiveId,
    NewDiveId,
    DiveByName,
    InsertDive,
    UpdateDive,
    InsertGas,
    InsertSample,
    WriteFigures,
    ReadBackDive,
    ReadBackRewrittenDive,
    ReadBackGases,
    ReadBackSamples,
    SelectDive,
    SelectGases,
    SelectSamples,
    DeleteSamples,
    DeleteGases,
    DeleteDive,
    ClearDives,
    ClearSamples,
    ClearGases,
    DiveNumbers,
    StoreUserInformation,
    RenameComputer,
    SerialOfDive,
    NameOfSameComputer,
    RenameDive,
    DistinctSerials,
    ComputersOfSerial,
    DistinctComputers,
    MarkUploaded,
    NotUploadedPelavix,
    Count
};

QString DiveDb::textOf(Statement statement)
{
    switch (statement) {
    case Statement::Begin: return QStringLiteral("BEGIN IMMEDIATE");
    case Statement::Commit: return QStringLiteral("COMMIT");
    case Statement::Rollback: return QStringLiteral("ROLLBACK");
    case Statement::CountDives: return QStringLiteral("SELECT COUNT(diveid) FROM dives");
    case Statement::MaxDiveId: return QStringLiteral("SELECT MAX(diveid) FROM dives");
    case Statement::NewDiveId:
        // The largest id plus one, 1 for the first dive (or after ids below 1).
        // Past the largest id an int holds, the first id that no dive uses;
        // NULL when none is left.
        return QStringLiteral(
            "SELECT CASE WHEN COALESCE(MAX(diveid), 0) < 1 THEN 1 "
            "WHEN MAX(diveid) < 2147483647 THEN MAX(diveid) + 1 "
            "ELSE (SELECT MIN(free) FROM ("
            "SELECT 1 AS free WHERE NOT EXISTS (SELECT 1 FROM dives WHERE diveid = 1) "
            "UNION ALL SELECT d.diveid + 1 FROM dives d WHERE d.diveid BETWEEN 1 AND 2147483646 "
            "AND NOT EXISTS (SELECT 1 FROM dives e WHERE e.diveid = d.diveid + 1))) END "
            "FROM dives");
    case Statement::DiveByName:
        return QStringLiteral("SELECT diveid FROM dives WHERE name=:name AND serial=:serial");
    case Statement::InsertDive:
        return QStringLiteral(
            "INSERT INTO dives (diveid, name, computer, datetime, serial, period, alerts, "
            "alertsAI, divermode, divemode, ocdivemode, gfslow, gfshigh, waterdensity, psurf, "
            "computertype, firmwareversion, place, site, buddy, diveNumber, uploaded, gasSet, "
            "diverN2, diverHe) "
            "VALUES (:diveid, :name, :computer, :datetime, :serial, :period, :alerts, :alertsAI, "
            ":divermode, :divemode, :ocdivemode, :gfslow, :gfshigh, :waterdensity, :psurf, "
            ":computertype, :firmwareversion, :place, :site, :buddy, :diveNumber, :uploaded, "
            ":gasSet, :diverN2, :diverHe)");
    case Statement::UpdateDive:
        // A rewrite keeps the stored diver mode, open-circuit mode, gas set and
        // tissue values.
        return QStringLiteral(
            "UPDATE dives SET name=:name, computer=:computer, datetime=:datetime, serial=:serial, "
            "period=:period, alerts=:alerts, alertsAI=:alertsAI, divemode=:divemode, "
            "gfslow=:gfslow, gfshigh=:gfshigh, waterdensity=:waterdensity, psurf=:psurf, "
            "computertype=:computertype, firmwareversion=:firmwareversion, place=:place, "
            "site=:site, buddy=:buddy, diveNumber=:diveNumber, uploaded=:uploaded "
            "WHERE diveid=:diveid");
    case Statement::InsertGas:
        return QStringLiteral("INSERT INTO gases (diveid, gasid, o2, he, gasClass) "
                              "VALUES (:diveid, :gasid, :o2, :he, :gasClass)");
    case Statement::InsertSample:
        return QStringLiteral(
            "INSERT INTO profiles (diveid, pointid, time, depth, temperature, OTU, CNS, "
            "decoCeiling, gradientFactor, alertFlag, gasindex, alertAI, battery, tankPressure, "
            "gfLow, gfHigh, ppo2, tankPressureTxIndex, alertPelavix) VALUES (:diveid, :pointid, "
            ":time, :depth, :temperature, :otu, :cns, :decoceiling, :gradientfactor, :alertFlag, "
            ":gasindex, :alertAI, :battery, :tankPressure, :gfLow, :gfHigh, :ppo2, "
            ":tankPressureTxIndex, :alertPelavix)");
    case Statement::WriteFigures: return QString::fromLatin1(diveschema::writeFiguresOfDive);
    // The columns that a store and a rewrite write, in the order they write them.
    case Statement::ReadBackDive:
        return QStringLiteral(
            "SELECT diveid, name, computer, datetime, serial, period, alerts, alertsAI, divermode, "
            "divemode, ocdivemode, gfslow, gfshigh, waterdensity, psurf, computertype, "
            "firmwareversion, place, site, buddy, diveNumber, uploaded, gasSet, diverN2, diverHe "
            "FROM dives WHERE diveid=:diveid");
    case Statement::ReadBackRewrittenDive:
        return QStringLiteral(
            "SELECT name, computer, datetime, serial, period, alerts, alertsAI, divemode, gfslow, "
            "gfshigh, waterdensity, psurf, computertype, firmwareversion, place, site, buddy, "
            "diveNumber, uploaded, diveid FROM dives WHERE diveid=:diveid");
    case Statement::ReadBackGases:
        return QStringLiteral("SELECT diveid, gasid, o2, he, gasClass FROM gases "
                              "WHERE diveid=:diveid ORDER BY gasid");
    case Statement::ReadBackSamples:
        return QStringLiteral(
            "SELECT diveid, pointid, time, depth, temperature, OTU, CNS, decoCeiling, "
            "gradientFactor, alertFlag, gasindex, alertAI, battery, tankPressure, gfLow, gfHigh, "
            "ppo2, tankPressureTxIndex, alertPelavix FROM profiles WHERE diveid=:diveid "
            "ORDER BY pointid");
    case Statement::SelectDive:
        return QStringLiteral(
            "SELECT diveid, name, computer, datetime, serial, period, divermode, divemode, "
            "ocdivemode, gfslow, gfshigh, waterdensity, psurf, alerts, alertsAI, computertype, "
            "gasSet, firmwareversion, place, site, buddy, diveNumber, uploaded, diverN2, diverHe "
            "FROM dives WHERE diveid=:diveid");
    case Statement::SelectGases:
        return QStringLiteral(
            "SELECT gasid, o2, he, gasClass FROM gases WHERE diveid=:diveid ORDER BY gasid");
    case Statement::SelectSamples:
        return QStringLiteral(
            "SELECT time, depth, temperature, OTU, CNS, decoCeiling, gradientFactor, alertFlag, "
            "gasindex, battery, tankPressure, gfLow, gfHigh, ppo2, alertAI, alertPelavix, "
            "tankPressureTxIndex FROM profiles WHERE diveid=:diveid ORDER BY pointid");
    case Statement::DeleteSamples:
        return QStringLiteral("DELETE FROM profiles WHERE diveid=:diveid");
    case Statement::DeleteGases: return QStringLiteral("DELETE FROM gases WHERE diveid=:diveid");
    case Statement::DeleteDive: return QStringLiteral("DELETE FROM dives WHERE diveid=:diveid");
    case Statement::ClearDives: return QStringLiteral("DELETE FROM dives");
    case Statement::ClearSamples: return QStringLiteral("DELETE FROM profiles");
    case Statement::ClearGases: return QStringLiteral("DELETE FROM gases");
    case Statement::DiveNumbers:
        return QStringLiteral(
            "SELECT diveNumber FROM dives WHERE serial=:serial AND diveNumber > 0");
    case Statement::StoreUserInformation:
        return QStringLiteral(
            "UPDATE dives SET place=:place, site=:site, buddy=:buddy WHERE diveid=:diveid");
    case Statement::RenameComputer:
        // IS NOT also names the dives whose computer name is NULL.
        return QStringLiteral("UPDATE dives SET computer=:computer "
                              "WHERE serial=:serial AND computer IS NOT :samecomputer");
    case Statement::SerialOfDive:
        return QStringLiteral("SELECT serial FROM dives WHERE diveid=:diveid");
    case Statement::NameOfSameComputer:
        // The dive's own stored serial, whatever it is: rows of older versions
        // may hold an empty one or none.
        return QStringLiteral("SELECT 1 FROM dives self, dives other WHERE self.diveid=:diveid "
                              "AND other.name=:name AND other.serial IS self.serial");
    case Statement::RenameDive:
        return QStringLiteral("UPDATE dives SET name=:name WHERE diveid=:diveid");
    case Statement::DistinctSerials:
        return QStringLiteral("SELECT DISTINCT serial FROM dives ORDER BY serial");
    case Statement::ComputersOfSerial:
        return QStringLiteral(
            "SELECT DISTINCT computer FROM dives WHERE serial=:serial ORDER BY computer");
    case Statement::DistinctComputers:
        return QStringLiteral("SELECT DISTINCT computer FROM dives ORDER BY computer");
    case Statement::MarkUploaded:
        return QStringLiteral("UPDATE dives SET uploaded=:uploaded WHERE diveid=:diveid");
    case Statement::NotUploadedPelavix:
        return QStringLiteral("SELECT diveid FROM dives WHERE computer='Pelavix' "
                              "AND (uploaded IS NULL OR uploaded=0) ORDER BY datetime ASC");
    case Statement::Count: break;
    }
    return {};
}

namespace {

// The named placeholders of a statement, in the order of their first use.
QList<QString> placeholdersOf(const QString& text)
{
    static const QRegularExpression placeholder(QStringLiteral(":[A-Za-z_][A-Za-z0-9_]*"));
    QList<QString> names;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(text)) {
        if (!names.contains(match.captured()))
            names.append(match.captured());
    }
    return names;
}

} // namespace

// A prepared statement and its placeholders. Values are bound by name: for
// the SQLite driver that costs a look-up where binding by position builds a
// name for each value.
struct DiveDb::PreparedStatement
{
    QSqlQuery query;
    QList<QString> placeholders;

    // The values in the order of the placeholders, one for each.
    bool exec(std::initializer_list<QVariant> values)
    {
        Q_ASSERT(qsizetype(values.size()) == placeholders.size());
        auto name = placeholders.cbegin();
        for (const QVariant& value : values)
            query.bindValue(*name++, value);
        return query.exec();
    }
};

// A statement that ran; a SELECT's rows are read through it, and the
// statement lets go of them (and of its read lock) when it goes.
class DiveDb::Run
{
public:
    Run() = default;
    explicit Run(QSqlQuery* query)
        : mQuery(query)
    {}
    Run(Run&& other) noexcept
        : mQuery(std::exchange(other.mQuery, nullptr))
    {}
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    Run& operator=(Run&&) = delete;
    ~Run()
    {
        if (mQuery)
            mQuery->finish();
    }

    explicit operator bool() const { return mQuery != nullptr; }
    QSqlQuery* operator->() const { return mQuery; }
    QSqlQuery& operator*() const { return *mQuery; }

private:
    QSqlQuery* mQuery = nullptr;
};

// A write transaction. BEGIN IMMEDIATE takes the write lock at once, so that
// a busy file fails here and not half-way. Unless committed, it is rolled
// back when it goes; a commit that fails is rolled back too.
class DiveDb::Transaction
{
public:
    explicit Transaction(const DiveDb& db)
        : mDb(db)
        , mBegun(bool(db.run(Statement::Begin, {})))
    {}
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction()
    {
        if (mBegun)
            rollBack();
    }

    bool begun() const { return mBegun; }

    bool commit()
    {
        if (!mDb.run(Statement::Commit, {}))
            return false;
        mBegun = false;
        return true;
    }

private:
    // The error that made the transaction fail stays the last error: a
    // rollback that finds no transaction (SQLite ended it already) is no news.
    void rollBack()
    {
        if (PreparedStatement* rollback = mDb.prepared(Statement::Rollback)) {
            rollback->query.exec();
            rollback->query.finish();
        }
    }

    const DiveDb& mDb;
    bool mBegun;
};

DiveDb::DiveDb()
    : mDatabase(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE")))
{}

DiveDb::~DiveDb() = default;

DiveDb* DiveDb::instance()
{
    static DiveDb* const db = new DiveDb;
    return db;
}

// The stand-ins are stored in English whatever the interface language: the
// duplicate check and the computer groups compare them with what older runs
// stored.
QString DiveDb::storedComputerName(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("No name") : name;
}

QString DiveDb::storedSerial(const QString& serial)
{
    return serial.isEmpty() ? QStringLiteral("No serial number") : serial;
}

void DiveDb::debugQueryError(const QSqlQuery& query) const
{
    // Qt's driver gives SQLite's code as the native one.
    noteError(query.lastError().text(), query.lastError().nativeErrorCode().toInt());
}

void DiveDb::noteError(const QString& text, int sqliteCode) const
{
    if (reportsDamage(sqliteCode))
        markDamaged();
    else
        mLastError = text;
}

void DiveDb::noteError(const SqliteStatement& statement) const
{
    noteError(statement.error(), statement.errorCode());
}

void DiveDb::markDamaged() const
{
    mDamaged = true;
    mLastError = damagedMessage();
}

QString DiveDb::damagedMessage()
{
    return tr("The logbook is damaged: to keep the dives it holds, nothing more is written to it "
              "until the program is started again. Its dives can still be read.");
}

bool DiveDb::mayWrite()
{
    // Writing into a damaged file can overwrite the pages of other dives: the
    // whole file is checked before the first write.
    if (!mDamaged && !mFileChecked) {
        SqliteStatement check(mDatabase, QStringLiteral("PRAGMA quick_check(1)"));
        const bool sound = check.next() && check.text(0) == QLatin1String("ok") && !check.next();
        if (!check.error().isEmpty()) {
            noteError(check);
            return false;
        }
        mFileChecked = true;
        if (!sound)
            markDamaged();
    }
    if (mDamaged)
        mLastError = damagedMessage();
    return !mDamaged;
}

DiveDb::PreparedStatement* DiveDb::prepared(Statement statement) const
{
    if (!isOpen())
        return nullptr;
    const auto index = std::size_t(statement);
    if (mStatements.empty())
        mStatements.resize(std::size_t(Statement::Count));
    if (!mStatements[index]) {
        auto fresh = std::make_unique<PreparedStatement>();
        fresh->query = QSqlQuery(mDatabase);
        fresh->query.setForwardOnly(true);
        const QString text = textOf(statement);
        if (!fresh->query.prepare(text)) {
            debugQueryError(fresh->query);
            return nullptr;
        }
        fresh->placeholders = placeholdersOf(text);
        mStatements[index] = std::move(fresh);
    }
    return mStatements[index].get();
}

DiveDb::Run DiveDb::run(Statement statement, std::initializer_list<QVariant> values) const
{
    PreparedStatement* ready = prepared(statement);
    if (!ready)
        return {};
    if (!ready->exec(values)) {
        debugQueryError(ready->query);
        ready->query.finish();
        return {};
    }
    return Run(&ready->query);
}

bool DiveDb::execute(const QString& text) const
{
    QSqlQuery query(mDatabase);
    if (query.exec(text))
        return true;
    debugQueryError(query);
    return false;
}

void DiveDb::dropStatements()
{
    mStatements.clear();
}

// --- Opening and migration ---------------------------------------------------

int DiveDb::setDatabase(const QString& path)
{
    dropStatements();
    mDamaged = false;
    mFileChecked = false;
    if (mDatabase.isOpen())
        mDatabase.close();
    // An empty name would make SQLite open a temporary file, which loses
    // every dive at exit.
    if (path.isEmpty())
        return NotOpen;
    mDatabase.setDatabaseName(path);
    mUpToDate = false;
    mOlderFile = false;
    if (!mDatabase.open()) {
        mLastError = mDatabase.lastError().text();
        return NotOpen;
    }
    const int result = upgrade();
    if (result != Success) {
        // The reason stays the last error.
        const QString reason = mLastError;
        mOlderFile = holdsDiveTables();
        mLastError = reason;
    }
    return result;
}

int DiveDb::upgrade()
{
    {
        Transaction transaction(*this);
        if (!transaction.begun())
            return SqlFailed;
        if (const int result = migrate(); result != Success)
            return result;
        if (!transaction.commit())
            return SqlFailed;
    }
    mUpToDate = true;
    mOlderFile = false;
    return Success;
}

bool DiveDb::retryUpgrade()
{
    if (mUpToDate || !mOlderFile)
        return mUpToDate;
    // Another program's lock makes the attempt fail at once: the window does
    // not freeze for it, and a later attempt tries again.
    QSqlQuery timeout(mDatabase);
    const int waited =
        timeout.exec(QStringLiteral("PRAGMA busy_timeout")) && timeout.next() ? timeout.value(0).toInt() : 0;
    timeout.finish();
    execute(QStringLiteral("PRAGMA busy_timeout = 0"));
    const QString before = mLastError;
    const bool upgraded = upgrade() == Success;
    // A file that is still older keeps the reason it gave when it was opened.
    if (!upgraded)
        mLastError = before;
    execute(QStringLiteral("PRAGMA busy_timeout = %1").arg(waited));
    return upgraded;
}

bool DiveDb::holdsDiveTables() const
{
    QSqlQuery tables(mDatabase);
    return tables.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND "
                                      "name IN ('dives', 'profiles')")) &&
           tables.next() && tables.value(0).toInt() == 2;
}

int DiveDb::createTable(const char* statement)
{
    return execute(QString::fromLatin1(statement)) ? Success : SqlFailed;
}

int DiveDb::createTableDives()
{
    return createTable(diveschema::createDives);
}

int DiveDb::createTableProfiles()
{
    return createTable(diveschema::createProfiles);
}

int DiveDb::createTableGases()
{
    return createTable(diveschema::createGases);
}

bool DiveDb::checkField(const QString& table, const QString& column, FieldType type, QString* error)
{
    // The schema answers without reading a single row.
    QSqlQuery columns;
    columns.setForwardOnly(true);
    if (columns.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table))) {
        while (columns.next()) {
            if (columns.value(1).toString().compare(column, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    QSqlQuery add;
    if (add.exec(
            QStringLiteral("ALTER TABLE %1 ADD %2 %3").arg(table, column, fieldTypeName(type))))
        return true;
    if (error)
        *error = add.lastError().text();
    return false;
}

int DiveDb::migrate()
{
    QSqlQuery names(mDatabase);
    names.setForwardOnly(true);
    if (!names.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND "
                                   "substr(name, 1, 7) <> 'sqlite_'"))) {
        debugQueryError(names);
        return SqlFailed;
    }
    QList<QString> tables;
    while (names.next())
        tables.append(names.value(0).toString());
    names.finish();

    if (tables.isEmpty()) {
        if (const int result = createTableDives(); result != Success)
            return result;
        if (const int result = createTableProfiles(); result != Success)
            return result;
    }
    if (!tables.contains(QStringLiteral("gases"))) {
        if (const int result = createTableGases(); result != Success)
            return result;
    }
    if (const int result = bringColumnsUpToDate(); result != Success)
        return result;
    if (!keepDiveFigures())
        return SqlFailed;

    QSqlQuery version(mDatabase);
    if (version.exec(QStringLiteral("PRAGMA user_version")) && version.next() &&
        version.value(0).toInt() < 1) {
        version.finish();
        if (!execute(QStringLiteral("PRAGMA user_version = 1")))
            return SqlFailed;
    }
    return Success;
}

int DiveDb::bringColumnsUpToDate()
{
    for (const diveschema::ColumnCheck& check : diveschema::migratedColumns()) {
        if (!checkField(QString::fromLatin1(check.table), QString::fromLatin1(check.column),
                        check.type, &mLastError))
            return SqlFailed;
    }
    return execute(QStringLiteral("UPDATE dives SET uploaded=0 WHERE uploaded IS NULL"))
               ? Success
               : SqlFailed;
}

bool DiveDb::keepDiveFigures()
{
    if (!execute(QString::fromLatin1(diveschema::createFigures)))
        return false;
    for (const char* trigger : diveschema::createFiguresTriggers) {
        if (!execute(QString::fromLatin1(trigger)))
            return false;
    }
    // Dives written by an older version (or by any program that dropped their
    // figures) get them once; for a file kept by this version there is none.
    return execute(QString::fromLatin1(diveschema::fillMissingFigures));
}

// --- Storing and reading -------------------------------------------------------

int DiveDb::getNbDives() const
{
    Run count = run(Statement::CountDives, {});
    return count && count->next() ? count->value(0).toInt() : 0;
}

int DiveDb::getMaxDiveId() const
{
    Run max = run(Statement::MaxDiveId, {});
    return max && max->next() ? max->value(0).toInt() : 0;
}

int DiveDb::getDiveByName(const QString& name, const QString& serial) const
{
    Run found = run(Statement::DiveByName, {textValue(name), storedSerial(serial)});
    return found && found->next() ? found->value(0).toInt() : -1;
}

int DiveDb::storeDive(const Dive& dive)
{
    if (!isOpen())
        return NotOpen;
    if (!refuseNonFiniteSamples(dive))
        return SqlFailed;
    Transaction transaction(*this);
    if (!transaction.begun() || !mayWrite())
        return SqlFailed;
    if (getDiveByName(dive.name, dive.computerSerial) >= 0)
        return AlreadyStored;
    const int id = newDiveId();
    if (id < 1)
        return SqlFailed;
    // Rows that an older program or an interrupted write left under the new
    // id are not the new dive's: they go before it is written.
    if (!runEach({Statement::DeleteGases, Statement::DeleteSamples}, {id}) ||
        writeDiveRow(Statement::InsertDive, id, dive) < 0 || !writeGases(id, dive) ||
        !writeSamples(id, dive) || !writeFigures(id) ||
        !readsBackAsWritten(Statement::ReadBackDive, id, dive))
        return SqlFailed;
    return transaction.commit() ? Success : SqlFailed;
}

int DiveDb::newDiveId() const
{
    Run row = run(Statement::NewDiveId, {});
    if (!row)
        return -1;
    if (!row->next() || row->value(0).isNull()) {
        mLastError = tr("No free dive id is left in the database");
        return -1;
    }
    return row->value(0).toInt();
}

bool DiveDb::refuseNonFiniteSamples(const Dive& dive) const
{
    const auto bad = std::find_if(dive.lines.cbegin(), dive.lines.cend(),
                                  [](const DiveLine& line) { return !line.hasFiniteValues(); });
    if (bad == dive.lines.cend())
        return true;
    mLastError = tr("Sample %1 of the dive holds a value that is not a finite number")
                     .arg(std::distance(dive.lines.cbegin(), bad) + 1);
    return false;
}

int DiveDb::updateDive(const Dive& dive)
{
    if (!isOpen())
        return NotOpen;
    const int id = getDiveByName(dive.name, dive.computerSerial);
    return id < 0 ? NotFound : updateDiveById(id, dive);
}

int DiveDb::updateDiveById(int id, const Dive& dive)
{
    if (!isOpen())
        return NotOpen;
    if (id < 0)
        return NotFound;
    if (!refuseNonFiniteSamples(dive))
        return SqlFailed;
    Transaction transaction(*this);
    if (!transaction.begun() || !mayWrite())
        return SqlFailed;
    const int rewritten = writeDiveRow(Statement::UpdateDive, id, dive);
    if (rewritten < 0)
        return SqlFailed;
    // No dive of that id: nothing else is written.
    if (rewritten == 0)
        return NotFound;
    if (!runEach({Statement::DeleteGases, Statement::DeleteSamples}, {id}) ||
        !writeGases(id, dive) || !writeSamples(id, dive) || !writeFigures(id) ||
        !readsBackAsWritten(Statement::ReadBackRewrittenDive, id, dive))
        return SqlFailed;
    return transaction.commit() ? Success : SqlFailed;
}

// The dive's rows go through SQLite's own interface: for a long dive, Qt's
// driver costs more than SQLite does.
int DiveDb::writeDiveRow(Statement statement, int id, const Dive& dive)
{
    SqliteStatement write(mDatabase, textOf(statement));
    const bool bound = statement == Statement::InsertDive
                           ? write.bind(diverows::insertedDive(id, dive))
                           : write.bind(diverows::rewrittenDive(id, dive));
    if (!bound || !write.run()) {
        noteError(write);
        return -1;
    }
    return write.changes();
}

bool DiveDb::writeGases(int id, const Dive& dive)
{
    SqliteStatement insert(mDatabase, textOf(Statement::InsertGas));
    for (qsizetype i = 0; i < dive.gases.size(); ++i) {
        if (!insert.bind(diverows::gas(id, i, dive.gases.at(i))) || !insert.run()) {
            noteError(insert);
            return false;
        }
    }
    return true;
}

bool DiveDb::writeSamples(int id, const Dive& dive)
{
    SqliteStatement insert(mDatabase, textOf(Statement::InsertSample));
    for (qsizetype i = 0; i < dive.lines.size(); ++i) {
        if (mWriteProgress && i > 0 && i % kSamplesBetweenProgress == 0)
            mWriteProgress();
        if (!insert.bind(diverows::sample(id, i, dive.lines.at(i))) || !insert.run()) {
            noteError(insert);
            return false;
        }
    }
    return true;
}

bool DiveDb::writeFigures(int id)
{
    return bool(run(Statement::WriteFigures, {id}));
}

template <typename RowOf>
bool DiveDb::readsBack(Statement select, int id, qsizetype rows, const RowOf& rowOf) const
{
    SqliteStatement read(mDatabase, textOf(select), {id});
    qsizetype same = 0;
    while (same < rows && read.next() && read.rowHolds(rowOf(same)))
        ++same;
    const bool whole = same == rows && !read.next();
    if (!read.error().isEmpty()) {
        noteError(read);
        return false;
    }
    // Rows missing, changed or more of them: the file does not keep what it
    // is given.
    if (!whole)
        markDamaged();
    return whole;
}

bool DiveDb::readsBackAsWritten(Statement diveRow, int id, const Dive& dive) const
{
    const bool sameRow =
        diveRow == Statement::ReadBackDive
            ? readsBack(diveRow, id, 1, [&](qsizetype) { return diverows::insertedDive(id, dive); })
            : readsBack(diveRow, id, 1, [&](qsizetype) { return diverows::rewrittenDive(id, dive); });
    return sameRow &&
           readsBack(Statement::ReadBackGases, id, dive.gases.size(),
                     [&](qsizetype i) { return diverows::gas(id, i, dive.gases.at(i)); }) &&
           readsBack(Statement::ReadBackSamples, id, dive.lines.size(),
                     [&](qsizetype i) { return diverows::sample(id, i, dive.lines.at(i)); });
}

bool DiveDb::readDive(int id, Dive& dive) const
{
    if (!isOpen())
        return false;
    // Read aside: the dive handed in changes only once everything was read.
    Dive read = dive;
    read.clear();
    if (!readDiveRow(id, read) || !readGases(id, read) || !readSamples(id, read))
        return false;
    if (read.computerModel == DiveHeader::kPelavixModel)
        read.alertsPelavix = pelavixAlertSummary(read.lines);
    DiveAnalysis::calculateMaxTimeDepth(read);
    DiveAnalysis::calculateSpeeds(read, false);
    DiveAnalysis::createCeilPointsFromLines(read);
    dive = std::move(read);
    return true;
}

bool DiveDb::readDiveRow(int id, Dive& dive) const
{
    Run row = run(Statement::SelectDive, {id});
    if (!row)
        return false;
    if (!row->next()) {
        mLastError = tr("Dive %1 is not in the database").arg(id);
        return false;
    }
    const auto number = [&row](int column) { return row->value(column).toInt(); };
    const auto text = [&row](int column) { return row->value(column).toString(); };
    dive.name = text(ColName);
    dive.computerName = text(ColComputer);
    dive.computerSerial = text(ColSerial);
    dive.firmwareVersion = text(ColFirmware);
    dive.beginTime = row->value(ColDateTime).toLongLong();
    dive.samplePeriod = quint8(std::max(1, number(ColPeriod)));
    dive.diverMode = row->value(ColDiverMode).isNull() ? quint8(255) : quint8(number(ColDiverMode));
    dive.divemode = quint8(number(ColDiveMode));
    dive.ocdivemode = quint8(number(ColOcDiveMode));
    dive.gfLow = quint8(number(ColGfLow));
    dive.gfHigh = quint8(number(ColGfHigh));
    dive.density = number(ColWaterDensity) != 0 ? 1 : 0;
    dive.surfacePressure = quint16(number(ColSurfacePressure));
    dive.computerModel = number(ColComputerType);
    dive.place = text(ColPlace);
    dive.site = text(ColSite);
    dive.buddy = text(ColBuddy);
    dive.diveNumber = quint16(number(ColDiveNumber));
    dive.alertsAI = quint8(number(ColAlertsAI));
    dive.uploaded = number(ColUploaded) != 0;
    dive.gasSet = quint16(number(ColGasSet));
    readTissueBlob(row->value(ColDiverN2).toByteArray(), dive.diverN2);
    readTissueBlob(row->value(ColDiverHe).toByteArray(), dive.diverHe);
    setDiveAlertWord(dive, row->value(ColAlerts).toLongLong());
    return true;
}

bool DiveDb::readToTheEnd(const QSqlQuery& rows) const
{
    // A read that stopped on an error is not the whole dive.
    if (rows.lastError().type() == QSqlError::NoError)
        return true;
    debugQueryError(rows);
    return false;
}

bool DiveDb::readGases(int id, Dive& dive) const
{
    Run gases = run(Statement::SelectGases, {id});
    if (!gases)
        return false;
    while (gases->next()) {
        DiveGas gas;
        gas.setFractionO2(gases->value(1).toInt() / 100.0);
        gas.setFractionHe(gases->value(2).toInt() / 100.0);
        gas.setLegacyGasClass(gases->value(3).toInt());
        dive.gases.append(gas);
    }
    return readToTheEnd(*gases);
}

bool DiveDb::readSamples(int id, Dive& dive) const
{
    // Thousands of rows: read through SQLite's own interface.
    SqliteStatement samples(mDatabase, textOf(Statement::SelectSamples), {id});
    const bool pelavix = dive.computerModel == DiveHeader::kPelavixModel;
    while (samples.next()) {
        DiveLine line;
        line.timeSec = samples.real(SamTime);
        line.depth = samples.real(SamDepth);
        line.ambientTemp = samples.real(SamTemperature);
        line.otu = samples.real(SamOtu);
        line.cns = samples.real(SamCns);
        line.decoCeiling = samples.real(SamDecoCeiling);
        line.gradientFactor = samples.real(SamGradientFactor);
        line.alertFlag = quint8(samples.integer(SamAlertFlag));
        line.alertFlagTransmitter = quint8(samples.integer(SamAlertAI));
        line.gasIndex = int(samples.integer(SamGasIndex));
        line.battery = quint16(samples.integer(SamBattery));
        line.tankPressure = quint16(samples.integer(SamTankPressure));
        line.gfLow = quint8(samples.integer(SamGfLow));
        line.gfHigh = quint8(samples.integer(SamGfHigh));
        line.ppO2 = samples.real(SamPpO2);
        line.tankPressureTxIndex = transmitterIndexFromColumn(
            samples.isNull(SamTxIndex) ? std::nullopt : std::optional(samples.integer(SamTxIndex)));
        if (pelavix) {
            setSampleAlertPelavix(
                line, samples.isNull(SamAlertPelavix)
                          ? pelavixAlertFromQuelm(line.alertFlag, line.alertFlagTransmitter)
                          : samples.integer(SamAlertPelavix));
        }
        if (!line.hasFiniteValues()) {
            mLastError = tr("Sample %1 of dive %2 holds a value that is not a finite number")
                             .arg(dive.lines.size() + 1)
                             .arg(id);
            return false;
        }
        dive.lines.append(line);
    }
    // A read that stopped on an error is not the whole dive.
    if (samples.error().isEmpty())
        return true;
    noteError(samples);
    return false;
}

// --- Listing and edits ---------------------------------------------------------

bool DiveDb::getDives(const Filter& filter, QList<DiveInfo>& out, int& groupCount, SortField field,
                      SortOrder order) const
{
    groupCount = 0;
    if (!isOpen())
        return true;
    QList<DiveInfo> rows;
    if (!listRows(DiveListQuery::forFilter(filter, field, order, listedFigures(mUpToDate)), rows))
        return false;
    groupCount = groupCountOf(rows);
    out.append(rows);
    return true;
}

bool DiveDb::getDiveInfo(int id, DiveInfo& info) const
{
    QList<DiveInfo> rows;
    if (!listRows({DiveListQuery::forOneDive(listedFigures(mUpToDate)), {id}}, rows) ||
        rows.isEmpty())
        return false;
    info = rows.constFirst();
    return true;
}

bool DiveDb::listRows(const DiveListQuery& list, QList<DiveInfo>& rows) const
{
    if (!isOpen())
        return false;
    // Thousands of rows: read through SQLite's own interface, the time zone
    // looked up once for all of them.
    SqliteStatement query(mDatabase, list.text, list.values);
    QList<qint64> dates;
    while (query.next()) {
        rows.append(diveInfoFrom(query));
        dates.append(query.integer(LstDateTime));
    }
    if (!query.error().isEmpty()) {
        mLastError = query.error();
        rows.clear();
        return false;
    }
    setLocalDates(rows, dates);
    return true;
}

QList<unsigned short> DiveDb::getDiveIdsByComputer(const QString& serial) const
{
    QList<unsigned short> numbers;
    for (const QVariant& number : firstColumn(Statement::DiveNumbers, {textValue(serial)}))
        numbers.append(quint16(number.toInt()));
    return numbers;
}

int DiveDb::storeUserInformation(int id, const UserInformation& info)
{
    if (!isOpen())
        return NotOpen;
    if (!mayWrite())
        return SqlFailed;
    Run update = run(Statement::StoreUserInformation,
                     {textValue(info.place), textValue(info.site), textValue(info.buddy), id});
    if (!update)
        return SqlFailed;
    return update->numRowsAffected() > 0 ? Success : NotFound;
}

int DiveDb::checkComputerNameBySerial(const QString& serial, const QString& computerName,
                                      bool& changed)
{
    if (!isOpen())
        return NotOpen;
    if (!mayWrite())
        return SqlFailed;
    const QString name = storedComputerName(computerName);
    Run update = run(Statement::RenameComputer, {name, storedSerial(serial), name});
    if (!update)
        return SqlFailed;
    changed = update->numRowsAffected() > 0;
    return Success;
}

QString DiveDb::getSerialOfDive(int id) const
{
    Run row = run(Statement::SerialOfDive, {id});
    return row && row->next() ? row->value(0).toString() : QString();
}

bool DiveDb::isNameTaken(int id, const QString& name) const
{
    Run found = run(Statement::NameOfSameComputer, {id, textValue(name)});
    return found && found->next();
}

bool DiveDb::renameDive(int id, const QString& newName)
{
    if (!isOpen() || !mayWrite() || isNameTaken(id, newName))
        return false;
    Run rename = run(Statement::RenameDive, {textValue(newName), id});
    if (!rename)
        return false;
    if (rename->numRowsAffected() < 1) {
        mLastError = tr("Dive %1 is not in the database").arg(id);
        return false;
    }
    return true;
}

bool DiveDb::runEach(std::initializer_list<Statement> statements,
                     std::initializer_list<QVariant> values)
{
    return std::all_of(statements.begin(), statements.end(), [this, values](Statement statement) {
        return bool(run(statement, values));
    });
}

bool DiveDb::deleteDive(int id)
{
    if (!isOpen())
        return false;
    Transaction transaction(*this);
    return transaction.begun() && mayWrite() &&
           runEach({Statement::DeleteSamples, Statement::DeleteGases, Statement::DeleteDive},
                   {id}) &&
           transaction.commit();
}

QList<QVariant> DiveDb::firstColumn(Statement statement,
                                    std::initializer_list<QVariant> values) const
{
    QList<QVariant> column;
    Run rows = run(statement, values);
    while (rows && rows->next())
        column.append(rows->value(0));
    return column;
}

QList<QString> DiveDb::getDistinctSerialNumber(QList<QString>& names) const
{
    const QList<QString> serials = textsOf(firstColumn(Statement::DistinctSerials, {}));
    for (const QString& serial : serials)
        names.append(textsOf(firstColumn(Statement::ComputersOfSerial, {serial})).join(", "));
    return serials;
}

QList<QString> DiveDb::getDistinctComputerName() const
{
    return textsOf(firstColumn(Statement::DistinctComputers, {}));
}

bool DiveDb::markUploaded(int id, bool uploaded)
{
    if (!mayWrite())
        return false;
    Run update = run(Statement::MarkUploaded, {int(uploaded), id});
    return update && update->numRowsAffected() > 0;
}

QList<int> DiveDb::getNotUploadedPelavixDiveIds() const
{
    QList<int> ids;
    for (const QVariant& id : firstColumn(Statement::NotUploadedPelavix, {}))
        ids.append(id.toInt());
    return ids;
}

int DiveDb::clearDatabase()
{
    if (!isOpen())
        return NotOpen;
    Transaction transaction(*this);
    if (!transaction.begun() || !mayWrite())
        return SqlFailed;
    if (!runEach({Statement::ClearDives, Statement::ClearSamples, Statement::ClearGases}, {}))
        return SqlFailed;
    return transaction.commit() ? Success : SqlFailed;
}
