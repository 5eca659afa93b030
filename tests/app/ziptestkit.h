#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

namespace testkit {

// One entry of a test archive, written raw so that what the archive declares
// can differ from what it holds.
struct ZipEntrySpec
{
    QByteArray name;
    QByteArray data;
    bool deflate = true;
    // A Unix file mode for the external attributes (made by Unix); 0 for none.
    quint32 unixMode = 0;
    // What the archive declares; the true values when unset.
    std::optional<quint64> declaredSize;
    std::optional<quint32> declaredCrc;
};

// Writes an archive of `entries`, in order, at `path`.
bool writeZip(const QString& path, const QList<ZipEntrySpec>& entries);

// `data` as a raw deflate stream, as the archive holds it.
QByteArray rawDeflate(const QByteArray& data);
quint32 crc32Of(const QByteArray& data);

// Flips the middle byte of the first occurrence of `needle` in the file.
bool flipByteOf(const QString& path, const QByteArray& needle);

// The number of entries the archive's directory declares; nothing when
// minizip cannot open it.
std::optional<quint64> zipEntryCount(const QString& path);

} // namespace testkit

Q_DECLARE_METATYPE(testkit::ZipEntrySpec)
