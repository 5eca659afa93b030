#include "divemodel/binaryfile.h"

#include "common/textfiles.h"
#include "divemodel/diveanalysis.h"
#include "divemodel/divecbor.h"
#include "divemodel/dive.h"
#include "divemodel/divelimits.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;
constexpr char kMagic[] = "BrenmokBinaryFile";
constexpr qsizetype kMagicLength = sizeof kMagic - 1;
constexpr qint32 kLayoutVersion = 1;
constexpr quint32 kNullByteArray = 0xffffffff; // the length a data stream gives a null byte array

// Whether the stream starts with the magic, a byte array of its own length.
bool readMagic(QDataStream& stream)
{
    quint32 length = 0;
    stream >> length;
    char magic[kMagicLength];
    return length == quint32(kMagicLength) && stream.readRawData(magic, int(kMagicLength)) == kMagicLength
        && std::memcmp(magic, kMagic, kMagicLength) == 0;
}

// Reads a byte array of the stream's encoding. Its declared length is only
// believed as far as the stream holds bytes: a device that knows its size is
// asked first, and each step of the bytes is read before the next one is
// allocated.
bool readByteArray(QDataStream& stream, QByteArray& bytes)
{
    constexpr qint64 step = 1 << 20;
    quint32 length = 0;
    stream >> length;
    bytes.clear();
    if (stream.status() != QDataStream::Ok)
        return false;
    if (length == kNullByteArray)
        return true;
    const QIODevice* device = stream.device();
    if (device && !device->isSequential()) {
        if (qint64(length) > device->bytesAvailable()) {
            stream.setStatus(QDataStream::ReadPastEnd);
            return false;
        }
        bytes.reserve(qsizetype(length));
    }
    for (qint64 done = 0; done < qint64(length);) {
        const qint64 size = std::min(step, qint64(length) - done);
        bytes.resize(qsizetype(done + size));
        if (stream.readRawData(bytes.data() + done, int(size)) != size) {
            bytes.clear();
            stream.setStatus(QDataStream::ReadPastEnd);
            return false;
        }
        done += size;
    }
    return true;
}

} // namespace

bool BinaryFile::read(const QString& path, Dive& dive)
{
    setErrorString(QString());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDataStream stream(&file);
    return read(stream, dive);
}

bool BinaryFile::read(QDataStream& stream, Dive& dive)
{
    setErrorString(QString());
    stream.setVersion(kStreamVersion);
    if (!readMagic(stream)) {
        setErrorString(QCoreApplication::translate("BinaryFile", "The file is not a binary dive file."));
        return false;
    }
    qint32 version = -1;
    stream >> version;
    if (stream.status() != QDataStream::Ok) {
        setErrorString(QCoreApplication::translate("BinaryFile", "The file is cut short."));
        return false;
    }
    if (quint32(version) > quint32(kLayoutVersion)) {
        setErrorString(
            QCoreApplication::translate("BinaryFile", "The file's layout version %1 is not one this program reads.")
                .arg(version));
        return false;
    }
    QByteArray payload;
    if (!readByteArray(stream, payload)) {
        setErrorString(QCoreApplication::translate("BinaryFile", "The file is cut short."));
        return false;
    }
    Dive read = dive;
    QString reason;
    if (!divecbor::decode(payload, read, reason)) {
        setErrorString(reason);
        return false;
    }
    if (!withinLimits(divelimits::diveError(read)))
        return false;
    // The form leaves out the computed lists: the ceiling area is drawn from
    // the samples' ceilings, as for a dive read from the database.
    DiveAnalysis::createCeilPointsFromLines(read);
    dive = std::move(read);
    return true;
}

bool BinaryFile::write(const QString& path, Dive& dive)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    // The earlier file stays whole until the new one is complete.
    return write(stream, dive) && writeFileAtomically(path, bytes);
}

bool BinaryFile::write(QDataStream& stream, Dive& dive)
{
    stream.setVersion(kStreamVersion);
    stream << QByteArray(kMagic, kMagicLength) << kLayoutVersion << divecbor::encode(dive);
    return stream.status() == QDataStream::Ok;
}
