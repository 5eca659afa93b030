#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How much one archive may unpack, so that a small archive cannot fill the
// disk.
struct ZipLimits
{
    qint64 maxEntrySize = qint64(1) << 30; // 1 GiB
    qint64 maxTotalSize = qint64(2) << 30; // 2 GiB in all
    // Folders count too; an installer archive holds a handful.
    int maxEntries = 1000;
};

// What an unpacking did.
struct ZipExtraction
{
    // The path of every file unpacked.
    QStringList files;
    // Why the archive was refused as unsafe or damaged, in words; empty when
    // it was not (it unpacked, or failed for another reason: not an archive,
    // nothing in it, a file that could not be written).
    QString refusal;
};

// Unpacks the ZIP archive `zipPath` into `folder` (created when missing):
// folder entries become folders, file entries files, replacing files of the
// same name. The whole archive is checked before anything is written: an entry
// whose name is absolute, holds a ".." segment or is longer than 511 bytes, a
// link or other special entry, an encrypted entry, an unknown compression
// method, sizes or an entry count above `limits` refuse the archive. While
// unpacking, a link already on an entry's path, a read error, data longer or
// shorter than declared or a CRC mismatch refuse it too; the entry under way
// leaves no file, entries unpacked before it stay. An archive without entries
// unpacks nothing and fails. What was unpacked, and why the archive was
// refused, go to `extraction`.
bool extractZip(const QString& zipPath, const QString& folder, const ZipLimits& limits = {},
                ZipExtraction* extraction = nullptr);

// Writes a new archive `zipPath` (replacing an existing file) holding each of
// `files` in order, under its file name alone (UTF-8), deflated at the default
// level, without date, extra field or comment. An empty list gives an empty
// archive. On failure no archive is left.
bool createZip(const QString& zipPath, const QList<QString>& files);
