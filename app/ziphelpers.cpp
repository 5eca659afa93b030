#include "ziphelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QScopeGuard>

#include <unzip.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace {

// Longer names are refused rather than cut.
constexpr uLong kMaxNameBytes = 511;
constexpr qsizetype kBlockSize = 8192;

// General purpose flags of an entry.
constexpr uLong kEncryptedFlag = 1u << 0;
constexpr uLong kUtf8NameFlag = 1u << 11;

// Hosts of "version made by" whose external attributes carry a Unix file mode
// in their upper 16 bits: Unix and OS X.
constexpr uLong kUnixHost = 3;
constexpr uLong kDarwinHost = 19;
constexpr uLong kFileTypeMask = 0170000;
constexpr uLong kRegularFile = 0100000;
constexpr uLong kDirectory = 0040000;

constexpr int kStored = 0;

QString translated(const char* text)
{
    return QCoreApplication::translate("ZipArchive", text);
}

QString namedRefusal(const char* text, const QString& name)
{
    return translated(text).arg(name);
}

QString damaged(const QString& name)
{
    return namedRefusal(
        QT_TRANSLATE_NOOP("ZipArchive", "The entry \"%1\" is damaged: its data is not what the archive declares."),
        name);
}

QString megabytes(qint64 bytes)
{
    return QLocale().toString(bytes / (1024 * 1024));
}

struct ArchiveCloser
{
    void operator()(void* archive) const { unzClose(archive); }
};
using Archive = std::unique_ptr<void, ArchiveCloser>;

// One entry as the central directory declares it.
struct Entry
{
    QString name;
    unz64_file_pos position{};
    bool folder = false;
    int method = kStored;
    uLong crc = 0;
    ZPOS64_T size = 0;
    ZPOS64_T compressedSize = 0;
};

bool isWithin(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

// A name is taken relative to the target folder only: no root, no drive and no
// way up, with either kind of slash.
bool isRelativeDownward(const QString& name)
{
    if (name.startsWith('/') || name.startsWith('\\'))
        return false;
    const bool driveLetter = name.size() >= 2 && name.at(1) == ':'
                             && ((name.at(0) >= 'a' && name.at(0) <= 'z') || (name.at(0) >= 'A' && name.at(0) <= 'Z'));
    if (driveLetter)
        return false;
    for (const QStringView segment : QStringView(name).split(u'/'))
        for (const QStringView part : segment.split(u'\\'))
            if (part == u"..")
                return false;
    return true;
}

// Plain files and folders only: a link (or a device, a pipe) could point
// anywhere.
bool isPlainFileOrFolder(const unz_file_info64& info)
{
    const uLong host = info.version >> 8;
    if (host != kUnixHost && host != kDarwinHost)
        return true;
    const uLong type = (info.external_fa >> 16) & kFileTypeMask;
    return type == 0 || type == kRegularFile || type == kDirectory;
}

// Why the entry `name` that `info` describes may not be unpacked; empty when it
// may.
QString refusalOf(const unz_file_info64& info, const QString& name)
{
    if (info.flag & kEncryptedFlag)
        return namedRefusal(QT_TRANSLATE_NOOP("ZipArchive", "The entry \"%1\" is encrypted."), name);
    if (!isPlainFileOrFolder(info))
        return namedRefusal(QT_TRANSLATE_NOOP("ZipArchive", "The entry \"%1\" is a link or a special file."), name);
    if (info.compression_method != kStored && info.compression_method != Z_DEFLATED)
        return namedRefusal(QT_TRANSLATE_NOOP("ZipArchive", "The entry \"%1\" is compressed in an unknown way."),
                            name);
    // Stored data is its own size.
    if (info.compression_method == kStored && info.compressed_size != info.uncompressed_size)
        return damaged(name);
    return {};
}

// The entry at the archive's current position, when it may be unpacked at all;
// else `refusal` says why.
std::optional<Entry> readEntry(unzFile archive, QString& refusal)
{
    unz_file_info64 info{};
    std::array<char, kMaxNameBytes + 1> name{};
    if (unzGetCurrentFileInfo64(archive, &info, name.data(), uLong(name.size()), nullptr, 0, nullptr, 0) != UNZ_OK) {
        refusal = translated(QT_TRANSLATE_NOOP("ZipArchive", "The list of the archive's entries is damaged."));
        return {};
    }
    // minizip leaves a name that fills its buffer without a terminator.
    const QByteArray rawName(name.data(), qsizetype(std::min<uLong>(info.size_filename, kMaxNameBytes)));
    if (info.size_filename == 0 || info.size_filename > kMaxNameBytes || rawName.contains('\0')) {
        refusal = translated(QT_TRANSLATE_NOOP("ZipArchive", "An entry has an empty, overlong or invalid name."));
        return {};
    }
    refusal = refusalOf(info, QString::fromUtf8(rawName));
    if (!refusal.isEmpty())
        return {};

    Entry entry;
    entry.name = QString::fromUtf8(rawName);
    entry.folder = entry.name.endsWith('/');
    entry.method = int(info.compression_method);
    entry.crc = info.crc;
    entry.size = info.uncompressed_size;
    entry.compressedSize = info.compressed_size;
    if (unzGetFilePos64(archive, &entry.position) != UNZ_OK) {
        refusal = translated(QT_TRANSLATE_NOOP("ZipArchive", "The list of the archive's entries is damaged."));
        return {};
    }
    return entry;
}

bool staysInside(const Entry& entry, const QString& root)
{
    return isRelativeDownward(entry.name) && isWithin(QDir::cleanPath(root + '/' + entry.name), root);
}

// Why `entry` may not be unpacked into `root` within `limits`, with `total`
// bytes before it; empty when it may.
QString refusalOf(const Entry& entry, const QString& root, const ZipLimits& limits, qint64 total)
{
    if (!staysInside(entry, root))
        return namedRefusal(QT_TRANSLATE_NOOP("ZipArchive", "The entry \"%1\" would be written outside its folder."),
                            entry.name);
    if (entry.folder)
        return {};
    if (entry.size > ZPOS64_T(limits.maxEntrySize))
        return translated(QT_TRANSLATE_NOOP("ZipArchive", "The entry \"%1\" is larger than %2 MB."))
            .arg(entry.name, megabytes(limits.maxEntrySize));
    if (total + qint64(entry.size) > limits.maxTotalSize)
        return translated(QT_TRANSLATE_NOOP("ZipArchive", "The archive unpacks to more than %1 MB."))
            .arg(megabytes(limits.maxTotalSize));
    return {};
}

// Every entry of the archive, when each of them may be unpacked into `root`
// within `limits`; else `refusal` says why, when the archive is to blame.
std::optional<std::vector<Entry>> inventory(unzFile archive, const QString& root, const ZipLimits& limits,
                                            QString& refusal)
{
    std::vector<Entry> entries;
    qint64 total = 0;
    int status = unzGoToFirstFile(archive);
    for (; status == UNZ_OK; status = unzGoToNextFile(archive)) {
        if (qsizetype(entries.size()) >= limits.maxEntries) {
            refusal = translated(QT_TRANSLATE_NOOP("ZipArchive", "The archive holds more than %1 entries."))
                          .arg(limits.maxEntries);
            return {};
        }
        std::optional<Entry> entry = readEntry(archive, refusal);
        if (!entry)
            return {};
        refusal = refusalOf(*entry, root, limits, total);
        if (!refusal.isEmpty())
            return {};
        if (!entry->folder)
            total += qint64(entry->size);
        entries.push_back(std::move(*entry));
    }
    if (status != UNZ_END_OF_LIST_OF_FILE && !entries.empty())
        refusal = translated(QT_TRANSLATE_NOOP("ZipArchive", "The list of the archive's entries is damaged."));
    if (status != UNZ_END_OF_LIST_OF_FILE || entries.empty())
        return {};
    return entries;
}

// Creates the folders of `segments` below `root` one level at a time, so that
// nothing is ever created through a link, and checks that the last one
// resolves inside the root.
std::optional<QString> makeFolders(const QString& root, const QString& canonicalRoot,
                                   const QStringList& segments)
{
    QString path = root;
    for (const QString& segment : segments) {
        path += '/' + segment;
        const QFileInfo info(path);
        if (info.isSymLink())
            return {};
        if (!info.exists() ? !QDir().mkdir(path) : !info.isDir())
            return {};
    }
    if (!isWithin(QFileInfo(path).canonicalFilePath(), canonicalRoot))
        return {};
    return path;
}

// The data of one entry on its way out: it must come to exactly the declared
// size and checksum.
class CheckedOutput
{
public:
    CheckedOutput(QIODevice& out, ZPOS64_T declaredSize)
        : mOut(out)
        , mDeclared(declaredSize)
    {
    }

    bool write(const char* data, qsizetype size)
    {
        if (ZPOS64_T(size) > mDeclared - mWritten)
            return false;
        mCrc = crc32(mCrc, reinterpret_cast<const Bytef*>(data), uInt(size));
        mWritten += ZPOS64_T(size);
        mOutputFailed = mOut.write(data, size) != size;
        return !mOutputFailed;
    }

    bool complete(uLong expectedCrc) const { return mWritten == mDeclared && mCrc == expectedCrc; }
    // Whether the copy stopped for want of writing rather than for the data.
    bool outputFailed() const { return mOutputFailed; }

private:
    QIODevice& mOut;
    ZPOS64_T mDeclared;
    ZPOS64_T mWritten = 0;
    uLong mCrc = crc32(0, nullptr, 0);
    bool mOutputFailed = false;
};

bool copyStored(unzFile archive, CheckedOutput& output)
{
    std::array<char, kBlockSize> block;
    int read = 0;
    while ((read = unzReadCurrentFile(archive, block.data(), unsigned(block.size()))) > 0)
        if (!output.write(block.data(), read))
            return false;
    return read == 0;
}

// Inflates the raw deflate stream of the open entry; the stream must end
// within the entry's data.
bool inflateDeflated(unzFile archive, CheckedOutput& output)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    const auto end = qScopeGuard([&stream] { inflateEnd(&stream); });
    std::array<char, kBlockSize> in;
    std::array<char, kBlockSize> out;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        const int read = unzReadCurrentFile(archive, in.data(), unsigned(in.size()));
        if (read <= 0)
            return false;
        stream.next_in = reinterpret_cast<Bytef*>(in.data());
        stream.avail_in = uInt(read);
        do {
            stream.next_out = reinterpret_cast<Bytef*>(out.data());
            stream.avail_out = uInt(out.size());
            status = inflate(&stream, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                return false;
            if (!output.write(out.data(), qsizetype(out.size() - stream.avail_out)))
                return false;
        } while (stream.avail_out == 0 && status != Z_STREAM_END);
    }
    return true;
}

// Copies the entry's data into `out`; when the data is to blame for a
// failure, `refusal` says so.
bool copyEntry(unzFile archive, const Entry& entry, QIODevice& out, QString& refusal)
{
    int method = 0;
    int level = 0;
    // Raw: the entry's data as stored, so that data past its declared size
    // shows.
    if (unzOpenCurrentFile2(archive, &method, &level, 1) != UNZ_OK) {
        refusal = damaged(entry.name);
        return false;
    }
    CheckedOutput output(out, entry.size);
    const bool copied = entry.method == kStored ? copyStored(archive, output) : inflateDeflated(archive, output);
    const bool closed = unzCloseCurrentFile(archive) == UNZ_OK;
    if (output.outputFailed())
        return false;
    if (!copied || !closed || !output.complete(entry.crc)) {
        refusal = damaged(entry.name);
        return false;
    }
    return true;
}

QString throughALink(const Entry& entry)
{
    return namedRefusal(QT_TRANSLATE_NOOP("ZipArchive", "The entry \"%1\" would be written through a link."),
                        entry.name);
}

bool unpackEntry(unzFile archive, const Entry& entry, const QString& root, const QString& canonicalRoot,
                 ZipExtraction& extraction)
{
    QStringList segments = entry.name.split('/', Qt::SkipEmptyParts);
    segments.removeAll(QStringLiteral("."));
    if (!entry.folder && segments.isEmpty()) {
        extraction.refusal =
            translated(QT_TRANSLATE_NOOP("ZipArchive", "An entry has an empty, overlong or invalid name."));
        return false;
    }
    const QString fileName = entry.folder ? QString() : segments.takeLast();
    const std::optional<QString> folder = makeFolders(root, canonicalRoot, segments);
    if (!folder) {
        extraction.refusal = throughALink(entry);
        return false;
    }
    if (entry.folder)
        return true;

    const QString target = *folder + '/' + fileName;
    // Writing through a link would land wherever it points.
    if (QFileInfo(target).isSymLink()) {
        extraction.refusal = throughALink(entry);
        return false;
    }
    QSaveFile file(target);
    if (unzGoToFilePos64(archive, &entry.position) != UNZ_OK) {
        extraction.refusal = damaged(entry.name);
        return false;
    }
    if (!file.open(QIODevice::WriteOnly) || !copyEntry(archive, entry, file, extraction.refusal) || !file.commit())
        return false;
    extraction.files.append(target);
    return true;
}

} // namespace

bool extractZip(const QString& zipPath, const QString& folder, const ZipLimits& limits,
                ZipExtraction* extraction)
{
    ZipExtraction local;
    ZipExtraction& result = extraction ? *extraction : local;
    result = {};
    const Archive archive(unzOpen64(QFile::encodeName(zipPath).constData()));
    if (!archive)
        return false;
    const QString root = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const std::optional<std::vector<Entry>> entries = inventory(archive.get(), root, limits, result.refusal);
    if (!entries || !QDir().mkpath(root))
        return false;
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    for (const Entry& entry : *entries)
        if (!unpackEntry(archive.get(), entry, root, canonicalRoot, result))
            return false;
    return true;
}

namespace {

bool addFile(zipFile archive, const QString& path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray name = QFileInfo(path).fileName().toUtf8();
    const zip_fileinfo noDate{};
    const int zip64 = in.size() >= 0xffffffffLL ? 1 : 0;
    if (zipOpenNewFileInZip4_64(archive, name.constData(), &noDate, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr,
                                0, 0, kUtf8NameFlag, zip64)
        != ZIP_OK)
        return false;
    std::array<char, kBlockSize> block;
    qint64 read = 0;
    bool written = true;
    while (written && (read = in.read(block.data(), block.size())) > 0)
        written = zipWriteInFileInZip(archive, block.data(), unsigned(read)) == ZIP_OK;
    const bool closed = zipCloseFileInZip(archive) == ZIP_OK;
    return written && read == 0 && closed;
}

} // namespace

bool createZip(const QString& zipPath, const QList<QString>& files)
{
    zipFile archive = zipOpen64(QFile::encodeName(zipPath).constData(), APPEND_STATUS_CREATE);
    if (!archive)
        return false;
    bool added = true;
    for (const QString& file : files)
        if (!(added = addFile(archive, file)))
            break;
    const bool closed = zipClose(archive, nullptr) == ZIP_OK;
    if (added && closed)
        return true;
    QFile::remove(zipPath);
    return false;
}
