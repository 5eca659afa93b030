#pragma once

#include "planner/lineplan.h"

#include <QString>

// The run table of a computation as rich text, built row by row from the
// rows the computation hands out: a start row opens it, each row adds a
// paragraph of depth, duration, run time and gas, the end row adds the CNS
// and OTU figures and closes it.
class RunTableText
{
public:
    void add(const LinePlan& row);
    const QString& html() const { return mHtml; }

private:
    void addRow(const LinePlan& row);
    QString gasText(qint32 gasIndex);

    QString mHtml;
    // The last gas named in the table: a name is shown when the gas changes.
    qint32 mLastGas = -1;
};
