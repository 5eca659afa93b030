#include "damagedlogbook.h"

#include "rawsqlite.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>

namespace testkit {

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size();
}

qsizetype pageSize(const QByteArray& file)
{
    const quint16 size = qFromBigEndian<quint16>(file.constData() + 16);
    return size == 1 ? 65536 : size;
}

qsizetype pageOffset(const QByteArray& file, int page)
{
    return qsizetype(page - 1) * pageSize(file);
}

quint32 word(const QByteArray& file, qsizetype at)
{
    return qFromBigEndian<quint32>(file.constData() + at);
}

void setWord(QByteArray& file, qsizetype at, quint32 value)
{
    qToBigEndian(value, file.data() + at);
}

// The lowest leaf page of the samples: it holds the first samples of dive 1.
int firstSamplePage(const QString& path)
{
    RawSqlite raw(path);
    return raw.value("SELECT MIN(pageno) FROM dbstat WHERE name = 'profiles' AND pagetype = 'leaf'").toInt();
}

QString ran(RawSqlite& raw, const QString& sql)
{
    return raw.exec(sql) ? QString() : raw.lastError();
}

} // namespace

namespace damage {

QString samplesIndexOutOfStep(const QString& path)
{
    RawSqlite raw(path);
    const qint64 moved = raw.value("SELECT rowid FROM profiles WHERE diveid = 2 AND pointid = 10").toLongLong();
    // A table of the same key, filled as the samples' index should be but
    // for that one sample; its index then takes the place of theirs.
    return ran(raw, QStringLiteral("CREATE TABLE shadow (diveid INTEGER, pointid INTEGER, PRIMARY KEY(diveid, pointid));"
                                   "INSERT INTO shadow (rowid, diveid, pointid) "
                                   "SELECT rowid, diveid, pointid FROM profiles WHERE rowid <> %1;"
                                   "INSERT INTO shadow (rowid, diveid, pointid) VALUES (%1, 4, 100000);"
                                   "PRAGMA writable_schema = ON;"
                                   "UPDATE sqlite_master SET rootpage = (SELECT rootpage FROM sqlite_master "
                                   "WHERE name = 'sqlite_autoindex_shadow_1') "
                                   "WHERE name = 'sqlite_autoindex_profiles_1';"
                                   "DELETE FROM sqlite_master WHERE tbl_name = 'shadow';"
                                   "PRAGMA writable_schema = OFF;")
                        .arg(moved));
}

QString pageInUseListedAsFree(const QString& path)
{
    // Deleting the last dive leaves free pages; the first of them is
    // replaced by a page of dive 1.
    {
        RawSqlite raw(path);
        if (const QString error = ran(raw, "DELETE FROM profiles WHERE diveid = 3; DELETE FROM gases WHERE "
                                           "diveid = 3; DELETE FROM dives WHERE diveid = 3");
            !error.isEmpty())
            return error;
    }
    const int inUse = firstSamplePage(path);
    QByteArray file = contentsOf(path);
    const quint32 trunk = word(file, 32);
    if (trunk == 0 || inUse < 2)
        return QStringLiteral("no free pages");
    const qsizetype list = pageOffset(file, int(trunk));
    if (word(file, list + 4) == 0)
        return QStringLiteral("the free list has no leaves");
    setWord(file, list + 8, quint32(inUse));
    return write(path, file) ? QString() : QStringLiteral("cannot write the file");
}

QString firstSamplePageFlipped(const QString& path)
{
    const int page = firstSamplePage(path);
    QByteArray file = contentsOf(path);
    if (page < 2)
        return QStringLiteral("no sample page");
    file[pageOffset(file, page)] = char(file.at(pageOffset(file, page)) ^ 0x0f);
    return write(path, file) ? QString() : QStringLiteral("cannot write the file");
}

QString diveIdSharedWithoutKey(const QString& path)
{
    RawSqlite raw(path);
    const QString keyless = raw.value("SELECT sql FROM sqlite_master WHERE name = 'dives'")
                                .toString()
                                .remove(QStringLiteral(", PRIMARY KEY(diveid)"));
    return ran(raw, QStringLiteral("ALTER TABLE dives RENAME TO keyed; %1; INSERT INTO dives SELECT * FROM keyed; "
                                   "DROP TABLE keyed; INSERT INTO dives SELECT * FROM dives WHERE diveid = 2; "
                                   "UPDATE dives SET name = 'Second wreck' WHERE rowid = (SELECT MAX(rowid) FROM dives)")
                        .arg(keyless));
}

QString samplesDroppedByATrigger(const QString& path)
{
    RawSqlite raw(path);
    return ran(raw, "CREATE TRIGGER thinning AFTER INSERT ON profiles WHEN NEW.pointid % 10 = 9 "
                    "BEGIN DELETE FROM profiles WHERE rowid = NEW.rowid; END");
}

QString randomBitsFlipped(const QString& path, quint32 seed, int bits)
{
    QByteArray file = contentsOf(path);
    if (file.isEmpty())
        return QStringLiteral("no file");
    QRandomGenerator random(seed);
    for (int i = 0; i < bits; ++i) {
        const qsizetype at = qsizetype(random.bounded(quint32(file.size())));
        file[at] = char(file.at(at) ^ (1 << random.bounded(8)));
    }
    return write(path, file) ? QString() : QStringLiteral("cannot write the file");
}

} // namespace damage

bool passesQuickCheck(const QString& path)
{
    RawSqlite raw(path);
    const QList<QList<QVariant>> rows = raw.rows("PRAGMA quick_check");
    return rows.size() == 1 && rows.first().value(0).toString() == "ok";
}

} // namespace testkit
