#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// The owner name as the computer keeps it: UTF-8 in a field of fixed size,
// ended by a zero unless it fills the whole field.
class OwnerName
{
public:
    static constexpr int kSize = 32;

    OwnerName() = default;
    // The field as the computer sent it; bytes beyond the field are dropped.
    static OwnerName fromBytes(const QByteArray& bytes);
    // The name in UTF-8, cut at a whole character when the field cannot hold
    // all of it.
    static OwnerName fromText(const QString& text);

    // The UTF-8 text up to the first zero or the field's end.
    QString text() const;
    // The whole field, zeros included.
    QByteArray bytes() const { return QByteArray(mBytes.data(), kSize); }

    friend bool operator==(const OwnerName&, const OwnerName&) = default;

private:
    std::array<char, kSize> mBytes{};
};
