#include "runtablerows.h"
#include "testenvironment.h"

#include "planner/runtabletext.h"

#include <QRandomGenerator>
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

QString paragraph(const QString& icon, const QString& rest)
{
    return QStringLiteral("<p %1><img src = \":/TestGraphics/icons/%2.png\" style=\"vertical-align:middle\"/> %3")
        .arg(kStyle, icon, rest);
}

// The text of these rows built by a table that saw none before.
QString freshText(const QList<LinePlan>& rows)
{
    RunTableText table;
    addTable(table, rows);
    return table.html();
}

// Planned rows on air, Nx40 from `switchAt` on, then stops on Oxy.
QList<LinePlan> planRows(int planned, int switchAt, int stops)
{
    QList<LinePlan> rows;
    for (int i = 0; i < planned; ++i)
        rows.append(row(i == 0 ? 0 : 1, 0, 30.0f + float(i % 4), 1, float(i + 1), i < switchAt ? 0 : 1));
    for (int k = 0; k < stops; ++k)
        rows.append(row(k == 0 ? 2 : 1, 1, 3.0f * float(stops - k), 1, float(planned + k + 1), 2));
    rows.append(endRow(float(stops), float(planned)));
    return rows;
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

    // A table that keeps the rows of the last one reads as one built anew.
    void followsTables_data()
    {
        QTest::addColumn<QList<LinePlan>>("first");
        QTest::addColumn<QList<LinePlan>>("second");

        QList<LinePlan> depthMoved = planRows(20, 12, 3);
        depthMoved[6].depth = 12.5f;
        QList<LinePlan> signedZero = planRows(20, 12, 3);
        signedZero[5].depth = 0.0f;
        QList<LinePlan> negativeZero = planRows(20, 12, 3);
        negativeZero[5].depth = -0.0f;
        QList<LinePlan> insertedBeforeSwitch = planRows(20, 12, 3);
        insertedBeforeSwitch.insert(11, row(1, 0, 31, 1, 11.5f, 0));
        QList<LinePlan> insertedAfterStart = planRows(20, 12, 3);
        insertedAfterStart.insert(1, row(1, 0, 31, 1, 1.5f, 1));
        QList<LinePlan> removedSwitch = planRows(20, 12, 3);
        removedSwitch.removeAt(12);
        QList<LinePlan> unnamedGas = planRows(20, 12, 3);
        unnamedGas[12].gasIndex = 7;
        QTest::newRow("the same table") << planRows(20, 12, 3) << planRows(20, 12, 3);
        QTest::newRow("a depth moved") << planRows(20, 12, 3) << depthMoved;
        QTest::newRow("0 to -0") << signedZero << negativeZero;
        QTest::newRow("the gas switch a row later") << planRows(20, 12, 3) << planRows(20, 13, 3);
        QTest::newRow("the gas switch a row earlier") << planRows(20, 12, 3) << planRows(20, 11, 3);
        QTest::newRow("a row in before the gas switch") << planRows(20, 12, 3) << insertedBeforeSwitch;
        QTest::newRow("a row in after the first, on the later gas") << planRows(20, 12, 3) << insertedAfterStart;
        QTest::newRow("the switching row out") << planRows(20, 12, 3) << removedSwitch;
        QTest::newRow("a gas without a name at the switch") << planRows(20, 12, 3) << unnamedGas;
        QTest::newRow("a stop more") << planRows(20, 12, 3) << planRows(20, 12, 4);
        QTest::newRow("no stop any more") << planRows(20, 12, 3) << planRows(20, 12, 0);
        QTest::newRow("no row") << planRows(20, 12, 3) << QList<LinePlan>{endRow(0, 0)};
        QTest::newRow("from no row") << QList<LinePlan>{endRow(0, 0)} << planRows(20, 12, 3);
    }

    void followsTables()
    {
        QFETCH(QList<LinePlan>, first);
        QFETCH(QList<LinePlan>, second);
        RunTableText table;
        addTable(table, first);
        QCOMPARE(table.html(), freshText(first));
        addTable(table, second);
        QCOMPARE(table.html(), freshText(second));
        addTable(table, first);
        QCOMPARE(table.html(), freshText(first));
    }

    // Drag after drag: rows change, come in and go out, gases change.
    void followsRandomChanges()
    {
        QRandomGenerator random(32);
        RunTableText table;
        QList<LinePlan> rows = planRows(40, 25, 4);
        for (int round = 0; round < 200; ++round) {
            QList<LinePlan> body = rows.mid(0, rows.size() - 1);
            const int changes = random.bounded(1, 4);
            for (int change = 0; change < changes; ++change) {
                const int at = random.bounded(int(body.size()) + 1);
                switch (random.bounded(5)) {
                case 0:
                    body.insert(at, row(random.bounded(3), quint8(random.bounded(2)), float(random.bounded(80)) / 2.0f,
                                        float(random.bounded(20)), float(random.bounded(300)), random.bounded(-1, 6)));
                    break;
                case 1:
                    if (!body.isEmpty())
                        body.removeAt(std::min(at, int(body.size()) - 1));
                    break;
                case 2:
                    if (at < body.size())
                        body[at].gasIndex = random.bounded(-1, 6);
                    break;
                default:
                    if (at < body.size()) {
                        body[at].depth = float(random.bounded(80)) / 2.0f;
                        body[at].runTime += float(random.bounded(-3, 4)) / 6.0f;
                    }
                    break;
                }
            }
            rows = body;
            rows.append(endRow(float(random.bounded(100)), float(round)));
            addTable(table, rows);
            QCOMPARE(table.html(), freshText(rows));
        }
    }
};

MAREVANE_TEST_MAIN(RunTableTextTest)
#include "tst_runtabletext.moc"
