#pragma once

#include <QByteArray>
#include <QChar>
#include <QColor>
#include <QString>
#include <QtGlobal>

#include <filesystem>

// One firmware of the repository's table of contents, with the names under
// which its image is cached on disk and handed to the computer.
struct FirmwareInfo
{
    // The largest image the program takes, from the repository or from
    // disk; no reply of the repository may be larger either.
    static qint64 sSizeLimit;

    // "File" of the table.
    QString file;
    // "2.0.11.a", or "2.0.11" for the letter code 0.
    QString versionText;
    // The whole "Version" text read as a hexadecimal number.
    int versionNumber = 0;
    QString description;
    // The row colour; invalid until set.
    QColor color;
    // "DateTime" of the table, made file-name safe.
    QString dateTime;
    // Where the image is downloaded from; empty until the repository listing
    // gives an address that may be used.
    QString downloadUrl;
    int major = 0;
    int minor = 0;
    int patch = 0;
    QChar letter = QLatin1Char('0');
    // The loaded image.
    QByteArray binary;

    // "Version": a two-character prefix, then two hexadecimal digits each
    // for major, minor, patch and the letter's character code. Unreadable
    // parts read as 0.
    void setVersion(const QString& text);
    // Every "T" and "Z" becomes "_" and every ":" "-".
    void setDateTime(const QString& text);
    // "#rrggbb"; an empty text gives white.
    void setColor(const QString& text);

    // `file` up to the first ".bin", the name handed to the computer; the
    // whole name when it has none.
    QString getFileNameWithVersion() const;
    // `file` up to its first "."; the whole name when it has none.
    QString getShortFileName() const;
    // The cache file name: file-dateTime-versionText.bin.
    QString getBinaryFileName() const;
    // Whether the cache file name is one plain file name of the folder it is
    // joined to: no "/", "\" or control character in it.
    bool hasPlainBinaryFileName() const;

    // Reads the file of `folder` named getBinaryFileName() when `cached`,
    // else `file`, into `binary`. False, with `binary` unchanged, when the
    // name is not one plain file name or the file cannot be read, is empty
    // or is larger than the size limit.
    bool loadBinaryFile(const std::filesystem::path& folder, bool cached);
};
