#pragma once

#include "cordale_export.h"

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QString>

// The kinds of markers a profile carries; 5 to 9 are alerts.
enum class MarkerType : int {
    Info = 0,
    Warning = 1,
    Error = 2,
    Gas = 3,
    Diver = 4,
    AlertCeil = 5,
    AlertRR = 6,
    AlertYoyo = 7,
    AlertSecurity = 8,
    Alert24H = 9,
};

// The further icons that the profile draws without a marker.
enum class IconType : int {
    OxygenTank = 0,
    DTR = 1,
    AlertPmax = 2,
    YoyoInfo = 3,
    YoyoWarning = 4,
    YoyoError = 5,
    AlertO2Hyperoxic = 6,
    AlertO2Hypoxic = 7,
    AlertN2 = 8,
    AlertBattery = 9,
    AlertCNS = 10,
    AlertDensity = 11,
};

// One icon pinned to a time and depth of a profile, and the icon images that
// every profile of the process shares. The program names the image files once
// at start-up; each profile item then loads them with loadPictures().
class CORDALE_EXPORT Marker
{
public:
    static constexpr int kGasIconCount = 8;

    Marker(int id, MarkerType type, const QString& text, bool active);

    static void setMarkerIconFileName(MarkerType type, const QString& fileName);
    static void setIconFilename(IconType type, const QString& fileName);
    static void setGasIconFilename(int slot, const QString& fileName);
    // Loads every named image again; a file that fails to load leaves its image as it was.
    static void loadPictures();

    // The gas icon of a gas index, or null for an index outside the eight slots.
    static const QImage* gasImage(int gasIndex);

    int mId;
    MarkerType mType;
    bool mActive;
    double mTime = 0;  // s
    double mDepth = 0; // m
    QPointF mPos;      // item position, computed by the profile item
    QPoint mHotSpot;   // pixel of the image placed on mPos
    QString mText;
    const QImage* mImage; // one of the statics below, not owned

    static QImage mMarkInfo;
    static QImage mMarkWarning;
    static QImage mMarkError;
    static QImage mMarkGas;
    static QImage mMarkDiver;
    static QImage mMarkAlertCeil;
    static QImage mMarkAlertRR;
    static QImage mMarkAlertYoyo;
    static QImage mMarkAlertSecurity;
    static QImage mMarkAlert24h;

    static QImage mMarkOxygenTank;
    static QImage mMarkDTR;
    static QImage mMarkAlertPmax;
    static QImage mMarkYoyoInfo;
    static QImage mMarkYoyoWarning;
    static QImage mMarkYoyoError;
    static QImage mMarkAlertO2Hyperoxic;
    static QImage mMarkAlertO2Hypoxic;
    static QImage mMarkAlertN2;
    static QImage mMarkAlertBattery;
    static QImage mMarkAlertCNS;
    static QImage mMarkAlertDensity;

    static QImage mMarkGases[kGasIconCount];

    static QString sInfoFilename;
    static QString sWarningFilename;
    static QString sErrorFilename;
    static QString sGasFilename;
    static QString sDiverFilename;
    static QString sAlertCeilFilename;
    static QString sAlertRRFilename;
    static QString sAlertYoyoFilename;
    static QString sAlertSecurityFilename;
    static QString sAlert24HFilename;

    static QString sOxygenTankFilename;
    static QString sDTRFilename;
    static QString sAlertPmaxFilename;
    static QString sYoyoInfoFilename;
    static QString sYoyoWarningFilename;
    static QString sYoyoErrorFilename;
    static QString sAlertO2HyperoxicFilename;
    static QString sAlertO2HypoxicFilename;
    static QString sAlertN2Filename;
    static QString sAlertBatteryFilename;
    static QString sAlertCNSFilename;
    static QString sAlertDensityFilename;

    static QString sGasFilenames[kGasIconCount];
};
