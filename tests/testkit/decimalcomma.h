#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include <string>

namespace testkit {

// While it lives, the C library writes and reads numbers with a decimal comma
// (French of France, built with localedef into a folder of its own), as Qt
// leaves it on a desktop set to such a language. isActive() is false where
// that locale cannot be built or chosen; the test then skips.
class DecimalCommaNumbers
{
public:
    DecimalCommaNumbers();
    ~DecimalCommaNumbers();
    DecimalCommaNumbers(const DecimalCommaNumbers&) = delete;
    DecimalCommaNumbers& operator=(const DecimalCommaNumbers&) = delete;

    bool isActive() const { return mActive; }

private:
    QTemporaryDir mLocales;
    bool mHadPath = false;
    QByteArray mPreviousPath;
    std::string mPreviousLocale;
    bool mActive = false;
};

} // namespace testkit
