#include "divemodel/uddffile.h"

#include "common/textfiles.h"
#include "common/wholenumbers.h"
#include "divemodel/diveanalysis.h"
#include "divemodel/dive.h"
#include "divemodel/divelimits.h"

#include <QCoreApplication>
#include <QFile>

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr double kZeroCelsius = 273.15;        // K
constexpr double kTemperatureBeforeAny = 20.0; // °C, until a waypoint gives one
constexpr const char* kUnnamed = "000000";     // id of the group, and of a dive without a name

// Magnitudes no number of a waypoint reaches: a file beyond them is refused,
// so that no sum or difference the analyses make of them overflows.
constexpr double kDeepestSea = divelimits::kDeepest; // m, depths and ceilings
constexpr double kLargestReading = 1.0e6;                 // temperatures (K) and CNS
constexpr double kAnyMagnitude = std::numeric_limits<double>::infinity();

// Longest piece of a refused value quoted in the reason.
constexpr qsizetype kQuotedLength = 40;

// ---- Numbers in the C form, whatever locale the C library was given ----

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Adds the digits at `p` to `digits`; where they end.
const char* readDigits(const char* p, std::uint64_t& digits)
{
    for (; isDigit(*p); ++p)
        digits = digits * 10 + std::uint64_t(*p - '0');
    return p;
}

// A plain decimal of at most 15 digits ("25.37", "-3") making up the whole
// text, read directly: its digits and the power of ten are exact doubles, so
// one division rounds the way std::from_chars does. Empty for any other text.
// Nearly every number of a long profile takes this way.
std::optional<double> plainDecimal(const char* text)
{
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    constexpr std::ptrdiff_t kMostDigits = 15;
    const bool negative = *text == '-';
    const char* integer = text + (negative ? 1 : 0);
    std::uint64_t digits = 0;
    const char* integerEnd = readDigits(integer, digits);
    const char* end = *integerEnd == '.' ? readDigits(integerEnd + 1, digits) : integerEnd;
    const std::ptrdiff_t decimals = end == integerEnd ? 0 : end - integerEnd - 1;
    const std::ptrdiff_t count = (integerEnd - integer) + decimals;
    if (*end != '\0' || count == 0 || count > kMostDigits)
        return std::nullopt;
    const double value = double(digits) / kPowersOfTen[decimals];
    return negative ? -value : value;
}

// A number in the C form ("12.5", "-3", "1e-4"), blanks around it and a
// leading plus sign allowed; empty for any other text and for a value that
// is not finite or lies beyond a double.
std::optional<double> parseNumber(const char* text)
{
    if (const std::optional<double> plain = plainDecimal(text))
        return plain;
    std::string_view view(text);
    while (!view.empty() && isBlank(view.front()))
        view.remove_prefix(1);
    while (!view.empty() && isBlank(view.back()))
        view.remove_suffix(1);
    if (view.size() > 1 && view.front() == '+' && view[1] != '-')
        view.remove_prefix(1);
    double value = 0.0;
    const char* end = view.data() + view.size();
    const auto [stop, error] = std::from_chars(view.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The shortest text in the C form that reads back as the same double.
class NumberText
{
public:
    explicit NumberText(double value)
        : mSize(std::size_t(std::to_chars(mText, mText + sizeof mText, value).ptr - mText))
    {
    }
    const char* data() const { return mText; }
    std::size_t size() const { return mSize; }

private:
    char mText[32];
    std::size_t mSize;
};

void setNumber(pugi::xml_text text, double value)
{
    const NumberText number(value);
    text.set(number.data(), number.size());
}

void setNumber(pugi::xml_attribute attribute, double value)
{
    const NumberText number(value);
    attribute.set_value(number.data(), number.size());
}

// ---- Begin time: local date and time, a zone designator not interpreted ----

constexpr std::string_view kDateTimeLayout = "dddd-dd-ddTdd:dd:dd";

// "yyyy-MM-ddThh:mm:ss", the local wall-clock date and time of `seconds`,
// without a zone designator: the time on the diver's watch, which other
// programs read as such. Empty when the C library cannot convert it.
std::string localDateTimeText(qint64 seconds)
{
    const std::time_t time = std::time_t(seconds);
    std::tm local{};
    if (!localtime_r(&time, &local))
        return {};
    char text[64];
    const int size = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", local.tm_year + 1900,
                                   local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return std::string(text, std::size_t(std::clamp(size, 0, int(sizeof text) - 1)));
}

int digitsAt(std::string_view text, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

// Seconds since the epoch of a text that starts "yyyy-MM-ddThh:mm:ss", read
// as local time with the C library deciding on daylight saving; what follows
// (a fraction of a second, a zone) is not interpreted. 0 for any other text
// and for a date or time that does not exist.
qint64 localSecondsOf(std::string_view text)
{
    if (text.size() < kDateTimeLayout.size())
        return 0;
    for (std::size_t i = 0; i < kDateTimeLayout.size(); ++i) {
        if (kDateTimeLayout[i] == 'd' ? !isDigit(text[i]) : text[i] != kDateTimeLayout[i])
            return 0;
    }
    const int month = digitsAt(text, 5, 2);
    const int day = digitsAt(text, 8, 2);
    std::tm broken{};
    broken.tm_year = digitsAt(text, 0, 4) - 1900;
    broken.tm_mon = month - 1;
    broken.tm_mday = day;
    broken.tm_hour = digitsAt(text, 11, 2);
    broken.tm_min = digitsAt(text, 14, 2);
    broken.tm_sec = digitsAt(text, 17, 2);
    broken.tm_isdst = -1;
    if (broken.tm_hour > 23 || broken.tm_min > 59 || broken.tm_sec > 60)
        return 0;
    const std::time_t seconds = std::mktime(&broken);
    // mktime moves a day beyond its month into the next one: such a date
    // does not exist.
    if (seconds == std::time_t(-1) || broken.tm_mon != month - 1 || broken.tm_mday != day)
        return 0;
    return qint64(seconds);
}

// ---- Gas ids ----

// The id of a written mix: its class ("OC" open circuit, "DIL" diluent, "BO"
// bailout) and its place among the dive's gases, from 1.
std::string writtenGasId(const DiveGas& gas, qsizetype number)
{
    const int gasClass = gas.legacyGasClass();
    return (gasClass == 1 ? "DIL" : gasClass == 2 ? "BO" : "OC") + std::to_string(number);
}

// Diluents are written "DIL" and read "DIL" or "CC" (closed circuit).
int gasClassOfId(std::string_view id)
{
    if (id.starts_with("DIL") || id.starts_with("CC"))
        return 1;
    if (id.starts_with("BO"))
        return 2;
    return 0;
}

// ---- Writing ----

void appendText(pugi::xml_node parent, const char* name, const char* text)
{
    parent.append_child(name).text().set(text);
}

void appendNumber(pugi::xml_node parent, const char* name, double value)
{
    setNumber(parent.append_child(name).text(), value);
}

pugi::xml_node appendRoot(pugi::xml_document& document)
{
    pugi::xml_node uddf = document.append_child("uddf");
    uddf.append_attribute("xmlns:xsd").set_value("http://www.w3.org/2001/XMLSchema");
    uddf.append_attribute("xmlns:xsi").set_value("http://www.w3.org/2001/XMLSchema-instance");
    uddf.append_attribute("version").set_value("3.2.3");
    uddf.append_attribute("xmlns").set_value("http://www.streit.cc/uddf/3.2/");
    return uddf;
}

// The program that wrote the file, the same in every file.
void appendGenerator(pugi::xml_node uddf)
{
    pugi::xml_node generator = uddf.append_child("generator");
    appendText(generator, "name", "Vorne Systems Dive Log");
    appendText(generator, "type", "logbook");
    appendText(generator, "version", "2.9.3");
    appendText(generator, "datetime", "2024-01-17T11:16:00Z");
}

void appendGasDefinitions(pugi::xml_node uddf, const QList<DiveGas>& gases, const std::vector<std::string>& ids)
{
    if (gases.isEmpty())
        return;
    pugi::xml_node definitions = uddf.append_child("gasdefinitions");
    for (qsizetype i = 0; i < gases.size(); ++i) {
        const DiveGas& gas = gases.at(i);
        pugi::xml_node mix = definitions.append_child("mix");
        mix.append_attribute("id").set_value(ids.at(std::size_t(i)).c_str());
        if (!gas.mName.isEmpty())
            appendText(mix, "name", gas.mName.toUtf8().constData());
        appendNumber(mix, "o2", gas.o2Percent() / 100.0);
        appendNumber(mix, "he", gas.hePercent() / 100.0);
    }
}

// Writes the samples as waypoints; the circuit and the gas go on the first
// waypoint and wherever they change.
class WaypointWriter
{
public:
    WaypointWriter(pugi::xml_node samples, const std::vector<std::string>& gasIds)
        : mSamples(samples)
        , mGasIds(gasIds)
    {
    }

    void append(const DiveLine& line)
    {
        pugi::xml_node waypoint = mSamples.append_child("waypoint");
        appendNumber(waypoint, "depth", line.depth);
        waypoint.append_child("divetime").text().set(wholeSeconds(line.timeSec));
        appendNumber(waypoint, "temperature", line.ambientTemp + kZeroCelsius);
        if (line.decoCeiling > 0.0) {
            pugi::xml_node stop = waypoint.append_child("decostop");
            stop.append_attribute("kind").set_value("mandatory");
            setNumber(stop.append_attribute("decodepth"), line.decoCeiling);
            stop.append_attribute("duration").set_value(0);
        } else if (line.ndl > 0) {
            waypoint.append_child("nodecotime").text().set(int(line.ndl) * 60);
        }
        if (line.alertFlag != 0)
            waypoint.append_child("alarm").text().set(unsigned(line.alertFlag));
        if (mFirst || line.ccr != mLastCcr) {
            waypoint.append_child("divemode").append_attribute("type").set_value(line.ccr ? "closedcircuit"
                                                                                          : "opencircuit");
            mLastCcr = line.ccr;
        }
        const bool knownGas = line.gasIndex >= 0 && std::size_t(line.gasIndex) < mGasIds.size();
        if (knownGas && line.gasIndex != mLastGas) {
            waypoint.append_child("switchmix").append_attribute("ref").set_value(
                mGasIds.at(std::size_t(line.gasIndex)).c_str());
            mLastGas = line.gasIndex;
        }
        mFirst = false;
    }

private:
    pugi::xml_node mSamples;
    const std::vector<std::string>& mGasIds;
    bool mFirst = true;
    bool mLastCcr = false;
    int mLastGas = -1;
};

// Gathers the document's text.
class ByteWriter : public pugi::xml_writer
{
public:
    void write(const void* data, std::size_t size) override
    {
        mBytes.append(static_cast<const char*>(data), qsizetype(size));
    }

    const QByteArray& bytes() const { return mBytes; }

private:
    QByteArray mBytes;
};

void appendProfile(pugi::xml_node uddf, const Dive& dive, const std::vector<std::string>& gasIds)
{
    pugi::xml_node group = uddf.append_child("profiledata").append_child("repetitiongroup");
    group.append_attribute("id").set_value(kUnnamed);
    pugi::xml_node diveElement = group.append_child("dive");
    diveElement.append_attribute("id").set_value(dive.name.isEmpty() ? QByteArray(kUnnamed).constData()
                                                                     : dive.name.toUtf8().constData());
    if (dive.beginTime > 0)
        appendText(diveElement.append_child("informationbeforedive"), "datetime",
                   localDateTimeText(dive.beginTime).c_str());
    WaypointWriter waypoints(diveElement.append_child("samples"), gasIds);
    for (const DiveLine& line : dive.lines)
        waypoints.append(line);
}

// ---- Reading ----

// Whether two texts are equal. The names and numbers of a waypoint are a few
// characters long: comparing them here is quicker than a call to strcmp.
bool sameText(const char* a, const char* b)
{
    while (*a == *b && *a != '\0') {
        ++a;
        ++b;
    }
    return *a == *b;
}

QString quoted(const char* text)
{
    return QString::fromUtf8(text).left(kQuotedLength);
}

// What a waypoint says about its sample: the texts of its numbers, of its
// circuit and of its gas switch, each null when the waypoint lacks it; the
// first element of a name counts.
struct WaypointTexts
{
    const char* depth = nullptr;
    const char* divetime = nullptr;
    const char* temperature = nullptr;
    const char* cns = nullptr;
    const char* decodepth = nullptr; // of the stop
    const char* nodecotime = nullptr;
    const char* divemode = nullptr;  // its type
    const char* switchmix = nullptr; // the id of the mix

    // One walk over the children: a long profile has hundreds of thousands
    // of waypoints. Text and comments have no name and are passed over.
    explicit WaypointTexts(pugi::xml_node waypoint)
    {
        for (pugi::xml_node child = waypoint.first_child(); child; child = child.next_sibling())
            take(child);
    }

private:
    void take(pugi::xml_node child)
    {
        const char* name = child.name();
        if (isNamed(name, "depth"))
            first(depth, child.child_value());
        else if (isNamed(name, "divetime"))
            first(divetime, child.child_value());
        else if (isNamed(name, "temperature"))
            first(temperature, child.child_value());
        else if (isNamed(name, "cns"))
            first(cns, child.child_value());
        else if (isNamed(name, "decostop"))
            first(decodepth, child.attribute("decodepth").value());
        else if (isNamed(name, "nodecotime"))
            first(nodecotime, child.child_value());
        else if (isNamed(name, "divemode"))
            first(divemode, child.attribute("type").value());
        else if (isNamed(name, "switchmix"))
            first(switchmix, child.attribute("ref").value());
    }

    static bool isNamed(const char* name, const char* wanted)
    {
        return sameText(name, wanted);
    }

    static void first(const char*& text, const char* value)
    {
        if (!text)
            text = value;
    }
};

// One number of a waypoint: its name in the file, the magnitude either side
// of 0 beyond which a file is refused, and the text it was last read from
// with its value. Most readings of a profile (the temperature, the
// no-decompression time) repeat from one waypoint to the next and are read
// once.
struct WaypointNumber
{
    const char* name;
    double largest;
    const char* lastText = "";
    double lastValue = 0.0;
};

// Reads a UDDF document into lists of its own; the dive takes them only once
// the whole document has been read, so a refused file changes nothing.
class UddfReader
{
public:
    explicit UddfReader(const Dive& dive)
        : mEarlierGases(dive.gases)
        , mDiveHadSamples(!dive.lines.isEmpty())
    {
    }

    // False with the reason in error() when the document is refused.
    bool read(const pugi::xml_document& document)
    {
        const pugi::xml_node uddf = document.child("uddf");
        if (!uddf)
            return refuse(QCoreApplication::translate("UddfFile", "The file is not a UDDF document."));
        if (!readGases(uddf.child("gasdefinitions")))
            return false;
        readComputer(uddf.child("diver").child("owner").child("equipment").child("divecomputer"));
        const pugi::xml_node dive = uddf.child("profiledata").child("repetitiongroup").child("dive");
        if (!dive)
            return refuse(QCoreApplication::translate("UddfFile", "The file holds no dive."));
        mName = QString::fromUtf8(dive.attribute("id").value());
        mBeginTime = localSecondsOf(dive.child("informationbeforedive").child("datetime").child_value());
        if (!readSamples(dive.child("samples")))
            return false;
        if (mLines.isEmpty())
            return refuse(QCoreApplication::translate("UddfFile", "The dive holds no sample."));
        // The begin time is the one header figure a document gives.
        DiveHeader begin;
        begin.beginTime = mBeginTime;
        if (const QString error = divelimits::headerError(begin); !error.isEmpty())
            return refuse(error);
        if (const QString error = divelimits::samplesError(mLines); !error.isEmpty())
            return refuse(error);
        // The profile comes back to the surface.
        if (mLines.last().depth != 0.0) {
            DiveLine surface = mLines.last();
            surface.depth = 0.0;
            mLines.append(surface);
        }
        return true;
    }

    void moveInto(Dive& dive)
    {
        dive.gases.append(mGases);
        if (mComputer) {
            dive.computerName = std::move(mComputer->first);
            dive.computerSerial = std::move(mComputer->second);
        }
        dive.name = std::move(mName);
        dive.beginTime = mBeginTime;
        if (dive.lines.isEmpty())
            dive.lines = std::move(mLines);
        else
            dive.lines.append(mLines);
        DiveAnalysis::createCeilPointsFromLines(dive);
    }

    const QString& error() const { return mError; }

private:
    bool refuse(const QString& reason)
    {
        mError = reason;
        return false;
    }

    bool readGases(pugi::xml_node definitions)
    {
        for (pugi::xml_node mix : definitions.children("mix")) {
            DiveGas gas;
            const char* id = mix.attribute("id").value();
            gas.mId = QString::fromUtf8(id);
            gas.mName = QString::fromUtf8(mix.child("name").child_value());
            double o2 = 0.0;
            double he = 0.0;
            if (!mixNumber(gas.mId, mix.child("o2"), o2) || !mixNumber(gas.mId, mix.child("he"), he))
                return false;
            const QString mixture = divelimits::mixtureError(gas.mId, o2, he);
            if (!mixture.isEmpty())
                return refuse(mixture);
            // Whole percentages; an oxygen fraction too low to breathe
            // leaves the gas as it is (21 % oxygen when none is given).
            gas.setFractionO2(std::round(o2 * 100.0) / 100.0);
            gas.setFractionHe(std::round(he * 100.0) / 100.0);
            gas.setLegacyGasClass(gasClassOfId(id));
            mGases.append(gas);
        }
        return true;
    }

    void readComputer(pugi::xml_node computer)
    {
        if (computer)
            mComputer.emplace(QString::fromUtf8(computer.child("name").child_value()),
                              QString::fromUtf8(computer.child("serialnumber").child_value()));
    }

    bool readSamples(pugi::xml_node samples)
    {
        // Room for every child, a sample at 0 s before them and one at the
        // surface after them.
        qsizetype children = 0;
        for (pugi::xml_node child = samples.first_child(); child; child = child.next_sibling())
            ++children;
        mLines.reserve(children + 2);
        for (pugi::xml_node waypoint : samples.children("waypoint")) {
            ++mWaypointNumber;
            if (!readWaypoint(WaypointTexts(waypoint)))
                return false;
        }
        return true;
    }

    // Adds the sample of one waypoint; a waypoint without a time of 0 or more
    // is skipped.
    bool readWaypoint(const WaypointTexts& texts)
    {
        double divetime = -1.0;
        if (!waypointNumber(mDivetimeNumber, texts.divetime, divetime))
            return false;
        divetime = std::trunc(divetime);
        if (divetime < 0.0)
            return true;
        if (divetime > double(std::numeric_limits<int>::max()))
            return refuseOutOfRange(mDivetimeNumber.name, texts.divetime);

        double depth = mDepth;
        double kelvin = -1.0;
        double cns = 0.0;
        double ceiling = 0.0;
        double nodecotime = -1.0;
        if (!waypointNumber(mDepthNumber, texts.depth, depth)
            || !waypointNumber(mTemperatureNumber, texts.temperature, kelvin)
            || !waypointNumber(mCnsNumber, texts.cns, cns)
            || !waypointNumber(mCeilingNumber, texts.decodepth, ceiling)
            || !waypointNumber(mNodecotimeNumber, texts.nodecotime, nodecotime))
            return false;
        const double minutes = std::round(nodecotime / 60.0);
        if (minutes > double(std::numeric_limits<qint16>::max()))
            return refuseOutOfRange(mNodecotimeNumber.name, texts.nodecotime);

        if (!mDiveHadSamples && mLines.isEmpty() && divetime != 0.0)
            mLines.emplaceBack();
        if (texts.divemode)
            mCcr = sameText(texts.divemode, "closedcircuit");
        if (texts.switchmix)
            mGasIndex = gasIndexOf(QString::fromUtf8(texts.switchmix));
        mDepth = depth;
        mTemperature = kelvin > -1.0 ? kelvin - kZeroCelsius : mTemperature;

        DiveLine& line = mLines.emplaceBack();
        line.timeSec = divetime;
        line.depth = depth;
        line.ambientTemp = mTemperature;
        line.cns = cns;
        line.decoCeiling = ceiling;
        line.ndl = nodecotime >= 0.0 ? qint16(minutes) : qint16(0);
        line.ccr = mCcr;
        line.gasIndex = mGasIndex;
        return true;
    }

    // The index among the dive's gases (those it had, then the file's) of
    // the first with the id; the gas in use stays when none has it.
    int gasIndexOf(const QString& id) const
    {
        for (qsizetype i = 0; i < mEarlierGases.size(); ++i) {
            if (mEarlierGases.at(i).mId == id)
                return int(i);
        }
        for (qsizetype i = 0; i < mGases.size(); ++i) {
            if (mGases.at(i).mId == id)
                return int(mEarlierGases.size() + i);
        }
        return mGasIndex;
    }

    // The number of a waypoint's element or attribute; `value` keeps its
    // fallback when there is none.
    bool waypointNumber(WaypointNumber& number, const char* text, double& value)
    {
        if (!text || *text == '\0')
            return true;
        if (!sameText(text, number.lastText)) {
            const std::optional<double> read = parseNumber(text);
            if (!read)
                return refuseNumber(number.name, text);
            if (std::abs(*read) > number.largest)
                return refuseOutOfRange(number.name, text);
            number.lastText = text;
            number.lastValue = *read;
        }
        value = number.lastValue;
        return true;
    }

    bool refuseNumber(const char* name, const char* text)
    {
        return refuse(QCoreApplication::translate("UddfFile", "Waypoint %1: the %2 \"%3\" is not a finite number.")
                          .arg(mWaypointNumber)
                          .arg(QLatin1String(name), quoted(text)));
    }

    bool refuseOutOfRange(const char* name, const char* text)
    {
        return refuse(QCoreApplication::translate("UddfFile", "Waypoint %1: the %2 \"%3\" is out of range.")
                          .arg(mWaypointNumber)
                          .arg(QLatin1String(name), quoted(text)));
    }

    bool mixNumber(const QString& id, pugi::xml_node element, double& value)
    {
        const char* text = element.child_value();
        if (*text == '\0')
            return true;
        if (const std::optional<double> number = parseNumber(text)) {
            value = *number;
            return true;
        }
        return refuse(QCoreApplication::translate("UddfFile", "Mix \"%1\": the %2 \"%3\" is not a finite number.")
                          .arg(id, QLatin1String(element.name()), quoted(text)));
    }

    const QList<DiveGas>& mEarlierGases;
    const bool mDiveHadSamples;

    QList<DiveGas> mGases;
    std::optional<std::pair<QString, QString>> mComputer; // name, serial number
    QString mName;
    qint64 mBeginTime = 0;
    QList<DiveLine> mLines;

    // What a waypoint that does not say takes from the ones before it.
    int mGasIndex = -1;
    bool mCcr = false;
    double mTemperature = kTemperatureBeforeAny;
    double mDepth = 0.0;

    // The numbers of a waypoint.
    WaypointNumber mDivetimeNumber{"divetime", kAnyMagnitude};
    WaypointNumber mDepthNumber{"depth", kDeepestSea};
    WaypointNumber mTemperatureNumber{"temperature", kLargestReading};
    WaypointNumber mCnsNumber{"cns", kLargestReading};
    WaypointNumber mCeilingNumber{"decodepth", kDeepestSea};
    WaypointNumber mNodecotimeNumber{"nodecotime", kAnyMagnitude};

    int mWaypointNumber = 0; // from 1, in document order
    QString mError;
};

} // namespace

bool UddfFile::write(const QString& path, Dive& dive)
{
    std::vector<std::string> gasIds;
    gasIds.reserve(std::size_t(dive.gases.size()));
    for (qsizetype i = 0; i < dive.gases.size(); ++i)
        gasIds.push_back(writtenGasId(dive.gases.at(i), i + 1));

    pugi::xml_document document;
    const pugi::xml_node uddf = appendRoot(document);
    appendGenerator(uddf);
    appendGasDefinitions(uddf, dive.gases, gasIds);
    appendProfile(uddf, dive, gasIds);
    ByteWriter writer;
    document.save(writer, "  ", pugi::format_indent, pugi::encoding_auto);
    // The earlier file stays whole until the document is complete.
    return writeFileAtomically(path, writer.bytes());
}

bool UddfFile::read(const QString& path, Dive& dive)
{
    setErrorString(QString());
    pugi::xml_document document;
    const pugi::xml_parse_result loaded =
        document.load_file(QFile::encodeName(path).constData(), pugi::parse_default | pugi::parse_embed_pcdata);
    switch (loaded.status) {
    case pugi::status_ok:
        break;
    case pugi::status_file_not_found:
    case pugi::status_io_error:
        return false;
    case pugi::status_out_of_memory:
        setErrorString(QCoreApplication::translate("UddfFile", "The file is too large to be read."));
        return false;
    case pugi::status_no_document_element:
        setErrorString(QCoreApplication::translate("UddfFile", "The file is not a UDDF document."));
        return false;
    default:
        setErrorString(QCoreApplication::translate("UddfFile", "The file is not well-formed XML (at byte %1).")
                           .arg(qint64(loaded.offset)));
        return false;
    }

    UddfReader reader(dive);
    if (!reader.read(document)) {
        setErrorString(reader.error());
        return false;
    }
    reader.moveInto(dive);
    return true;
}
