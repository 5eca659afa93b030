#include "ziptestkit.h"

#include <QFile>

#include <unzip.h>
#include <zip.h>
#include <zlib.h>

namespace testkit {

namespace {

// Unix, zip version 2.0.
constexpr uLong kMadeByUnix = (3u << 8) | 20u;

bool addEntry(zipFile archive, const ZipEntrySpec& entry)
{
    zip_fileinfo info{};
    info.external_fa = uLong(entry.unixMode) << 16;
    const QByteArray stored = entry.deflate ? rawDeflate(entry.data) : entry.data;
    if (zipOpenNewFileInZip4_64(archive, entry.name.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                entry.deflate ? Z_DEFLATED : 0, Z_DEFAULT_COMPRESSION, 1, -MAX_WBITS,
                                DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0,
                                entry.unixMode ? kMadeByUnix : 0, 0, 0)
        != ZIP_OK)
        return false;
    if (!stored.isEmpty() && zipWriteInFileInZip(archive, stored.constData(), unsigned(stored.size())) != ZIP_OK)
        return false;
    return zipCloseFileInZipRaw64(archive, entry.declaredSize.value_or(quint64(entry.data.size())),
                                  entry.declaredCrc.value_or(crc32Of(entry.data)))
           == ZIP_OK;
}

} // namespace

bool writeZip(const QString& path, const QList<ZipEntrySpec>& entries)
{
    zipFile archive = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!archive)
        return false;
    bool added = true;
    for (const ZipEntrySpec& entry : entries)
        added = added && addEntry(archive, entry);
    return zipClose(archive, nullptr) == ZIP_OK && added;
}

QByteArray rawDeflate(const QByteArray& data)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

quint32 crc32Of(const QByteArray& data)
{
    return quint32(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
}

bool flipByteOf(const QString& path, const QByteArray& needle)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    const qsizetype at = bytes.indexOf(needle);
    if (at < 0)
        return false;
    bytes[at + needle.size() / 2] = char(bytes.at(at + needle.size() / 2) ^ 0x5a);
    return file.seek(0) && file.write(bytes) == bytes.size();
}

std::optional<quint64> zipEntryCount(const QString& path)
{
    unzFile archive = unzOpen64(QFile::encodeName(path).constData());
    if (!archive)
        return {};
    unz_global_info64 info{};
    const bool read = unzGetGlobalInfo64(archive, &info) == UNZ_OK;
    unzClose(archive);
    return read ? std::optional<quint64>(info.number_entry) : std::nullopt;
}

} // namespace testkit
