#include "planner/planfile.h"

#include "common/textfiles.h"
#include "planner/planlimits.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cmath>
#include <cstddef>

namespace planfile {

namespace {

// Offsets within a record. The first 140 bytes are the tissue state's image.
constexpr qsizetype kNitrogen = 0;
constexpr qsizetype kHelium = 64;
constexpr qsizetype kCns = 128;
constexpr qsizetype kHeliumLoaded = 132;
constexpr qsizetype kReduction = 133;
constexpr qsizetype kReductionFactor = 136;
constexpr qsizetype kSurfaceInterval = 140;
constexpr qsizetype kEffortMode = 144;
constexpr qsizetype kWaterType = 145;
constexpr qsizetype kSurfacePressure = 146; // unaligned: the record is no struct image
constexpr int kCompartments = 16;

static_assert(offsetof(diver_t, N2) == kNitrogen && offsetof(diver_t, He) == kHelium &&
              offsetof(diver_t, CNS) == kCns && offsetof(diver_t, helium) == kHeliumLoaded &&
              offsetof(diver_t, reduction) == kReduction && offsetof(diver_t, reduction_factor) == kReductionFactor &&
              sizeof(diver_t) == kSurfaceInterval);
static_assert(kSurfacePressure + 4 == recordSize);

// The reasons are the plan's, in the user's language.
QString translated(const char* text)
{
    return QCoreApplication::translate("PlanificationPlan", text);
}

// A reason about the dive of that number (counted from 1).
QString aboutDive(int number, const char* text)
{
    return QCoreApplication::translate("PlanificationPlan", "Dive %1: %2").arg(number).arg(translated(text));
}

template<typename T>
void put(char* record, qsizetype offset, T value)
{
    qToLittleEndian(value, record + offset);
}

template<typename T>
T at(const char* record, qsizetype offset)
{
    return qFromLittleEndian<T>(record + offset);
}

void encodeRecord(const DiveRecord& dive, char* record)
{
    const diver_t& tissues = dive.tissues;
    for (int j = 0; j < kCompartments; ++j) {
        put(record, kNitrogen + 4 * j, tissues.N2[j]);
        put(record, kHelium + 4 * j, tissues.He[j]);
    }
    put(record, kCns, tissues.CNS);
    put(record, kHeliumLoaded, tissues.helium);
    put(record, kReduction, quint8(tissues.reduction));
    put(record, kReductionFactor, tissues.reduction_factor);
    put(record, kSurfaceInterval, dive.surfaceInterval);
    put(record, kEffortMode, dive.effortMode);
    put(record, kWaterType, dive.waterType);
    put(record, kSurfacePressure, dive.surfacePressureBar);
}

DiveRecord decodeRecord(const char* record)
{
    DiveRecord dive;
    diver_t& tissues = dive.tissues;
    for (int j = 0; j < kCompartments; ++j) {
        tissues.N2[j] = at<float>(record, kNitrogen + 4 * j);
        tissues.He[j] = at<float>(record, kHelium + 4 * j);
    }
    tissues.CNS = at<float>(record, kCns);
    tissues.helium = at<quint8>(record, kHeliumLoaded);
    tissues.reduction = SurfaceReduction(at<quint8>(record, kReduction));
    tissues.reduction_factor = at<float>(record, kReductionFactor);
    dive.surfaceInterval = at<qint32>(record, kSurfaceInterval);
    dive.effortMode = at<quint8>(record, kEffortMode);
    dive.waterType = at<quint8>(record, kWaterType);
    dive.surfacePressureBar = at<float>(record, kSurfacePressure);
    return dive;
}

// A reduction level the engine knows, with that level's factor.
bool validReduction(const diver_t& tissues)
{
    if (tissues.reduction > reduction_high)
        return false;
    diver_t levelled;
    levelled.setReduction(tissues.reduction);
    return levelled.reduction_factor == tissues.reduction_factor;
}

// Why the planner cannot take this dive of a file; empty when it can.
QString refusal(const DiveRecord& dive, int number)
{
    const diver_t& tissues = dive.tissues;
    if (!tissues.valid())
        return aboutDive(number, QT_TRANSLATE_NOOP("PlanificationPlan", "its tissue state is not valid"));
    for (int j = 0; j < kCompartments; ++j)
        if (double(tissues.N2[j]) + double(tissues.He[j]) > planlimits::highestTissuePressure())
            return aboutDive(number, QT_TRANSLATE_NOOP("PlanificationPlan",
                                                       "its tissues hold more gas than any dive the planner computes"));
    if (tissues.helium > 1)
        return aboutDive(number, QT_TRANSLATE_NOOP("PlanificationPlan", "its helium flag is neither 0 nor 1"));
    if (!validReduction(tissues))
        return aboutDive(number, QT_TRANSLATE_NOOP("PlanificationPlan", "its surface reduction is not valid"));
    if (!std::isfinite(dive.surfacePressureBar))
        return aboutDive(number, QT_TRANSLATE_NOOP("PlanificationPlan", "its surface pressure is not a finite number"));
    if (!planlimits::takesSurfacePressure(dive.surfacePressureBar))
        return aboutDive(number,
                         QT_TRANSLATE_NOOP("PlanificationPlan", "its surface pressure lies outside %1 to %2 mbar"))
            .arg(planlimits::lowestSurfacePressure)
            .arg(planlimits::highestSurfacePressure);
    if (dive.surfaceInterval < 0)
        return aboutDive(number, QT_TRANSLATE_NOOP("PlanificationPlan", "its surface interval is negative"));
    if (dive.surfaceInterval >= planlimits::surfaceIntervalLimit)
        return aboutDive(number, QT_TRANSLATE_NOOP("PlanificationPlan", "its surface interval is a day or more"));
    if (dive.effortMode > 1)
        return aboutDive(number, QT_TRANSLATE_NOOP("PlanificationPlan", "its effort flag is neither 0 nor 1"));
    return {};
}

QString folderRefusal()
{
    return QCoreApplication::translate("PlanificationPlan", "It is a folder, not a file");
}

QString unreadable(const QFile& file)
{
    return QCoreApplication::translate("PlanificationPlan", "The file cannot be read: %1").arg(file.errorString());
}

QString tooLarge()
{
    return QCoreApplication::translate("PlanificationPlan", "The file is larger than a plan of three dives (%1 bytes)")
        .arg(largestFileSize);
}

} // namespace

QByteArray encode(const QList<DiveRecord>& dives)
{
    Q_ASSERT(dives.size() <= largestCount);
    QByteArray bytes(countSize + recordSize * dives.size(), '\0');
    put(bytes.data(), 0, qint32(dives.size()));
    for (qsizetype k = 0; k < dives.size(); ++k)
        encodeRecord(dives.at(k), bytes.data() + countSize + recordSize * k);
    return bytes;
}

bool decode(const QByteArray& bytes, QList<DiveRecord>& dives, QString& reason)
{
    if (bytes.size() < countSize) {
        reason = QCoreApplication::translate("PlanificationPlan", "The file ends before the count of its dives");
        return false;
    }
    const qint32 count = at<qint32>(bytes.constData(), 0);
    if (count < 0 || count > largestCount) {
        reason = QCoreApplication::translate("PlanificationPlan", "The file counts %1 dives; a plan holds 0 to %2")
                     .arg(count)
                     .arg(largestCount);
        return false;
    }
    const qsizetype expected = countSize + recordSize * count;
    if (bytes.size() != expected) {
        reason = QCoreApplication::translate("PlanificationPlan",
                                             "The file holds %1 bytes where a plan of %2 dives takes %3")
                     .arg(bytes.size())
                     .arg(count)
                     .arg(expected);
        return false;
    }
    QList<DiveRecord> read;
    for (int k = 0; k < count; ++k) {
        read.append(decodeRecord(bytes.constData() + countSize + recordSize * k));
        if (const QString why = refusal(read.constLast(), k + 1); !why.isEmpty()) {
            reason = why;
            return false;
        }
    }
    dives = std::move(read);
    return true;
}

bool write(const QString& fileName, const QList<DiveRecord>& dives, QString& reason)
{
    if (writeFileAtomically(fileName, encode(dives), &reason))
        return true;
    // The two mistakes a person makes in a save dialog, said plainly.
    const QFileInfo info(fileName);
    if (info.isDir())
        reason = folderRefusal();
    else if (!info.absoluteDir().exists())
        reason = QCoreApplication::translate("PlanificationPlan", "The folder %1 does not exist")
                     .arg(QDir::toNativeSeparators(info.absolutePath()));
    return false;
}

bool read(const QString& fileName, QList<DiveRecord>& dives, QString& reason)
{
    const QFileInfo info(fileName);
    if (info.isDir()) {
        reason = folderRefusal();
        return false;
    }
    if (!info.exists()) {
        reason = QCoreApplication::translate("PlanificationPlan", "The file does not exist");
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = unreadable(file);
        return false;
    }
    if (file.size() > largestFileSize) {
        reason = tooLarge();
        return false;
    }
    // One byte more than the largest plan tells a larger file, also when the
    // file does not know its size.
    const QByteArray bytes = file.read(largestFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        reason = unreadable(file);
        return false;
    }
    if (bytes.size() > largestFileSize) {
        reason = tooLarge();
        return false;
    }
    return decode(bytes, dives, reason);
}

} // namespace planfile
