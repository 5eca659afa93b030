// Reads damaged UDDF files: the real export of another program and one of
// ours, cut short, with bytes flipped, elements deleted or duplicated, and
// numbers replaced by what no dive holds. Every read either refuses with a
// reason, leaving the dive as it was, or gives finite values and gas indices
// the dive has.

#include "diveprofiles.h"
#include "testenvironment.h"
#include "uddfdives.h"

#include "divemodel/diveanalysis.h"
#include "divemodel/dive.h"
#include "divemodel/uddffile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr quint32 kSeed = 20241201;

// Where the elements and the numbers of a document lie, as byte ranges
// [first, last).
struct DocumentMap
{
    QList<std::pair<qsizetype, qsizetype>> elements;
    QList<std::pair<qsizetype, qsizetype>> numbers;
};

// Elements are found by their opening tag and the first closing tag of the
// same name after it: UDDF never nests an element in one of its own name.
DocumentMap mapOf(const QByteArray& document)
{
    DocumentMap map;
    static const QRegularExpression opening(QStringLiteral("<([A-Za-z][\\w:.-]*)[^>]*?(/?)>"));
    const QString text = QString::fromLatin1(document);
    for (QRegularExpressionMatchIterator it = opening.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (!match.captured(2).isEmpty()) {
            map.elements.append({match.capturedStart(), match.capturedEnd()});
            continue;
        }
        const QString closing = "</" + match.captured(1) + ">";
        const qsizetype end = text.indexOf(closing, match.capturedEnd());
        if (end >= 0)
            map.elements.append({match.capturedStart(), end + closing.size()});
    }
    static const QRegularExpression number(QStringLiteral("(?<=[>\"])-?[0-9][0-9.eE+-]*(?=[<\"])"));
    for (QRegularExpressionMatchIterator it = number.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        map.numbers.append({match.capturedStart(), match.capturedEnd()});
    }
    return map;
}

// Texts no dive holds in place of a number.
const QList<QByteArray> kBadNumbers = {"nan",  "NaN",    "inf",   "-inf", "infinity", "1e999", "-1e999",
                                       "1e-999", "99999999999999999999", "-99999999999999999999",
                                       "2147483648", "1966111", "1e308", "", " ", "0x10", "1,5"};

// The damaged copies of a document, from a fixed seed.
class Mutator
{
public:
    Mutator(const QByteArray& document, quint32 seed)
        : mDocument(document)
        , mMap(mapOf(document))
        , mRandom(seed)
    {
    }

    qsizetype elementCount() const { return mMap.elements.size(); }
    qsizetype numberCount() const { return mMap.numbers.size(); }

    // Cut after `length` bytes.
    QByteArray truncated(qsizetype length) const { return mDocument.left(length); }

    QByteArray flipped()
    {
        QByteArray copy = mDocument;
        const int flips = 1 + int(mRandom.bounded(8));
        for (int i = 0; i < flips; ++i)
            copy[index(copy.size())] ^= char(1 + mRandom.bounded(255));
        return copy;
    }

    QByteArray withoutElement()
    {
        const auto [first, last] = mMap.elements.at(index(mMap.elements.size()));
        return QByteArray(mDocument).remove(first, last - first);
    }

    QByteArray withElementTwice()
    {
        const auto [first, last] = mMap.elements.at(index(mMap.elements.size()));
        return QByteArray(mDocument).insert(last, mDocument.mid(first, last - first));
    }

    QByteArray withBadNumber()
    {
        const auto [first, last] = mMap.numbers.at(index(mMap.numbers.size()));
        return QByteArray(mDocument).replace(first, last - first, kBadNumbers.at(index(kBadNumbers.size())));
    }

private:
    qsizetype index(qsizetype count) { return qsizetype(mRandom.bounded(quint32(count))); }

    QByteArray mDocument;
    DocumentMap mMap;
    QRandomGenerator mRandom;
};

bool finite(double value)
{
    return std::isfinite(value);
}

// What is wrong with a dive that a read accepted; empty when nothing is.
QString acceptedFault(const Dive& dive)
{
    for (const double value : {dive.maxDepth, dive.avgDepth, dive.maxTime, dive.minTemperature, dive.maxTemperature,
                               dive.totalDecoTime, dive.ascentTime}) {
        if (!finite(value))
            return QStringLiteral("a statistic is %1").arg(value);
    }
    for (const DiveGas& gas : dive.gases) {
        if (!finite(gas.fO2) || !finite(gas.fHe) || !finite(gas.fN2))
            return QStringLiteral("a gas is not finite");
    }
    for (qsizetype i = 0; i < dive.lines.size(); ++i) {
        const DiveLine& line = dive.lines.at(i);
        for (const double value : {line.timeSec, line.depth, line.pressure, line.speed, line.ambientTemp,
                                   line.decoCeiling, line.gradientFactor, line.otu, line.cns, line.ppO2}) {
            if (!finite(value))
                return QStringLiteral("sample %1 holds %2").arg(i).arg(value);
        }
        if (line.gasIndex < -1 || line.gasIndex >= dive.gases.size())
            return QStringLiteral("sample %1 names gas %2 of %3").arg(i).arg(line.gasIndex).arg(dive.gases.size());
    }
    for (const CeilPoint& point : dive.ceilingPoints) {
        if (!finite(point.time) || !finite(point.depth))
            return QStringLiteral("a ceiling point is not finite");
    }
    return QString();
}

// What is wrong after a refused read; empty when the dive is as it was and
// the refusal says why.
QString refusedFault(const Dive& dive, const Dive& before, const QString& reason)
{
    if (reason.isEmpty())
        return QStringLiteral("refused without a reason");
    const QString difference = testkit::firstSampleDifference(dive, before);
    if (!difference.isEmpty())
        return difference;
    if (dive.name != before.name || dive.gases.size() != before.gases.size() || dive.beginTime != before.beginTime
        || dive.maxDepth != before.maxDepth || dive.format != before.format
        || dive.ceilingPoints.size() != before.ceilingPoints.size())
        return QStringLiteral("the refused read changed the dive");
    return QString();
}

} // namespace

class UddfFuzzTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        mBefore = testkit::mixedGasDive(1700000000);
        mBefore.name = QStringLiteral("Before");
        mBefore.format = int(DiveFormat::Csv);
        DiveAnalysis::calculateMaxTimeDepth(mBefore);
        DiveAnalysis::createCeilPointsFromLines(mBefore);
    }

    void cleanupTestCase()
    {
        qInfo("%lld damaged UDDF files read: %lld accepted, %lld refused", mReads, mAccepted, mReads - mAccepted);
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("document");
        QFile real(QStringLiteral(MAREVANE_DIVEMODEL_TEST_DATA "/logbook-export-oc.uddf"));
        QVERIFY(real.open(QIODevice::ReadOnly));
        QTest::newRow("real export") << real.readAll();
        Dive written = testkit::mixedGasDive(1720945230);
        const QString path = mDir.filePath(QStringLiteral("written.uddf"));
        QVERIFY(UddfFile().write(path, written));
        QFile ours(path);
        QVERIFY(ours.open(QIODevice::ReadOnly));
        QTest::newRow("written") << ours.readAll();
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, document);
        Mutator mutator(document, kSeed);
        QVERIFY(mutator.elementCount() > 50);
        QVERIFY(mutator.numberCount() > 50);

        // Cuts at evenly spaced points throughout the file.
        const qsizetype cuts = std::min<qsizetype>(document.size(), 600);
        for (qsizetype i = 0; i < cuts; ++i)
            QVERIFY(readsSafely(mutator.truncated(i * document.size() / cuts)));
        for (int i = 0; i < 300; ++i) {
            QVERIFY(readsSafely(mutator.flipped()));
            QVERIFY(readsSafely(mutator.withoutElement()));
            QVERIFY(readsSafely(mutator.withElementTwice()));
            QVERIFY(readsSafely(mutator.withBadNumber()));
        }
    }

private:
    bool readsSafely(const QByteArray& contents)
    {
        const QString path = testkit::writeTestFile(mDir.filePath(QStringLiteral("damaged.uddf")), contents);
        Dive dive = mBefore;
        QString reason;
        const bool accepted = DiveAnalysis::importDiveFile(dive, path, &reason);
        ++mReads;
        mAccepted += accepted ? 1 : 0;
        const QString fault = accepted ? acceptedFault(dive) : refusedFault(dive, mBefore, reason);
        if (fault.isEmpty())
            return true;
        testkit::writeTestFile(mDir.filePath(QStringLiteral("failing.uddf")), contents);
        qWarning("%s (file kept as %s)", qPrintable(fault), qPrintable(mDir.filePath("failing.uddf")));
        mDir.setAutoRemove(false);
        return false;
    }

    QTemporaryDir mDir;
    Dive mBefore;
    qint64 mReads = 0;
    qint64 mAccepted = 0;
};

MAREVANE_TEST_MAIN(UddfFuzzTest)
#include "tst_uddffuzz.moc"
