#include "applanguagemanager.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

AppLanguageManager* AppLanguageManager::instance()
{
    static AppLanguageManager manager;
    return &manager;
}

bool AppLanguageManager::loadLanguage(const QString& application, const QString& folder,
                                      const QString& languageCode)
{
    mCurrentLocale = localeFor(languageCode, QLocale::system().name());
    const bool loaded = load(QString("%1_%2").arg(application, mCurrentLocale), folder);
    if (loaded)
        QCoreApplication::installTranslator(this);
    loadQtTranslation(loaded);
    return loaded;
}

void AppLanguageManager::loadQtTranslation(bool programTranslated)
{
    // Without the program's own texts in the language, Qt's stay English too.
    if (programTranslated
        && mQtTranslator.load("qtbase_" + mCurrentLocale, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&mQtTranslator);
    else
        QCoreApplication::removeTranslator(&mQtTranslator);
}

QString AppLanguageManager::languageFromArguments(const QStringList& arguments)
{
    if (arguments.size() != 3 || arguments.at(1) != "-lang")
        return {};
    if (arguments.at(2) == "english")
        return "en";
    if (arguments.at(2) == "french")
        return "fr";
    return {};
}

QString AppLanguageManager::localeFor(const QString& languageCode, const QString& systemLocaleName)
{
    if (!languageCode.isEmpty())
        return languageCode;
    return systemLocaleName.section('_', 0, 0);
}

QString AppLanguageManager::translationsFolder(const QString& programFolder)
{
    return programFolder + "/../Resources/translations";
}
