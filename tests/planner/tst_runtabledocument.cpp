#include "runtablerows.h"
#include "testenvironment.h"

#include "planner/runtabledocument.h"
#include "planner/runtabletext.h"

#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

Q_DECLARE_METATYPE(QList<LinePlan>)

namespace {

RunTableText tableOf(const QList<LinePlan>& rows)
{
    RunTableText table;
    addTable(table, rows);
    return table;
}

// A plan's rows: planned segments, then a computed ascent and stops, then the end row.
QList<LinePlan> planRows(int planned, int stops, float bottom = 30.0f, qint32 gas = 0)
{
    QList<LinePlan> rows;
    for (int i = 0; i < planned; ++i)
        rows.append(row(i == 0 ? 0 : 1, 0, bottom + float(i % 5), 1.0f, float(i + 1), gas));
    for (int k = 0; k < stops; ++k)
        rows.append(row(k == 0 ? 2 : 1, 1, 3.0f * float(stops - k), 1.0f, float(planned + k + 1), 0));
    rows.append(endRow(float(stops), float(planned)));
    return rows;
}

// What parsing the whole text gives, in the document's own form.
QString parsedWhole(const QTextDocument& like, const RunTableText& table)
{
    QTextDocument whole;
    whole.setDefaultFont(like.defaultFont());
    whole.setHtml(table.html());
    return whole.toHtml();
}

} // namespace

// The run table pane, which puts in the paragraphs that changed only, holds
// what parsing the whole table gives.
class RunTableDocumentTest : public QObject
{
    Q_OBJECT

private slots:
    void followsTables_data()
    {
        QTest::addColumn<QList<LinePlan>>("first");
        QTest::addColumn<QList<LinePlan>>("second");

        QList<LinePlan> middleMoved = planRows(40, 4);
        middleMoved[20].depth = 12.5f;
        middleMoved[21].depth = 13.0f;
        QList<LinePlan> firstMoved = planRows(40, 4);
        firstMoved[0].depth = 8.0f;
        QList<LinePlan> gasChanged = planRows(40, 4);
        gasChanged[10].gasIndex = 1;
        QList<LinePlan> cnsAlone = planRows(40, 4);
        cnsAlone.last().cns = 50.0f;
        QList<LinePlan> otuAlone = planRows(40, 4);
        otuAlone.last().otu = 90.0f;
        QList<LinePlan> stopInserted = planRows(40, 4);
        stopInserted.insert(42, row(1, 1, 4.5f, 1.0f, 42.5f, 0));
        QList<LinePlan> spread = planRows(40, 4);
        spread[3].depth = 1.0f;
        spread[25].depth = 2.0f;
        QTest::newRow("the same table") << planRows(40, 4) << planRows(40, 4);
        QTest::newRow("a point in the middle and the figures") << planRows(40, 4) << middleMoved;
        QTest::newRow("the first row") << planRows(40, 4) << firstMoved;
        QTest::newRow("a gas named further on") << planRows(40, 4) << gasChanged;
        QTest::newRow("the CNS alone") << planRows(40, 4) << cnsAlone;
        QTest::newRow("the OTU alone") << planRows(40, 4) << otuAlone;
        QTest::newRow("a stop between stops") << planRows(40, 4) << stopInserted;
        QTest::newRow("rows far apart") << planRows(40, 4) << spread;
        QTest::newRow("a stop more") << planRows(40, 4) << planRows(40, 5);
        QTest::newRow("a stop less") << planRows(40, 5) << planRows(40, 4);
        QTest::newRow("no stop any more") << planRows(40, 5) << planRows(40, 0);
        QTest::newRow("a planned point less") << planRows(40, 3) << planRows(39, 3);
        QTest::newRow("every row") << planRows(40, 3, 30.0f) << planRows(40, 3, 20.0f, 2);
        QTest::newRow("one row to many") << planRows(1, 0) << planRows(30, 6);
        QTest::newRow("many rows to one") << planRows(30, 6) << planRows(1, 0);
    }

    void followsTables()
    {
        QFETCH(QList<LinePlan>, first);
        QFETCH(QList<LinePlan>, second);
        QTextDocument document;
        RunTableDocument pane(document);
        pane.show(tableOf(first));
        QCOMPARE(document.toHtml(), parsedWhole(document, tableOf(first)));
        pane.show(tableOf(second));
        QCOMPARE(document.toHtml(), parsedWhole(document, tableOf(second)));
    }

    // Tables changed at random places, rows in and out, one after the other,
    // each built anew or by the table that built the last one, as the
    // planning tab does.
    void followsRandomChanges_data()
    {
        QTest::addColumn<bool>("keptTable");
        QTest::newRow("tables built anew") << false;
        QTest::newRow("one table throughout") << true;
    }

    void followsRandomChanges()
    {
        QFETCH(bool, keptTable);
        QRandomGenerator random(32);
        QTextDocument document;
        RunTableDocument pane(document);
        RunTableText kept;
        QList<LinePlan> rows = planRows(60, 4);
        for (int round = 0; round < 80; ++round) {
            QList<LinePlan> body = rows.mid(0, rows.size() - 1);
            const int changes = random.bounded(1, 4);
            for (int change = 0; change < changes; ++change) {
                const int at = random.bounded(int(body.size()));
                switch (random.bounded(4)) {
                case 0:
                    body.insert(at, row(random.bounded(3), quint8(random.bounded(2)), float(random.bounded(40)), 1.0f,
                                        float(random.bounded(300)), random.bounded(-1, 6)));
                    break;
                case 1:
                    if (body.size() > 1)
                        body.removeAt(at);
                    break;
                default:
                    body[at].depth = float(random.bounded(80)) / 2.0f;
                    body[at].gasIndex = random.bounded(-1, 6);
                    break;
                }
            }
            rows = body;
            // The figures change now and then, one without the other.
            rows.append(endRow(float(random.bounded(3)), float(random.bounded(3))));
            RunTableText fresh = tableOf(rows);
            if (keptTable) {
                kept.add(LinePlan{});
                for (const LinePlan& line : std::as_const(rows))
                    kept.add(line);
            }
            const RunTableText& table = keptTable ? kept : fresh;
            pane.show(table);
            QCOMPARE(document.toHtml(), parsedWhole(document, table));
        }
    }

    // Lines written under the table, or a pane emptied, and the next table
    // is the whole table again.
    void tableAfterOtherText()
    {
        QTextDocument document;
        RunTableDocument pane(document);
        pane.show(tableOf(planRows(10, 2)));
        QTextCursor cursor(&document);
        cursor.movePosition(QTextCursor::End);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("Plan not computed"));
        pane.show(tableOf(planRows(10, 3)));
        QCOMPARE(document.toHtml(), parsedWhole(document, tableOf(planRows(10, 3))));
        document.clear();
        pane.show(tableOf(planRows(10, 3)));
        QCOMPARE(document.toHtml(), parsedWhole(document, tableOf(planRows(10, 3))));
    }
};

MAREVANE_TEST_MAIN(RunTableDocumentTest)

#include "tst_runtabledocument.moc"
