#include "divemodel/csvfile.h"

#include "common/textfiles.h"
#include "common/timetexts.h"
#include "common/wholenumbers.h"
#include "divemodel/dive.h"
#include "divemodel/divelimits.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <QTextStream>

#include <cmath>
#include <limits>
#include <utility>

namespace {

// Sample lines of the TAB-separated import have exactly this many fields.
constexpr qsizetype kImportFieldCount = 20;

// Transmitters whose alert bit the export writes.
constexpr quint8 kExportedTransmitters = 4;

const QStringList& diveTitles()
{
    static const QStringList titles{
        QStringLiteral("Nom de l'ordinateur"), QStringLiteral("N° de plongée"), QStringLiteral("Type"),
        QStringLiteral("Date"), QStringLiteral("N° de série"), QStringLiteral("Mode"), QStringLiteral("Gaz"),
        QStringLiteral("Gfs"), QStringLiteral("Type d'eau"), QStringLiteral("Patm"), QStringLiteral("Alertes"),
        QStringLiteral("PMax"), QStringLiteral("DTP"), QStringLiteral("PMoy"), QStringLiteral("Tmin"),
        QStringLiteral("Tmax"), QStringLiteral("Version Fw"), QStringLiteral("OTU")};
    return titles;
}

const QStringList& sampleTitles()
{
    static const QStringList titles{
        QStringLiteral("N° de point"), QStringLiteral("Temps(sec)"), QStringLiteral("Profondeur(m)"),
        QStringLiteral("Plafond déco(m)"), QStringLiteral("Température (°C)"), QStringLiteral("Tension de la batterie"),
        QStringLiteral("Gaz"), QStringLiteral("Alerte de type CNC"), QStringLiteral("Pression bloc"),
        QStringLiteral("Alerte pression"), QStringLiteral("GF Low"), QStringLiteral("GF High"), QStringLiteral("PpO2")};
    return titles;
}

// Builds one line of fields: numbers in the chosen locale with the stream's
// default notation (six significant digits), a field quoted when it holds the
// separator, a quote or a line break.
class CsvLine
{
public:
    CsvLine(QChar separator, const QLocale& locale)
        : mSeparator(separator)
        , mLocale(locale)
    {
    }

    CsvLine& text(const QString& field)
    {
        if (!mFirst)
            mLine += mSeparator;
        mFirst = false;
        if (needsQuotes(field)) {
            QString quoted = field;
            quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
            mLine += QLatin1Char('"') + quoted + QLatin1Char('"');
        } else {
            mLine += field;
        }
        return *this;
    }
    CsvLine& number(double value) { return text(mLocale.toString(value, 'g', 6)); }
    CsvLine& integer(qint64 value) { return text(mLocale.toString(value)); }
    CsvLine& texts(const QStringList& fields)
    {
        for (const QString& field : fields)
            text(field);
        return *this;
    }

    // The line with its line feed; the builder starts afresh.
    QString take()
    {
        mFirst = true;
        return std::exchange(mLine, QString()) + QLatin1Char('\n');
    }

private:
    bool needsQuotes(const QString& field) const
    {
        return field.contains(mSeparator) || field.contains(QLatin1Char('"')) || field.contains(QLatin1Char('\n'))
               || field.contains(QLatin1Char('\r'));
    }

    QChar mSeparator;
    QLocale mLocale;
    QString mLine;
    bool mFirst = true;
};

QLocale exportLocale(qint32 frenchLocale)
{
    QLocale locale = frenchLocale == 1 ? QLocale(QLocale::French, QLocale::France) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString diveAlertText(quint32 alerts)
{
    QString text;
    if (alerts & Dive::alertRAMask)
        text += QStringLiteral("RA");
    if (alerts & Dive::alertRRMask)
        text += QStringLiteral("RR");
    if (alerts & Dive::alertYoyoMask)
        text += QStringLiteral("Yoyo");
    if (alerts & Dive::alert24HMask)
        text += QStringLiteral("24H");
    return text.isEmpty() ? QStringLiteral("Aucune") : text;
}

QString sampleAlertText(const DiveLine& line)
{
    static const std::pair<QuelmAlertType, const char*> names[] = {
        {QuelmAlertType::D24H, "D24H"}, {QuelmAlertType::Effort, "Effort"}, {QuelmAlertType::Yoyo, "Yoyo"},
        {QuelmAlertType::Pmax, "Pmax"}, {QuelmAlertType::RR, "RR"},         {QuelmAlertType::RA, "RA"}};
    QStringList raised;
    for (const auto& [type, name] : names) {
        if (line.flagQuelm(type) != 0)
            raised << QLatin1String(name);
    }
    return raised.join(QLatin1Char('/'));
}

QString transmitterText(const DiveLine& line)
{
    QStringList raised;
    for (quint8 n = 0; n < kExportedTransmitters; ++n) {
        if (const quint8 bit = line.flagTransmitter(n))
            raised << QStringLiteral("Tx%1:%2").arg(n).arg(bit);
    }
    return raised.join(QLatin1Char('/'));
}

QString beginText(qint64 beginTime)
{
    if (beginTime <= 0)
        return QString();
    return QDateTime::fromSecsSinceEpoch(beginTime, Qt::LocalTime).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString diveValues(CsvLine& line, const Dive& dive)
{
    return line.text(dive.computerName)
        .text(dive.name)
        .text(QStringLiteral("KRV-M"))
        .text(beginText(dive.beginTime))
        .text(dive.computerSerial)
        .text(dive.getDiverModeStr())
        .text(dive.getGasSetStr())
        .text(QStringLiteral("GFlow%1_GFhigh%2").arg(int(dive.gfLow)).arg(int(dive.gfHigh)))
        .text(dive.density == 0 ? QStringLiteral("Salée") : QStringLiteral("Douce"))
        .number(dive.surfacePressure / 1000.0)
        .text(diveAlertText(dive.alertsQuelm))
        .number(dive.maxDepth)
        .text(formatTimeSecondes(wholeSeconds(dive.maxTime)))
        .number(dive.avgDepth)
        .number(dive.minTemperature)
        .number(dive.maxTemperature)
        .text(dive.firmwareVersion)
        .number(dive.otu)
        .take();
}

QString sampleValues(CsvLine& line, qsizetype index, const DiveLine& sample, const Dive& dive)
{
    const bool knownGas = sample.gasIndex >= 0 && sample.gasIndex < dive.gases.size();
    return line.integer(index)
        .number(sample.timeSec)
        .number(sample.depth)
        .number(sample.decoCeiling < 0 ? 0.0 : sample.decoCeiling)
        .number(sample.ambientTemp)
        .integer(sample.battery)
        // The name the gas pane shows: a dive from the logbook stores none.
        .text(knownGas ? dive.gases.at(sample.gasIndex).getName() : QStringLiteral("Inconnu"))
        .text(sampleAlertText(sample))
        .integer(sample.tankPressure)
        .text(transmitterText(sample))
        .integer(sample.gfLow)
        .integer(sample.gfHigh)
        .number(sample.ppO2)
        .take();
}

// The columns of a sample line that the import takes.
enum ImportColumn : qsizetype {
    ImportTime = 0,
    ImportDepth = 1,
    ImportTemperature = 3,
    ImportOtu = 4,
    ImportCns = 5,
    ImportCeiling = 6,
    ImportNdl = 7,
};

// How the import names a column in its messages.
const char* importColumnName(qsizetype column)
{
    switch (column) {
    case ImportTime: return QT_TRANSLATE_NOOP("CsvFile", "the time");
    case ImportDepth: return QT_TRANSLATE_NOOP("CsvFile", "the depth");
    case ImportTemperature: return QT_TRANSLATE_NOOP("CsvFile", "the temperature");
    case ImportOtu: return QT_TRANSLATE_NOOP("CsvFile", "the OTU");
    case ImportCns: return QT_TRANSLATE_NOOP("CsvFile", "the CNS");
    case ImportCeiling: return QT_TRANSLATE_NOOP("CsvFile", "the deco ceiling");
    case ImportNdl: return QT_TRANSLATE_NOOP("CsvFile", "the no-decompression time");
    }
    return "";
}

// A field of the import, read in the C locale. Infinities, not-a-number and
// numbers too large for a double are not finite; any other text is not a number.
struct ImportNumber
{
    enum Kind { Number, NotANumber, NotFinite };

    Kind kind = NotANumber;
    double value = 0.0;

    static ImportNumber of(QStringView field)
    {
        bool ok = false;
        const double value = field.toDouble(&ok);
        if (!std::isfinite(value))
            return {NotFinite, value};
        return ok ? ImportNumber{Number, value} : ImportNumber{};
    }
};

qint16 importMinutes(double minutes)
{
    return qint16(qBound(double(std::numeric_limits<qint16>::min()), std::trunc(minutes),
                         double(std::numeric_limits<qint16>::max())));
}

// The TAB-separated import, one line at a time: a line of exactly 20 fields
// whose time and depth are numbers is a sample (its other fields read 0 when
// they are not numbers); any other line is skipped. A value that is not a
// finite number refuses the whole file.
class TabImport
{
public:
    // False once the line refused the file.
    bool take(QStringView line)
    {
        ++mLineNumber;
        QStringView fields[kImportFieldCount];
        qsizetype count = 0;
        // Counted as they come: a line with too many fields is dropped without
        // splitting the rest of it.
        for (QStringView field : line.tokenize(QLatin1Char('\t'))) {
            if (count == kImportFieldCount)
                return true;
            fields[count++] = field;
        }
        if (count != kImportFieldCount)
            return true;

        ImportNumber numbers[ImportNdl + 1];
        for (qsizetype column = ImportTime; column <= ImportNdl; ++column)
            numbers[column] = ImportNumber::of(fields[column]);
        if (numbers[ImportTime].kind == ImportNumber::NotANumber ||
            numbers[ImportDepth].kind == ImportNumber::NotANumber)
            return true;
        for (qsizetype column = ImportTime; column <= ImportNdl; ++column) {
            if (numbers[column].kind == ImportNumber::NotFinite) {
                refuse(column, fields[column]);
                return false;
            }
        }
        mSamples.append(sampleOf(numbers));
        return true;
    }

    QList<DiveLine>& samples() { return mSamples; }
    const QString& error() const { return mError; }

private:
    static DiveLine sampleOf(const ImportNumber (&numbers)[ImportNdl + 1])
    {
        DiveLine sample;
        sample.timeSec = numbers[ImportTime].value;
        sample.depth = numbers[ImportDepth].value;
        sample.ambientTemp = numbers[ImportTemperature].value;
        sample.otu = numbers[ImportOtu].value;
        sample.cns = numbers[ImportCns].value;
        sample.decoCeiling = numbers[ImportCeiling].value;
        sample.ndl = importMinutes(numbers[ImportNdl].value);
        return sample;
    }

    void refuse(qsizetype column, QStringView field)
    {
        mError = QCoreApplication::translate("CsvFile", "Line %1: %2 is not a finite number (%3)")
                     .arg(mLineNumber)
                     .arg(QCoreApplication::translate("CsvFile", importColumnName(column)),
                          field.trimmed().left(kQuotedFieldLength).toString());
    }

    // A field is quoted in a message up to this many characters.
    static constexpr qsizetype kQuotedFieldLength = 32;

    qsizetype mLineNumber = 0;
    QList<DiveLine> mSamples;
    QString mError;
};

// The lines of a file's bytes in UTF-8, without their line ends ("\n" or
// "\r\n") and without the byte-order mark; false when `take` refuses one.
template<typename Take>
bool forEachLine(const QByteArray& bytes, Take&& take)
{
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (!take(QStringView(QString::fromUtf8(line))))
            return false;
    }
    return true;
}

} // namespace

bool CsvFile::write(const QString& path, Dive& dive)
{
    QByteArray bytes;
    QTextStream stream(&bytes, QIODevice::WriteOnly);
    stream.setEncoding(QStringConverter::Utf8);
    stream.setGenerateByteOrderMark(true);

    CsvLine line(QChar::fromLatin1(separator), exportLocale(frenchLocale));
    stream << line.texts(diveTitles()).take();
    stream << diveValues(line, dive);
    stream << line.texts(sampleTitles()).take();
    for (qsizetype i = 0; i < dive.lines.size(); ++i)
        stream << sampleValues(line, i, dive.lines.at(i), dive);
    stream.flush();
    // The earlier file stays whole until the export is complete.
    return writeFileAtomically(path, bytes);
}

bool CsvFile::read(const QString& path, Dive& dive)
{
    setErrorString(QString());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Read whole and walked once: the time stays linear in the file's size,
    // whatever the length of its lines.
    const QByteArray bytes = file.readAll();
    TabImport import;
    if (!forEachLine(bytes, [&import](QStringView line) { return import.take(line); })) {
        setErrorString(import.error());
        return false;
    }
    if (import.samples().isEmpty()) {
        setErrorString(QCoreApplication::translate(
            "CsvFile", "The file holds no sample: no line of 20 TAB-separated fields with a time and a depth"));
        return false;
    }
    if (!withinLimits(divelimits::samplesError(import.samples())))
        return false;

    dive.lines.append(import.samples());
    dive.name = QFileInfo(path).completeBaseName();
    return true;
}
