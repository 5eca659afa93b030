#pragma once

#include <QValidator>

// Accepts a text whose UTF-8 form holds no more than a number of bytes, as a
// fixed-size field of the computer does: a character that would not fit
// whole is refused, never cut.
class Utf8LengthValidator final : public QValidator
{
public:
    Utf8LengthValidator(qsizetype maximumBytes, QObject* parent);

    static bool fits(const QString& text, qsizetype maximumBytes) { return text.toUtf8().size() <= maximumBytes; }

    State validate(QString& input, int& position) const override;

private:
    qsizetype mMaximumBytes;
};
