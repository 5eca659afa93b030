#include "divemodel/csvfile.h"

#include "common/timetexts.h"
#include "divemodel/dive.h"

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

// Whole seconds of a time in seconds, rounded down; 0 when not a finite,
// non-negative number.
qint64 wholeSeconds(double seconds)
{
    if (!(seconds >= 0.0))
        return 0;
    if (seconds >= double(std::numeric_limits<qint64>::max()))
        return std::numeric_limits<qint64>::max();
    return qint64(std::floor(seconds));
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
        .text(knownGas ? dive.gases.at(sample.gasIndex).mName : QStringLiteral("Inconnu"))
        .text(sampleAlertText(sample))
        .integer(sample.tankPressure)
        .text(transmitterText(sample))
        .integer(sample.gfLow)
        .integer(sample.gfHigh)
        .number(sample.ppO2)
        .take();
}

// A number of the import, read in the C locale; 0 for anything else,
// infinities and not-a-number included.
double importNumber(QStringView field)
{
    bool ok = false;
    const double value = field.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

qint16 importMinutes(QStringView field)
{
    const double minutes = std::trunc(importNumber(field));
    return qint16(qBound(double(std::numeric_limits<qint16>::min()), minutes,
                         double(std::numeric_limits<qint16>::max())));
}

DiveLine importSample(const QList<QStringView>& fields)
{
    DiveLine sample;
    sample.timeSec = importNumber(fields.at(0));
    sample.depth = importNumber(fields.at(1));
    sample.ambientTemp = importNumber(fields.at(3));
    sample.otu = importNumber(fields.at(4));
    sample.cns = importNumber(fields.at(5));
    sample.decoCeiling = importNumber(fields.at(6));
    sample.ndl = importMinutes(fields.at(7));
    return sample;
}

} // namespace

bool CsvFile::write(const QString& path, Dive& dive)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);
    stream.setGenerateByteOrderMark(true);

    CsvLine line(QChar::fromLatin1(separator), exportLocale(frenchLocale));
    stream << line.texts(diveTitles()).take();
    stream << diveValues(line, dive);
    stream << line.texts(sampleTitles()).take();
    for (qsizetype i = 0; i < dive.lines.size(); ++i)
        stream << sampleValues(line, i, dive.lines.at(i), dive);

    stream.flush();
    const bool written = stream.status() == QTextStream::Ok && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

bool CsvFile::read(const QString& path, Dive& dive)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);

    QList<DiveLine> samples;
    QString text;
    while (stream.readLineInto(&text)) {
        const QList<QStringView> fields = QStringView(text).split(QLatin1Char('\t'), Qt::KeepEmptyParts);
        if (fields.size() == kImportFieldCount)
            samples.append(importSample(fields));
    }
    if (samples.isEmpty())
        return false;

    dive.lines.append(samples);
    dive.name = QFileInfo(path).completeBaseName();
    return true;
}
