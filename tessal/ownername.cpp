#include "tessal/ownername.h"

#include <algorithm>
#include <cstring>

namespace {

bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

OwnerName OwnerName::fromBytes(const QByteArray& bytes)
{
    OwnerName name;
    std::memcpy(name.mBytes.data(), bytes.constData(), std::min<qsizetype>(bytes.size(), kSize));
    return name;
}

OwnerName OwnerName::fromText(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    if (utf8.size() > kSize) {
        // A cut inside a character would leave half of it, which reads back
        // as a replacement character.
        qsizetype cut = kSize;
        while (cut > 0 && isContinuationByte(utf8.at(cut)))
            --cut;
        utf8.truncate(cut);
    }
    return fromBytes(utf8);
}

QString OwnerName::text() const
{
    const auto end = std::find(mBytes.begin(), mBytes.end(), '\0');
    return QString::fromUtf8(mBytes.data(), end - mBytes.begin());
}
