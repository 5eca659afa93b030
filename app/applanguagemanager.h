#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

// The process-wide translator of the user interface. It loads the translation
// of the chosen language, or of the system language when none is chosen, and
// remembers which language is in use. Beside the program's own texts it
// installs Qt's for the same language (standard buttons, file dialogs), so
// that one window never mixes two languages.
class AppLanguageManager : public QTranslator
{
    Q_OBJECT

public:
    static AppLanguageManager* instance();

    // Loads "<application>_<locale>" from `folder` and, when it was found,
    // installs this translator and Qt's own translation of the language
    // ("qtbase_<locale>" from Qt's translations folder). An empty
    // `languageCode` means the system language. Returns whether the
    // program's file was loaded.
    bool loadLanguage(const QString& application, const QString& folder,
                      const QString& languageCode);

    // The two-letter language in use; empty until loadLanguage has run.
    QString currentLocale() const { return mCurrentLocale; }

    // The language code chosen on the command line: only "<program> -lang
    // english" or "<program> -lang french" chooses one ("en", "fr"); anything
    // else chooses none.
    static QString languageFromArguments(const QStringList& arguments);

    // The locale that a language code gives: the code itself, or the language
    // part of the system locale's name ("de" for "de_CH") when it is empty.
    static QString localeFor(const QString& languageCode, const QString& systemLocaleName);

    // The translations folder for the program living in `programFolder`.
    static QString translationsFolder(const QString& programFolder);

private:
    AppLanguageManager() = default;

    void loadQtTranslation(bool programTranslated);

    QString mCurrentLocale;
    QTranslator mQtTranslator;
};
