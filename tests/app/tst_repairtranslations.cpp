#include "applanguagemanager.h"
#include "testenvironment.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString buttonText(QDialogButtonBox::StandardButton button)
{
    const QDialogButtonBox box(button);
    return box.button(button)->text().remove(QLatin1Char('&'));
}

bool loadLanguage(const QString& code)
{
    return AppLanguageManager::instance()->loadLanguage(
        "Marevane", AppLanguageManager::translationsFolder(QCoreApplication::applicationDirPath()), code);
}

} // namespace

// Qt's own texts (standard buttons, file dialogs) follow the program's language.
class RepairTranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void standardButtons_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("French Cancel") << "fr" << int(QDialogButtonBox::Cancel) << "Annuler";
        QTest::newRow("French Yes") << "fr" << int(QDialogButtonBox::Yes) << "Oui";
        QTest::newRow("French No") << "fr" << int(QDialogButtonBox::No) << "Non";
        QTest::newRow("French Open") << "fr" << int(QDialogButtonBox::Open) << "Ouvrir";
        QTest::newRow("English") << "en" << int(QDialogButtonBox::Cancel) << "Cancel";
        // No translation of the program: Qt's texts stay English with it.
        QTest::newRow("German") << "de" << int(QDialogButtonBox::Cancel) << "Cancel";
    }
    void standardButtons()
    {
        QFETCH(QString, language);
        QFETCH(int, button);
        QCOMPARE(loadLanguage(language), language == "fr");
        QTEST(buttonText(QDialogButtonBox::StandardButton(button)), "text");
    }

    // Choosing another language later leaves no French behind.
    void frenchThenEnglish()
    {
        QVERIFY(loadLanguage("fr"));
        QCOMPARE(buttonText(QDialogButtonBox::Cancel), QStringLiteral("Annuler"));
        QVERIFY(!loadLanguage("en"));
        QCOMPARE(buttonText(QDialogButtonBox::Cancel), QStringLiteral("Cancel"));
    }
};

MAREVANE_TEST_MAIN(RepairTranslationsTest)
#include "tst_repairtranslations.moc"
