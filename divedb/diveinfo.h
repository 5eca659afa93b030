#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>

// One row of the dive list.
struct DiveInfo
{
    int id = -1; // the dive's database id
    QString name;
    QString serial;
    QString computer;
    QDateTime dateTime;  // local time
    double maxTime = 0;  // s, the largest sample time (0 without samples)
    double maxDepth = 0; // m, the largest sample depth (0 without samples)
    int gfLow = 0;
    int gfHigh = 0;
};

// Which stored dives the list shows. Without any restriction every dive is
// listed; an empty serial list restricts nothing.
struct Filter
{
    bool byComputer = false;
    QList<QString> serials;
    bool byDate = false;
    QDateTime startDate; // first day
    bool byEndDate = false;
    QDateTime endDate; // last day
    bool byTime = false;
    QTime startTime;
    QTime endTime;
};

enum class SortField : int { Date = 0, Duration = 1, MaxDepth = 2 };
// Any value but ascending sorts descending.
enum class SortOrder : int { Ascending = 0, Descending = 1 };

// What the diver notes about a dive.
struct UserInformation
{
    QString place;
    QString site;
    QString buddy;
};
