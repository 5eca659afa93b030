#include "graphics/marker.h"

#include <iterator>

QImage Marker::mMarkInfo;
QImage Marker::mMarkWarning;
QImage Marker::mMarkError;
QImage Marker::mMarkGas;
QImage Marker::mMarkDiver;
QImage Marker::mMarkAlertCeil;
QImage Marker::mMarkAlertRR;
QImage Marker::mMarkAlertYoyo;
QImage Marker::mMarkAlertSecurity;
QImage Marker::mMarkAlert24h;
QImage Marker::mMarkOxygenTank;
QImage Marker::mMarkDTR;
QImage Marker::mMarkAlertPmax;
QImage Marker::mMarkYoyoInfo;
QImage Marker::mMarkYoyoWarning;
QImage Marker::mMarkYoyoError;
QImage Marker::mMarkAlertO2Hyperoxic;
QImage Marker::mMarkAlertO2Hypoxic;
QImage Marker::mMarkAlertN2;
QImage Marker::mMarkAlertBattery;
QImage Marker::mMarkAlertCNS;
QImage Marker::mMarkAlertDensity;
QImage Marker::mMarkGases[Marker::kGasIconCount];

QString Marker::sInfoFilename;
QString Marker::sWarningFilename;
QString Marker::sErrorFilename;
QString Marker::sGasFilename;
QString Marker::sDiverFilename;
QString Marker::sAlertCeilFilename;
QString Marker::sAlertRRFilename;
QString Marker::sAlertYoyoFilename;
QString Marker::sAlertSecurityFilename;
QString Marker::sAlert24HFilename;
QString Marker::sOxygenTankFilename;
QString Marker::sDTRFilename;
QString Marker::sAlertPmaxFilename;
QString Marker::sYoyoInfoFilename;
QString Marker::sYoyoWarningFilename;
QString Marker::sYoyoErrorFilename;
QString Marker::sAlertO2HyperoxicFilename;
QString Marker::sAlertO2HypoxicFilename;
QString Marker::sAlertN2Filename;
QString Marker::sAlertBatteryFilename;
QString Marker::sAlertCNSFilename;
QString Marker::sAlertDensityFilename;
QString Marker::sGasFilenames[Marker::kGasIconCount];

namespace {

struct Picture
{
    QString* fileName;
    QImage* image;
};

// Indexed by MarkerType.
const Picture kMarkerPictures[] = {
    {&Marker::sInfoFilename, &Marker::mMarkInfo},
    {&Marker::sWarningFilename, &Marker::mMarkWarning},
    {&Marker::sErrorFilename, &Marker::mMarkError},
    {&Marker::sGasFilename, &Marker::mMarkGas},
    {&Marker::sDiverFilename, &Marker::mMarkDiver},
    {&Marker::sAlertCeilFilename, &Marker::mMarkAlertCeil},
    {&Marker::sAlertRRFilename, &Marker::mMarkAlertRR},
    {&Marker::sAlertYoyoFilename, &Marker::mMarkAlertYoyo},
    {&Marker::sAlertSecurityFilename, &Marker::mMarkAlertSecurity},
    {&Marker::sAlert24HFilename, &Marker::mMarkAlert24h},
};

// Indexed by IconType.
const Picture kIconPictures[] = {
    {&Marker::sOxygenTankFilename, &Marker::mMarkOxygenTank},
    {&Marker::sDTRFilename, &Marker::mMarkDTR},
    {&Marker::sAlertPmaxFilename, &Marker::mMarkAlertPmax},
    {&Marker::sYoyoInfoFilename, &Marker::mMarkYoyoInfo},
    {&Marker::sYoyoWarningFilename, &Marker::mMarkYoyoWarning},
    {&Marker::sYoyoErrorFilename, &Marker::mMarkYoyoError},
    {&Marker::sAlertO2HyperoxicFilename, &Marker::mMarkAlertO2Hyperoxic},
    {&Marker::sAlertO2HypoxicFilename, &Marker::mMarkAlertO2Hypoxic},
    {&Marker::sAlertN2Filename, &Marker::mMarkAlertN2},
    {&Marker::sAlertBatteryFilename, &Marker::mMarkAlertBattery},
    {&Marker::sAlertCNSFilename, &Marker::mMarkAlertCNS},
    {&Marker::sAlertDensityFilename, &Marker::mMarkAlertDensity},
};

bool inRange(int index, int count)
{
    return index >= 0 && index < count;
}

void load(const Picture& picture)
{
    if (picture.fileName->isEmpty())
        return;
    QImage loaded;
    if (loaded.load(*picture.fileName))
        *picture.image = std::move(loaded);
}

} // namespace

Marker::Marker(int id, MarkerType type, const QString& text, bool active)
    : mId(id)
    , mType(type)
    , mActive(active)
    , mText(text)
{
    const int kind = int(type);
    mImage = kind >= 1 && kind < int(std::size(kMarkerPictures)) ? kMarkerPictures[kind].image : &mMarkInfo;
    if (!mImage->isNull()) {
        const int bottomOrMiddle = type == MarkerType::Diver ? mImage->height() : mImage->height() / 2;
        mHotSpot = QPoint(mImage->width() / 2, bottomOrMiddle);
    }
}

void Marker::setMarkerIconFileName(MarkerType type, const QString& fileName)
{
    if (inRange(int(type), int(std::size(kMarkerPictures))))
        *kMarkerPictures[int(type)].fileName = fileName;
}

void Marker::setIconFilename(IconType type, const QString& fileName)
{
    if (inRange(int(type), int(std::size(kIconPictures))))
        *kIconPictures[int(type)].fileName = fileName;
}

void Marker::setGasIconFilename(int slot, const QString& fileName)
{
    if (inRange(slot, kGasIconCount))
        sGasFilenames[slot] = fileName;
}

void Marker::loadPictures()
{
    using M = MarkerType;
    using I = IconType;
    for (M type : {M::Info, M::Warning, M::Error, M::Gas, M::Diver})
        load(kMarkerPictures[int(type)]);
    for (I type : {I::OxygenTank, I::DTR})
        load(kIconPictures[int(type)]);
    for (M type : {M::AlertCeil, M::AlertRR, M::AlertYoyo, M::AlertSecurity, M::Alert24H})
        load(kMarkerPictures[int(type)]);
    for (int type = int(I::AlertPmax); type < int(std::size(kIconPictures)); ++type)
        load(kIconPictures[type]);
    for (int slot = 0; slot < kGasIconCount; ++slot)
        load({&sGasFilenames[slot], &mMarkGases[slot]});
}

const QImage* Marker::gasImage(int gasIndex)
{
    return inRange(gasIndex, kGasIconCount) ? &mMarkGases[gasIndex] : nullptr;
}
