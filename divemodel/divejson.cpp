// The JSON form of a dive, its header, its samples and its gases, and the
// one-way export object. The keys live in one table per type, which the
// binary dive file's CBOR encoding reads as well.
#include "common/wholenumbers.h"
#include "divemodel/divejsonfields.h"
#include "divemodel/narrowedfloat.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>

using divejson::Field;
using divejson::FieldKind;

namespace {

using namespace Qt::StringLiterals;

constexpr double kSurfacePressureMissing = 1.013; // bar
constexpr double kSaltWaterSalinity = 1030.0;     // kg/m³
constexpr double kFreshWaterSalinity = 1000.0;

// The entries of one type's table, made from its members.
template<typename T>
struct FieldsOf
{
    template<auto member>
    using ValueOf = std::remove_cvref_t<decltype(std::declval<T&>().*member)>;

    // An integer, read as a 32-bit one: a value beyond that reads as missing.
    template<auto member, int missing = 0>
    static constexpr Field<T> integer(QLatin1StringView key)
    {
        return {key, [](const T& value) { return QJsonValue(qint64(value.*member)); },
                [](T& value, const QJsonValue& json) { value.*member = ValueOf<member>(json.toInt(missing)); }};
    }

    // An integer read as a 64-bit one and narrowed to its field.
    template<auto member>
    static constexpr Field<T> wideInteger(QLatin1StringView key)
    {
        return {key, [](const T& value) { return QJsonValue(qint64(value.*member)); },
                [](T& value, const QJsonValue& json) { value.*member = ValueOf<member>(json.toInteger(0)); }};
    }

    template<auto member>
    static constexpr Field<T> number(QLatin1StringView key)
    {
        return {key, [](const T& value) { return QJsonValue(double(value.*member)); },
                [](T& value, const QJsonValue& json) {
                    if constexpr (std::is_same_v<ValueOf<member>, float>)
                        value.*member = narrowedToFloat(json.toDouble(0.0));
                    else
                        value.*member = json.toDouble(0.0);
                }};
    }

    template<auto member>
    static constexpr Field<T> boolean(QLatin1StringView key)
    {
        return {key, [](const T& value) { return QJsonValue(bool(value.*member)); },
                [](T& value, const QJsonValue& json) { value.*member = json.toBool(false); }};
    }

    template<auto member>
    static constexpr Field<T> text(QLatin1StringView key)
    {
        return {key, [](const T& value) { return QJsonValue(value.*member); },
                [](T& value, const QJsonValue& json) { value.*member = json.toString(); }};
    }

    // An array of integers: as many elements as the field holds are read
    // (missing ones 0), the rest of a longer array is not.
    template<auto member>
    static constexpr Field<T> integers(QLatin1StringView key)
    {
        return {key,
                [](const T& value) {
                    QJsonArray array;
                    for (const auto element : value.*member)
                        array.append(qint64(element));
                    return QJsonValue(array);
                },
                [](T& value, const QJsonValue& json) {
                    const QJsonArray array = json.toArray();
                    auto& field = value.*member;
                    for (qsizetype i = 0; i < qsizetype(std::size(field)); ++i)
                        field[i] = std::remove_cvref_t<decltype(field[0])>(array.at(i).toInt(0));
                }};
    }

    static constexpr Field<T> nested(QLatin1StringView key, FieldKind kind) { return {key, nullptr, nullptr, kind}; }
};

using H = FieldsOf<DiveHeader>;
using L = FieldsOf<DiveLine>;
using G = FieldsOf<DiveGas>;
using D = FieldsOf<Dive>;

// The header object. Its site goes out as "diveSite"; a header written
// without it, or by an older program, may carry "site" instead.
const Field<DiveHeader> kHeaderFields[] = {
    H::integer<&DiveHeader::diveNumber>("diveNumber"_L1),
    H::integer<&DiveHeader::computerModel>("computerModel"_L1),
    H::wideInteger<&DiveHeader::beginTime>("beginTime"_L1),
    H::wideInteger<&DiveHeader::endTime>("endTime"_L1),
    H::number<&DiveHeader::maxDepth>("maxDepth"_L1),
    H::number<&DiveHeader::avgDepth>("avgDepth"_L1),
    H::integer<&DiveHeader::samplePeriod, 5>("samplePeriod"_L1),
    H::wideInteger<&DiveHeader::sampleCount>("sampleCount"_L1),
    H::integer<&DiveHeader::divemode>("divemode"_L1),
    H::integer<&DiveHeader::surfacePressure>("surfacePressure"_L1),
    H::integer<&DiveHeader::density>("density"_L1),
    H::integer<&DiveHeader::gfLow>("gfLow"_L1),
    H::integer<&DiveHeader::gfHigh>("gfHigh"_L1),
    H::integer<&DiveHeader::deepestStop>("deepestStop"_L1),
    H::integer<&DiveHeader::cnsBegin>("cnsBegin"_L1),
    H::integer<&DiveHeader::cnsMax>("cnsMax"_L1),
    H::wideInteger<&DiveHeader::ndl>("ndl"_L1),
    H::number<&DiveHeader::totalDecoTime>("totalDecoTime"_L1),
    H::number<&DiveHeader::ascentTime>("ascentTime"_L1),
    H::wideInteger<&DiveHeader::desatTime>("desatTime"_L1),
    H::integers<&DiveHeader::diverN2>("diverN2"_L1),
    H::integers<&DiveHeader::diverHe>("diverHe"_L1),
    H::integer<&DiveHeader::gasEnabled>("gasEnabled"_L1),
    H::integers<&DiveHeader::gasPO2>("gasPO2"_L1),
    H::integers<&DiveHeader::gasPHe>("gasPHe"_L1),
    H::integer<&DiveHeader::activeGas>("activeGas"_L1),
    H::integer<&DiveHeader::activeGasSetPoint>("activeGasSetPoint"_L1),
    H::integer<&DiveHeader::setpointEnabled>("setpointEnabled"_L1),
    H::integers<&DiveHeader::setpoint>("setpoint"_L1),
    H::wideInteger<&DiveHeader::alertFlags>("alertFlags"_L1),
    H::integer<&DiveHeader::alertFlags16>("alertFlags16"_L1),
    H::number<&DiveHeader::minTemperature>("minTemperature"_L1),
    H::number<&DiveHeader::maxTemperature>("maxTemperature"_L1),
    H::integer<&DiveHeader::pO2Min>("pO2Min"_L1),
    H::integer<&DiveHeader::pO2Max>("pO2Max"_L1),
    H::number<&DiveHeader::otu>("otu"_L1),
    H::number<&DiveHeader::iss>("iss"_L1),
    H::text<&DiveHeader::buddy>("buddy"_L1),
    {"site"_L1, nullptr, [](DiveHeader& header, const QJsonValue& json) { header.site = json.toString(); }},
    {"diveSite"_L1, [](const DiveHeader& header) { return QJsonValue(header.site); },
     [](DiveHeader& header, const QJsonValue& json) {
         if (!json.isUndefined())
             header.site = json.toString();
     }},
    H::text<&DiveHeader::notes>("notes"_L1),
};

const Field<DiveLine> kLineFields[] = {
    L::number<&DiveLine::timeSec>("timeSec"_L1),
    L::number<&DiveLine::depth>("depth"_L1),
    L::number<&DiveLine::pressure>("pressure"_L1),
    L::number<&DiveLine::speed>("speed"_L1),
    L::number<&DiveLine::ambientTemp>("ambientTemp"_L1),
    L::number<&DiveLine::decoCeiling>("decoCeiling"_L1),
    L::integer<&DiveLine::ndl>("ndl"_L1),
    L::number<&DiveLine::gradientFactor>("gradientFactor"_L1),
    L::number<&DiveLine::otu>("otu"_L1),
    L::number<&DiveLine::cns>("cns"_L1),
    L::number<&DiveLine::ppO2>("ppO2"_L1),
    L::integer<&DiveLine::gasIndex, -1>("gasIndex"_L1),
    L::integer<&DiveLine::setpointIndex>("setpointIndex"_L1),
    L::boolean<&DiveLine::ccr>("ccr"_L1),
    L::integer<&DiveLine::alertFlag>("alertFlag"_L1),
    L::integer<&DiveLine::alertFlagTransmitter>("alertFlagTransmitter"_L1),
    L::integer<&DiveLine::battery>("battery"_L1),
    L::integer<&DiveLine::tankPressure>("tankPressure"_L1),
    L::integer<&DiveLine::gfLow>("gfLow"_L1),
    L::integer<&DiveLine::gfHigh>("gfHigh"_L1),
    L::integer<&DiveLine::tag>("tag"_L1),
};

// A gas carries its mixture as whole percentages; the setters keep their
// bounds, oxygen before helium.
const Field<DiveGas> kGasFields[] = {
    G::text<&DiveGas::mId>("mId"_L1),
    G::text<&DiveGas::mName>("mName"_L1),
    {"o2"_L1, [](const DiveGas& gas) { return QJsonValue(int(gas.o2Percent())); },
     [](DiveGas& gas, const QJsonValue& json) { gas.setFractionO2(json.toInt(21) / 100.0); }},
    {"he"_L1, [](const DiveGas& gas) { return QJsonValue(int(gas.hePercent())); },
     [](DiveGas& gas, const QJsonValue& json) { gas.setFractionHe(json.toInt(0) / 100.0); }},
    {"maxPpO2"_L1, [](const DiveGas& gas) { return QJsonValue(double(gas.pO2Max)); },
     [](DiveGas& gas, const QJsonValue& json) { gas.setPO2Max(narrowedToFloat(json.toDouble(0.0))); }},
    // The colour is a whole 32-bit word.
    {"color"_L1, [](const DiveGas& gas) { return QJsonValue(qint64(gas.color)); },
     [](DiveGas& gas, const QJsonValue& json) { gas.color = quint32(json.toInteger(0xffffff)); }},
    {"gasClass"_L1, [](const DiveGas& gas) { return QJsonValue(gas.legacyGasClass()); },
     [](DiveGas& gas, const QJsonValue& json) { gas.setLegacyGasClass(json.toInt(0)); }},
};

// Millibar of a surface pressure in bar; one the 16-bit field cannot hold
// reads as a missing one.
quint16 surfaceMillibar(double bar)
{
    const double millibar = std::round(bar * 1000.0);
    if (millibar >= 0.0 && millibar <= double(std::numeric_limits<quint16>::max()))
        return quint16(millibar);
    return quint16(std::lround(kSurfacePressureMissing * 1000.0));
}

// The dive object: its header, then the dive's own values, which overwrite
// what the header said of the same fields.
const Field<Dive> kDiveFields[] = {
    D::nested("header"_L1, FieldKind::Header),
    D::text<&Dive::name>("name"_L1),
    D::integer<&Dive::computerModel>("computerModel"_L1),
    D::text<&Dive::computerName>("computerName"_L1),
    D::text<&Dive::computerManufacturer>("computerManufacturer"_L1),
    D::text<&Dive::computerSerial>("computerSerial"_L1),
    D::text<&Dive::firmwareVersion>("firmwareVersion"_L1),
    D::integer<&Dive::format, int(DiveFormat::Unknown)>("format"_L1),
    D::nested("lines"_L1, FieldKind::Lines),
    D::nested("gases"_L1, FieldKind::Gases),
    D::integer<&Dive::divemode>("divemode"_L1),
    D::integer<&Dive::density>("density"_L1),
    D::integer<&Dive::samplePeriod, 5>("samplePeriod"_L1),
    {"pSurf"_L1, [](const Dive& dive) { return QJsonValue(dive.surfacePressure / 1000.0); },
     [](Dive& dive, const QJsonValue& json) {
         dive.surfacePressure = surfaceMillibar(json.toDouble(kSurfacePressureMissing));
     }},
    D::integer<&Dive::gfLow, 80>("gfLow"_L1),
    D::integer<&Dive::gfHigh, 80>("gfHigh"_L1),
    D::number<&Dive::otu>("otu"_L1),
    D::wideInteger<&Dive::alertsQuelm>("alertsQuelm"_L1),
    {"alertsPelavix"_L1, [](const Dive& dive) { return QJsonValue(qint64(dive.alertsPelavix)); },
     [](Dive& dive, const QJsonValue& json) { dive.alertsPelavix = quint32(json.toInteger(0)) & 0xffffffu; }},
    D::integer<&Dive::alertsAI>("alertsAI"_L1),
    D::text<&Dive::place>("place"_L1),
    D::text<&Dive::site>("site"_L1),
    D::text<&Dive::buddy>("buddy"_L1),
    D::text<&Dive::notes>("notes"_L1),
    D::number<&Dive::maxTime>("maxTime"_L1),
    D::number<&Dive::maxDepth>("maxDepth"_L1),
    D::number<&Dive::avgDepth>("averageDepth"_L1),
    D::number<&Dive::minTemperature>("minTemperature"_L1),
    D::number<&Dive::maxTemperature>("maxTemperature"_L1),
    D::number<&Dive::ascentTime>("ascentTime"_L1),
    D::number<&Dive::totalDecoTime>("totalStageDuration"_L1),
    D::integer<&Dive::diverMode>("diverMode"_L1),
    D::integer<&Dive::gasSet, 1>("gasSet"_L1),
};

template<typename T>
QJsonObject objectOf(std::span<const Field<T>> table, const T& value)
{
    QJsonObject object;
    for (const Field<T>& field : table) {
        if (field.write)
            object.insert(field.key, field.write(value));
    }
    return object;
}

template<typename T>
void readObject(std::span<const Field<T>> table, T& target, const QJsonObject& object)
{
    divejson::readFields(table, target, [&](std::size_t i) { return object.value(table[i].key); });
}

// ---- The export object ----

QDateTime localDateTime(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
}

qint64 exportedDuration(const Dive& dive)
{
    if (dive.beginTime < dive.endTime) {
        const quint64 span = quint64(dive.endTime) - quint64(dive.beginTime);
        return qint64(std::min<quint64>(span, quint64(std::numeric_limits<qint64>::max())));
    }
    return dive.lines.isEmpty() ? 0 : wholeSeconds(dive.lines.last().timeSec);
}

QJsonObject computerSample(const Dive& dive, const DiveLine& line)
{
    QJsonObject sample{{"time_s"_L1, line.timeSec}, {"depth_m"_L1, line.depth}};
    if (line.ambientTemp != 0.0)
        sample.insert("temperature_c"_L1, line.ambientTemp);
    const bool closedCircuit = dive.divemode >= 1 && dive.divemode <= 3;
    if (closedCircuit && line.ppO2 > 0.0) {
        sample.insert("partialPressureO2_bar"_L1, line.ppO2);
        sample.insert("setPoint_bar"_L1, line.ppO2);
    }
    return sample;
}

// The mean of the samples' temperatures that are not 0, else the middle of
// the dive's range; none when neither is known.
std::optional<double> meanTemperature(const Dive& dive)
{
    double sum = 0.0;
    qsizetype count = 0;
    for (const DiveLine& line : dive.lines) {
        if (line.ambientTemp != 0.0) {
            sum += line.ambientTemp;
            ++count;
        }
    }
    if (count > 0)
        return sum / double(count);
    if (dive.minTemperature != 0.0 || dive.maxTemperature != 0.0)
        return (dive.minTemperature + dive.maxTemperature) / 2.0;
    return std::nullopt;
}

QString computerModelName(const Dive& dive)
{
    if (!dive.computerName.isEmpty())
        return dive.computerName;
    switch (dive.computerModel) {
    case DiveHeader::kQuelmModel: return u"Quelm"_s;
    case DiveHeader::kPelavixModel: return u"Pelavix"_s;
    case DiveHeader::kOtherMakerModel: return u"ThirdParty"_s;
    default: return u"Unknown"_s;
    }
}

} // namespace

namespace divejson {

std::span<const Field<DiveHeader>> headerFields()
{
    return kHeaderFields;
}

std::span<const Field<DiveLine>> lineFields()
{
    return kLineFields;
}

std::span<const Field<DiveGas>> gasFields()
{
    return kGasFields;
}

std::span<const Field<Dive>> diveFields()
{
    return kDiveFields;
}

void finishLine(DiveLine& line)
{
    line.isMaxDepth = false;
}

void finishDive(Dive& dive)
{
    dive.decoLines.clear();
    dive.ceilTrackingLines.clear();
    dive.stopLines.clear();
    dive.ceilingPoints.clear();
    dive.yoyoMarks.clear();
    dive.invalidReason = 0;
    dive.dtrStartIndex = -1;
    dive.decoNotTerminated = false;
}

} // namespace divejson

QJsonObject DiveHeader::toJson() const
{
    return objectOf(divejson::headerFields(), *this);
}

void DiveHeader::fromJson(const QJsonObject& object)
{
    readObject(divejson::headerFields(), *this, object);
}

QJsonObject DiveLine::toJson() const
{
    return objectOf(divejson::lineFields(), *this);
}

void DiveLine::fromJson(const QJsonObject& object)
{
    readObject(divejson::lineFields(), *this, object);
    divejson::finishLine(*this);
}

QJsonObject DiveGas::toJson() const
{
    return objectOf(divejson::gasFields(), *this);
}

void DiveGas::fromJson(const QJsonObject& object)
{
    readObject(divejson::gasFields(), *this, object);
}

QJsonObject Dive::toJson() const
{
    QJsonObject object = objectOf(divejson::diveFields(), *this);
    object.insert("header"_L1, DiveHeader::toJson());
    QJsonArray samples;
    for (const DiveLine& line : lines)
        samples.append(line.toJson());
    object.insert("lines"_L1, samples);
    QJsonArray mixtures;
    for (const DiveGas& gas : gases)
        mixtures.append(gas.toJson());
    object.insert("gases"_L1, mixtures);
    return object;
}

void Dive::fromJson(const QJsonObject& object)
{
    const std::span<const Field<Dive>> table = divejson::diveFields();
    divejson::readFields(
        table, *this, [&](std::size_t i) { return object.value(table[i].key); },
        [&](FieldKind kind, std::size_t i) {
            const QJsonValue value = object.value(table[i].key);
            switch (kind) {
            case FieldKind::Header:
                DiveHeader::fromJson(value.toObject());
                break;
            case FieldKind::Lines:
                lines.clear();
                for (const QJsonValue sample : value.toArray())
                    lines.emplaceBack().fromJson(sample.toObject());
                break;
            case FieldKind::Gases:
                gases.clear();
                for (const QJsonValue mixture : value.toArray())
                    gases.emplaceBack().fromJson(mixture.toObject());
                break;
            case FieldKind::Value:
                break;
            }
        });
    divejson::finishDive(*this);
}

QJsonObject Dive::toSubsurfaceJson() const
{
    const QDateTime begin = localDateTime(beginTime);
    QJsonObject object{
        {"date"_L1, begin.toString(u"yyyy-MM-dd"_s)},
        {"time"_L1, begin.toString(u"HH:mm:ss"_s)},
        {"duration"_L1, exportedDuration(*this)},
        {"maxdepth"_L1, maxDepth * 1000.0},
        {"maxDepth_m"_L1, maxDepth},
        {"atmosphericPressure_bar"_L1, surfacePressure / 1000.0},
        {"salinity"_L1, density == 0 ? kSaltWaterSalinity : kFreshWaterSalinity},
    };
    QJsonArray samples;
    QJsonArray computerSamples;
    for (const DiveLine& line : lines) {
        samples.append(QJsonArray{line.timeSec, line.depth * 1000.0, 0, 0});
        computerSamples.append(computerSample(*this, line));
    }
    object.insert("samples"_L1, samples);
    object.insert("samplesDC"_L1, computerSamples);
    if (const std::optional<double> mean = meanTemperature(*this))
        object.insert("meanTemperature"_L1, *mean);
    object.insert("divecomputers"_L1, QJsonArray{QJsonObject{{"model"_L1, computerModelName(*this)}}});
    if (!notes.isEmpty())
        object.insert("notes"_L1, notes);
    if (!place.isEmpty() || !site.isEmpty())
        object.insert("location"_L1, place.isEmpty() ? site : place);
    return object;
}
