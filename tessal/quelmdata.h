#pragma once

#include <QString>

// Texts of the computer's values.
namespace QuelmData {

// "2.0.11" for 0x02000B00: major (top byte), minor and patch in decimal; a
// letter code other than 0 adds a dot and the letter ("2.0.11.a" for
// 0x02000B61), or its code in hexadecimal when it is no printable character.
QString firmwareVersionToString(quint32 version);

} // namespace QuelmData
