#include "device/utf8lengthvalidator.h"

Utf8LengthValidator::Utf8LengthValidator(qsizetype maximumBytes, QObject* parent)
    : QValidator(parent)
    , mMaximumBytes(maximumBytes)
{
}

QValidator::State Utf8LengthValidator::validate(QString& input, int&) const
{
    return fits(input, mMaximumBytes) ? Acceptable : Invalid;
}
