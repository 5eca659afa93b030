// The point table of the planning tab as a person sees it, in English and
// in French, in the window at its default size and maximised.
#include "applanguagemanager.h"
#include "testenvironment.h"

#include "planningtabkit.h"
#include "planningtabwidgets.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QtTest>

using namespace planningtabkit;

namespace {

bool loadLanguage(const QString& code)
{
    return AppLanguageManager::instance()->loadLanguage(
        "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()), code);
}

// What of the table's header is cut: the texts wider than their section,
// and a horizontal scroll bar; empty when everything shows.
QString cutHeaders(QTableView& table)
{
    QStringList cut;
    const QHeaderView* header = table.horizontalHeader();
    const QFontMetrics metrics(header->font());
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int section = 0; section < header->count(); ++section) {
        const QString text = table.model()->headerData(section, Qt::Horizontal).toString();
        const int needed = metrics.horizontalAdvance(text) + margins;
        if (header->sectionSize(section) < needed)
            cut.append(QStringLiteral("\"%1\" needs %2 px, has %3").arg(text).arg(needed).arg(header->sectionSize(section)));
    }
    if (table.horizontalScrollBar()->isVisible())
        cut.append(QStringLiteral("a horizontal scroll bar (table %1 px, header %2 px)")
                       .arg(table.viewport()->width())
                       .arg(header->length()));
    return cut.join(QStringLiteral("; "));
}

} // namespace

class PointTableWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { freshDataFolder(); }
    void cleanup() { loadLanguage(QStringLiteral("en")); }

    void headersShowWhole_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<bool>("withPoints");
        for (const char* language : {"en", "fr"})
            for (const bool maximised : {false, true})
                for (const bool withPoints : {false, true})
                    QTest::addRow("%s, %s, %s", language, maximised ? "maximised" : "default size",
                                  withPoints ? "a dive" : "no point")
                        << QString::fromLatin1(language) << maximised << withPoints;
    }

    void headersShowWhole()
    {
        QFETCH(QString, language);
        QFETCH(bool, maximised);
        QFETCH(bool, withPoints);
        QCOMPARE(loadLanguage(language), language == QLatin1String("fr"));
        MainWindow window;
        child<QTabWidget>(window, "tabMain")->setCurrentIndex(1);
        if (maximised)
            window.showMaximized();
        else
            window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (withPoints)
            click(window, "btAddDive");
        QCoreApplication::processEvents();
        auto* table = child<QTableView>(window, "tblViewlDivePoints");
        QCOMPARE(table->model()->headerData(3, Qt::Horizontal).toString(),
                 language == QLatin1String("fr") ? QStringLiteral("Gaz") : QStringLiteral("Gas"));
        QCOMPARE(cutHeaders(*table), QString());
    }
};

MAREVANE_TEST_MAIN(PointTableWindowTest)
#include "tst_pointtablewindow.moc"
