#include "decimalcomma.h"

#include <QProcess>

#include <clocale>

namespace testkit {

DecimalCommaNumbers::DecimalCommaNumbers()
    : mHadPath(qEnvironmentVariableIsSet("LOCPATH"))
    , mPreviousPath(qgetenv("LOCPATH"))
    , mPreviousLocale(std::setlocale(LC_NUMERIC, nullptr))
{
    const QString localeDir = mLocales.filePath("fr_FR.UTF-8");
    if (QProcess::execute("localedef", {"-i", "fr_FR", "-f", "UTF-8", localeDir}) != 0)
        return;
    qputenv("LOCPATH", mLocales.path().toLocal8Bit());
    mActive = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
}

DecimalCommaNumbers::~DecimalCommaNumbers()
{
    std::setlocale(LC_NUMERIC, mPreviousLocale.c_str());
    if (mHadPath)
        qputenv("LOCPATH", mPreviousPath);
    else
        qunsetenv("LOCPATH");
}

} // namespace testkit
