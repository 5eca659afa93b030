#include "divedb/divedb.h"
#include "divefixtures.h"
#include "formfilter.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTimeEdit>

namespace {

const QStringList kSerials = {"A100", "B200", "C300"};

// The widgets of the dialog that a diver uses.
struct FilterWidgets
{
    explicit FilterWidgets(const FormFilter& form)
        : grComputer(form.findChild<QGroupBox*>("grComputer")),
          grDateTime(form.findChild<QGroupBox*>("grDateTime")),
          grEndDate(form.findChild<QGroupBox*>("grEndDate")),
          grTime(form.findChild<QGroupBox*>("grTime")),
          table(form.findChild<QTableWidget*>("tblComputers")),
          checkAll(form.findChild<QPushButton*>("btCheckAll")),
          uncheckAll(form.findChild<QPushButton*>("btUncheckAll")),
          startDate(form.findChild<QDateEdit*>("startDate")),
          endDate(form.findChild<QDateEdit*>("endDate")),
          startTime(form.findChild<QTimeEdit*>("startTime")),
          endTime(form.findChild<QTimeEdit*>("endTime"))
    {
    }

    bool complete() const
    {
        return grComputer && grDateTime && grEndDate && grTime && table && checkAll &&
               uncheckAll && startDate && endDate && startTime && endTime;
    }

    // The serials of the rows, and of the checked rows.
    QStringList serials(bool checkedOnly) const
    {
        QStringList out;
        for (int row = 0; row < table->rowCount(); ++row) {
            const QTableWidgetItem* item = table->item(row, 0);
            if (!checkedOnly || item->checkState() == Qt::Checked)
                out << item->text();
        }
        return out;
    }

    void check(const QStringList& serials) const
    {
        for (int row = 0; row < table->rowCount(); ++row) {
            QTableWidgetItem* item = table->item(row, 0);
            item->setCheckState(serials.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
        }
    }

    QGroupBox* grComputer;
    QGroupBox* grDateTime;
    QGroupBox* grEndDate;
    QGroupBox* grTime;
    QTableWidget* table;
    QPushButton* checkAll;
    QPushButton* uncheckAll;
    QDateEdit* startDate;
    QDateEdit* endDate;
    QTimeEdit* startTime;
    QTimeEdit* endTime;
};

// A filter of every kind of restriction, so that a field that should not move
// shows it.
Filter everyRestriction()
{
    Filter filter;
    filter.byComputer = true;
    filter.serials = {"OLD"};
    filter.byDate = true;
    filter.startDate = QDateTime(QDate(2023, 1, 1), QTime(0, 0));
    filter.byEndDate = true;
    filter.endDate = QDateTime(QDate(2023, 1, 2), QTime(0, 0));
    filter.byTime = true;
    filter.startTime = QTime(6, 0);
    filter.endTime = QTime(7, 0);
    return filter;
}

void compareFilters(const Filter& actual, const Filter& expected)
{
    QCOMPARE(actual.byComputer, expected.byComputer);
    QCOMPARE(actual.serials, expected.serials);
    QCOMPARE(actual.byDate, expected.byDate);
    QCOMPARE(actual.startDate, expected.startDate);
    QCOMPARE(actual.byEndDate, expected.byEndDate);
    QCOMPARE(actual.endDate, expected.endDate);
    QCOMPARE(actual.byTime, expected.byTime);
    QCOMPARE(actual.startTime, expected.startTime);
    QCOMPARE(actual.endTime, expected.endTime);
}

} // namespace

Q_DECLARE_METATYPE(Filter)

class FormFilterTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mPrompts.clear();
        QCOMPARE(DiveDb::instance()->setDatabase(mFolder.path(QString("dives%1.db").arg(++mFiles))),
                 int(DiveDb::Success));
    }

    void computerPage_data()
    {
        QTest::addColumn<int>("computers");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<bool>("byComputer");
        QTest::addColumn<QStringList>("serials");

        QTest::newRow("off") << 3 << false << QStringList{"B200"} << false << QStringList{"OLD"};
        QTest::newRow("off, empty database") << 0 << false << QStringList{} << false
                                             << QStringList{"OLD"};
        QTest::newRow("all") << 3 << true << kSerials << false << kSerials;
        QTest::newRow("some") << 3 << true << QStringList{"A100", "C300"} << true
                              << QStringList{"A100", "C300"};
        QTest::newRow("none") << 3 << true << QStringList{} << true << QStringList{};
        QTest::newRow("empty database") << 0 << true << QStringList{} << false << QStringList{};
    }

    // What the diver leaves on the computer page goes into the filter, and
    // the next run shows it again.
    void computerPage()
    {
        QFETCH(int, computers);
        QFETCH(bool, active);
        QFETCH(QStringList, checked);
        QFETCH(bool, byComputer);
        QFETCH(QStringList, serials);

        storeComputers(computers);
        FormFilter form(nullptr);
        const FilterWidgets widgets(form);
        QVERIFY(widgets.complete());
        Filter before = everyRestriction();
        before.byDate = false;
        Filter filter = before;
        mPrompts.answerDialog([&](QDialog&) {
            widgets.grComputer->setChecked(active);
            widgets.check(checked);
            return int(QDialog::Accepted);
        });
        QCOMPARE(form.execute(filter), int(QDialog::Accepted));
        form.getFilter(filter);
        Filter expected = before;
        expected.byComputer = byComputer;
        expected.serials = serials;
        compareFilters(filter, expected);

        bool shownActive = !byComputer;
        QStringList shownChecked;
        mPrompts.answerDialog([&](QDialog&) {
            shownActive = widgets.grComputer->isChecked();
            shownChecked = widgets.serials(true);
            return int(QDialog::Rejected);
        });
        QCOMPARE(form.execute(filter), int(QDialog::Rejected));
        QCOMPARE(shownActive, byComputer);
        QStringList storedSerials;
        for (const QString& serial : serials) {
            if (kSerials.first(computers).contains(serial))
                storedSerials << serial;
        }
        QCOMPARE(shownChecked, storedSerials);
    }

    // Each run lists the stored computers, checked when the filter names them
    // exactly, and leaves the filter as it was.
    void executeShowsTheStoredComputers()
    {
        storeComputers(3);
        Dive other = testkit::makeDive("Cave", "B200", 4);
        other.computerName = "Another name";
        QCOMPARE(DiveDb::instance()->storeDive(other), int(DiveDb::Success));
        FormFilter form(nullptr);
        const FilterWidgets widgets(form);
        Filter filter = everyRestriction();
        filter.serials = {"B200", "a100"};

        QStringList rows;
        QStringList checked;
        QStringList names;
        QStringList headers;
        bool active = false;
        bool editable = true;
        mPrompts.answerDialog([&](QDialog&) {
            rows = widgets.serials(false);
            checked = widgets.serials(true);
            for (int row = 0; row < widgets.table->rowCount(); ++row)
                names << widgets.table->item(row, 1)->text();
            for (int column = 0; column < widgets.table->columnCount(); ++column)
                headers << widgets.table->horizontalHeaderItem(column)->text();
            active = widgets.grComputer->isChecked();
            editable = widgets.table->editTriggers() != QAbstractItemView::NoEditTriggers;
            widgets.check(kSerials);
            widgets.grComputer->setChecked(false);
            return int(QDialog::Rejected);
        });
        QCOMPARE(form.execute(filter), int(QDialog::Rejected));
        QCOMPARE(rows, kSerials);
        QCOMPARE(checked, QStringList{"B200"});
        QCOMPARE(names, QStringList({"Computer of A100", "Another name, Computer of B200",
                                     "Computer of C300"}));
        QCOMPARE(headers, QStringList({"Serial", "Name"}));
        QVERIFY(active);
        QVERIFY(!editable);
        Filter expected = everyRestriction();
        expected.serials = {"B200", "a100"};
        compareFilters(filter, expected);

        // A computer stored since the last run appears, unchecked.
        QCOMPARE(DiveDb::instance()->storeDive(testkit::makeDive("Lake", "D400", 4)),
                 int(DiveDb::Success));
        mPrompts.answerDialog([&](QDialog&) {
            rows = widgets.serials(false);
            checked = widgets.serials(true);
            return int(QDialog::Rejected);
        });
        form.execute(filter);
        QCOMPARE(rows, kSerials + QStringList{"D400"});
        QCOMPARE(checked, QStringList{"B200"});
    }

    void allAndNoneButtons()
    {
        storeComputers(3);
        FormFilter form(nullptr);
        const FilterWidgets widgets(form);
        Filter filter;
        filter.byComputer = true;
        filter.serials = {"B200"};
        QStringList afterAll;
        QStringList afterNone;
        mPrompts.answerDialog([&](QDialog&) {
            widgets.checkAll->click();
            afterAll = widgets.serials(true);
            widgets.uncheckAll->click();
            afterNone = widgets.serials(true);
            return int(QDialog::Rejected);
        });
        form.execute(filter);
        QCOMPARE(afterAll, kSerials);
        QCOMPARE(afterNone, QStringList());
    }

    void datePage_data()
    {
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("endDateOn");
        QTest::addColumn<bool>("timeOn");
        QTest::addColumn<Filter>("expected");

        const QDateTime start(QDate(2024, 3, 5), QTime(0, 0));
        const QDateTime end(QDate(2024, 3, 9), QTime(0, 0));
        Filter off = everyRestriction();
        off.byDate = false;
        Filter startOnly = everyRestriction();
        startOnly.startDate = start;
        startOnly.byEndDate = false;
        startOnly.byTime = false;
        Filter withEnd = startOnly;
        withEnd.byEndDate = true;
        withEnd.endDate = end;
        Filter withTime = startOnly;
        withTime.byTime = true;
        withTime.startTime = QTime(8, 0);
        withTime.endTime = QTime(17, 30);
        Filter withBoth = withTime;
        withBoth.byEndDate = true;
        withBoth.endDate = end;

        QTest::newRow("off") << false << true << true << off;
        QTest::newRow("start date only") << true << false << false << startOnly;
        QTest::newRow("end date") << true << true << false << withEnd;
        QTest::newRow("time range") << true << false << true << withTime;
        QTest::newRow("end date and time range") << true << true << true << withBoth;
    }

    void datePage()
    {
        QFETCH(bool, active);
        QFETCH(bool, endDateOn);
        QFETCH(bool, timeOn);
        QFETCH(Filter, expected);

        FormFilter form(nullptr);
        const FilterWidgets widgets(form);
        Filter filter = everyRestriction();
        mPrompts.answerDialog([&](QDialog&) {
            widgets.grDateTime->setChecked(active);
            widgets.grEndDate->setChecked(endDateOn);
            widgets.grTime->setChecked(timeOn);
            widgets.startDate->setDate(QDate(2024, 3, 5));
            widgets.endDate->setDate(QDate(2024, 3, 9));
            widgets.startTime->setTime(QTime(8, 0));
            widgets.endTime->setTime(QTime(17, 30));
            return int(QDialog::Accepted);
        });
        QCOMPARE(form.execute(filter), int(QDialog::Accepted));
        form.getFilter(filter);
        expected.byComputer = false; // the database is empty
        expected.serials.clear();
        compareFilters(filter, expected);
    }

    // The date page shows the filter, but the end-date switch stays as the
    // diver left it.
    void datePageShowsTheFilter()
    {
        FormFilter form(nullptr);
        const FilterWidgets widgets(form);
        QVERIFY(widgets.complete());
        QCOMPARE(form.windowTitle(), QString("Filter"));
        QCOMPARE(form.minimumSize(), QSize(400, 575));
        QCOMPARE(form.maximumSize(), QSize(400, 575));
        QVERIFY(!widgets.grEndDate->isChecked());
        QCOMPARE(widgets.startDate->date(), QDate(2023, 12, 31));

        Filter filter;
        mPrompts.answerDialog([&](QDialog&) {
            widgets.grEndDate->setChecked(true);
            return int(QDialog::Accepted);
        });
        form.execute(filter);
        QCOMPARE(widgets.startDate->date(), QDate(2023, 12, 31));

        filter = everyRestriction();
        filter.byEndDate = false;
        filter.byTime = false;
        form.execute(filter);
        QVERIFY(widgets.grEndDate->isChecked());
        QVERIFY(widgets.grDateTime->isChecked());
        QVERIFY(!widgets.grTime->isChecked());
        QCOMPARE(widgets.startDate->dateTime(), filter.startDate);
        QCOMPARE(widgets.endDate->dateTime(), filter.endDate);
        QCOMPARE(widgets.startTime->time(), filter.startTime);
        QCOMPARE(widgets.endTime->time(), filter.endTime);
    }

private:
    // One dive for each of the first `count` serials.
    static void storeComputers(int count)
    {
        for (const QString& serial : kSerials.first(count))
            QCOMPARE(DiveDb::instance()->storeDive(testkit::makeDive("Reef " + serial, serial, 4)),
                     int(DiveDb::Success));
    }

    testkit::DatabaseFolder mFolder;
    int mFiles = 0;
    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(FormFilterTest)
#include "tst_formfilter.moc"
