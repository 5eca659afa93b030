#pragma once

#include "planner/lineplan.h"

#include <QString>
#include <QStringList>

// The run table of a computation as rich text, built row by row from the
// rows the computation hands out: a start row opens it, each row adds a
// paragraph of depth, duration, run time and gas, the end row adds the CNS
// and OTU figures and closes it. Successive tables of a drag share most of
// their rows: a row that reads as the one at its place in the last table
// takes that table's paragraph, the same string.
class RunTableText
{
public:
    void add(const LinePlan& row);
    QString html() const;

    // The text is the head, the paragraphs and, once the end row came, the
    // tail.
    static const QString& head();
    const QStringList& paragraphs() const { return mParagraphs; }
    QString tail() const;

private:
    // A row as its paragraph reads it.
    struct ShownRow
    {
        LinePlan row;
        bool namesGas = false;

        bool operator==(const ShownRow& other) const;
    };

    void start();
    void addRow(const LinePlan& row);
    bool namesGas(qint32 gasIndex) const;

    QStringList mParagraphs;
    QList<ShownRow> mRows;
    // The last table's rows and paragraphs.
    QStringList mLastParagraphs;
    QList<ShownRow> mLastRows;
    bool mEnded = false;
    // The last gas named in the table: a name is shown when the gas changes.
    qint32 mLastGas = -1;
};
