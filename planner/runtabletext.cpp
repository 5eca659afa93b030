#include "planner/runtabletext.h"

#include "common/depthtext.h"
#include "common/samebits.h"
#include "common/timetexts.h"
#include "common/wholenumbers.h"

#include <array>
#include <cmath>
#include <utility>

namespace {

const QString kParagraphStyle = QStringLiteral(
    "style=\" line-height:1em; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px;"
    " -qt-block-indent:0; text-indent:0px;\"");

const QString kHead = QStringLiteral(
    "<html><head><meta name=\"qrichtext\" content=\"1\" /><meta charset=\"utf-8\" /><style type=\"text/css\">"
    "p, li { white-space: pre-wrap; }hr { height: 1px; border-width: 0; }"
    "li.unchecked::marker { content: \"\\2610\"; }li.checked::marker { content: \"\\2612\"; }</style></head>"
    "<body style=\" font-family:'Courier New'; font-size:9pt; font-weight:400; font-style:normal;\">");

// The gases the run table names, by gas index.
constexpr std::array<const char*, 5> kGasNames = {"Air", "Nx40", "Oxy", "Oxy", "Oxy"};

QString icon(const LinePlan& row)
{
    static constexpr std::array<const char*, 3> arrows = {"arrowD", "arrowR", "arrowU"};
    const int direction = row.direction >= 0 && row.direction < int(arrows.size()) ? row.direction : 1;
    QString name = QLatin1String(arrows[size_t(direction)]);
    if (row.computed == 0)
        name += QLatin1String("dive");
    return QStringLiteral("<img src = \":/TestGraphics/icons/%1.png\" style=\"vertical-align:middle\"/>").arg(name);
}

// Minutes as "mm:ss" below an hour, else "hh:mm:ss", from the nearest whole
// second, right-aligned in a column as wide as "hh:mm:ss".
QString clockColumn(float minutes)
{
    const qint64 seconds = std::isfinite(minutes) && minutes > 0 ? nearestSeconds(double(minutes) * 60.0) : 0;
    return formatTimeSecondes(seconds).rightJustified(8);
}

} // namespace

void RunTableText::add(const LinePlan& row)
{
    switch (row.kind) {
    case LinePlan::startOfTable:
        start();
        break;
    case LinePlan::row:
        addRow(row);
        break;
    case LinePlan::endOfTable:
        mParagraphs.append(QStringLiteral("<p %1>CNS %2%").arg(kParagraphStyle, QString::number(row.cns, 'f', 0)));
        mParagraphs.append(QStringLiteral("<p %1>OTU %2").arg(kParagraphStyle, QString::number(row.otu, 'f', 0)));
        mEnded = true;
        break;
    default:
        break;
    }
}

QString RunTableText::html() const
{
    return head() + mParagraphs.join(QString()) + tail();
}

const QString& RunTableText::head()
{
    return kHead;
}

QString RunTableText::tail() const
{
    return mEnded ? QStringLiteral("  </body></html>") : QString();
}

// The figures compare bit for bit: -0 and 0 may not read the same.
bool RunTableText::ShownRow::operator==(const ShownRow& other) const
{
    return namesGas == other.namesGas && row.direction == other.row.direction && row.computed == other.row.computed
           && row.gasIndex == other.row.gasIndex && sameBits(row.depth, other.row.depth)
           && sameBits(row.duration, other.row.duration) && sameBits(row.runTime, other.row.runTime);
}

void RunTableText::start()
{
    mLastParagraphs = std::exchange(mParagraphs, {});
    mLastRows = std::exchange(mRows, {});
    mParagraphs.reserve(mLastParagraphs.size());
    mRows.reserve(mLastRows.size());
    mEnded = false;
    mLastGas = -1;
}

void RunTableText::addRow(const LinePlan& row)
{
    const ShownRow shown{row, namesGas(row.gasIndex)};
    if (shown.namesGas)
        mLastGas = row.gasIndex;
    const qsizetype at = mRows.size();
    mRows.append(shown);
    if (at < mLastRows.size() && mLastRows.at(at) == shown) {
        mParagraphs.append(mLastParagraphs.at(at));
        return;
    }
    const QString gas = shown.namesGas ? QLatin1String(kGasNames[size_t(row.gasIndex)]) : QString();
    mParagraphs.append(
        QStringLiteral("<p %1>%2 %3m ").arg(kParagraphStyle, icon(row), planDepthText(row.depth).rightJustified(6))
        + QStringLiteral("| %1 | %2 | %3</p>").arg(clockColumn(row.duration), clockColumn(row.runTime), gas));
}

// A name when the gas changes; indices outside the names print nothing and
// are not remembered.
bool RunTableText::namesGas(qint32 gasIndex) const
{
    return gasIndex >= 0 && gasIndex < qint32(kGasNames.size()) && gasIndex != mLastGas;
}
