#include "testenvironment.h"

#include "planner/runtabletext.h"

#include <QtTest>

Q_DECLARE_METATYPE(LinePlan)

namespace {

const QString kStyle = QStringLiteral(
    "style=\" line-height:1em; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px;"
    " -qt-block-indent:0; text-indent:0px;\"");

const QString kHead = QStringLiteral(
    "<html><head><meta name=\"qrichtext\" content=\"1\" /><meta charset=\"utf-8\" /><style type=\"text/css\">"
    "p, li { white-space: pre-wrap; }hr { height: 1px; border-width: 0; }"
    "li.unchecked::marker { content: \"\\2610\"; }li.checked::marker { content: \"\\2612\"; }</style></head>"
    "<body style=\" font-family:'Courier New'; font-size:9pt; font-weight:400; font-style:normal;\">");

LinePlan row(qint32 direction, quint8 computed, float depth, float duration, float runTime, qint32 gas)
{
    LinePlan line;
    line.kind = LinePlan::row;
    line.direction = direction;
    line.computed = computed;
    line.depth = depth;
    line.duration = duration;
    line.runTime = runTime;
    line.gasIndex = gas;
    return line;
}

QString paragraph(const QString& icon, const QString& rest)
{
    return QStringLiteral("<p %1><img src = \":/TestGraphics/icons/%2.png\" style=\"vertical-align:middle\"/> %3")
        .arg(kStyle, icon, rest);
}

} // namespace

// The run table's text, row by row.
class RunTableTextTest : public QObject
{
    Q_OBJECT

private slots:
    void rows_data()
    {
        QTest::addColumn<QList<LinePlan>>("rows");
        QTest::addColumn<QString>("text"); // after the head

        QTest::newRow("the head alone") << QList<LinePlan>{} << QString();
        QTest::newRow("a planned descent")
            << QList<LinePlan>{row(0, 0, 32, 2, 2, 0)}
            << paragraph("arrowDdive", "    32m |    02:00 |    02:00 | Air</p>");
        QTest::newRow("a level, a computed ascent and a stop")
            << QList<LinePlan>{row(1, 0, 4.5f, 9, 10, 0), row(2, 1, 3, 0.5f, 10.5f, 0), row(1, 1, 3, 10.5f, 21, 0)}
            << paragraph("arrowRdive", "   4.5m |    09:00 |    10:00 | Air</p>")
                   + paragraph("arrowU", "     3m |    00:30 |    10:30 | </p>")
                   + paragraph("arrowR", "     3m |    10:30 |    21:00 | </p>");
        QTest::newRow("an hour or more: the hours form")
            << QList<LinePlan>{row(1, 0, 17.345f, 14.5f, 75, 1), row(1, 1, 6, 62.25f, 137.25f, 1)}
            << paragraph("arrowRdive", "  17.3m |    14:30 | 01:15:00 | Nx40</p>")
                   + paragraph("arrowR", "     6m | 01:02:15 | 02:17:15 | </p>");
        // Depths worked back from stop pressures carry float noise; a depth
        // prints to the nearest tenth, without a trailing ".0".
        QTest::newRow("stop depths without noise")
            << QList<LinePlan>{row(2, 1, 5.999999f, 1, 31, 0), row(1, 1, 2.9999995f, 2, 33, 0),
                               row(1, 1, 21.000002f, 1, 34, 0), row(1, 1, 4.44f, 1, 35, 0), row(2, 1, -0.01f, 1, 36, 0)}
            << paragraph("arrowU", "     6m |    01:00 |    31:00 | Air</p>")
                   + paragraph("arrowR", "     3m |    02:00 |    33:00 | </p>")
                   + paragraph("arrowR", "    21m |    01:00 |    34:00 | </p>")
                   + paragraph("arrowR", "   4.4m |    01:00 |    35:00 | </p>")
                   + paragraph("arrowU", "     0m |    01:00 |    36:00 | </p>");
        // 61 s and 61 minutes come from float minutes that are not exact.
        QTest::newRow("61 s") << QList<LinePlan>{row(2, 1, 0, 61.0f / 60.0f, 61.0f / 60.0f, -1)}
                              << paragraph("arrowU", "     0m |    01:01 |    01:01 | </p>");
        QTest::newRow("61 min") << QList<LinePlan>{row(1, 0, 20, 61, 61, 0)}
                                << paragraph("arrowRdive", "    20m | 01:01:00 | 01:01:00 | Air</p>");
        QTest::newRow("59 min 59.9 s rounds to the hour")
            << QList<LinePlan>{row(1, 0, 20, 59.999f, 59.999f, 0)}
            << paragraph("arrowRdive", "    20m | 01:00:00 | 01:00:00 | Air</p>");
        // A name when the gas changes, even to one of the same name; indices
        // outside the names print nothing and are not remembered.
        QTest::newRow("gases 2, 2, 3, 5, -1, 3")
            << QList<LinePlan>{row(1, 1, 9, 1, 1, 2), row(1, 1, 6, 1, 2, 2), row(1, 1, 6, 1, 3, 3),
                               row(1, 1, 6, 1, 4, 5), row(1, 1, 3, 1, 5, -1), row(1, 1, 3, 1, 6, 3)}
            << paragraph("arrowR", "     9m |    01:00 |    01:00 | Oxy</p>")
                   + paragraph("arrowR", "     6m |    01:00 |    02:00 | </p>")
                   + paragraph("arrowR", "     6m |    01:00 |    03:00 | Oxy</p>")
                   + paragraph("arrowR", "     6m |    01:00 |    04:00 | </p>")
                   + paragraph("arrowR", "     3m |    01:00 |    05:00 | </p>")
                   + paragraph("arrowR", "     3m |    01:00 |    06:00 | </p>");
        LinePlan end;
        end.kind = LinePlan::endOfTable;
        end.cns = 6.13228512f;
        end.otu = 20.584943f;
        QTest::newRow("the end row") << QList<LinePlan>{end}
                                     << QStringLiteral("<p %1>CNS 6%<p %1>OTU 21  </body></html>").arg(kStyle);
    }

    void rows()
    {
        QFETCH(QList<LinePlan>, rows);
        QFETCH(QString, text);
        RunTableText table;
        table.add(LinePlan{});
        for (const LinePlan& line : rows)
            table.add(line);
        QCOMPARE(table.html(), kHead + text);
    }

    // A new table forgets the last gas of the previous one.
    void startAgain()
    {
        RunTableText table;
        table.add(LinePlan{});
        table.add(row(0, 0, 20, 1, 1, 0));
        table.add(LinePlan{});
        table.add(row(0, 0, 20, 1, 1, 0));
        QCOMPARE(table.html(), kHead + paragraph("arrowDdive", "    20m |    01:00 |    01:00 | Air</p>"));
    }
};

MAREVANE_TEST_MAIN(RunTableTextTest)
#include "tst_runtabletext.moc"
