#include "device/firmwareinfo.h"

#include "tessal/quelmdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

qint64 FirmwareInfo::sSizeLimit = 16 * 1024 * 1024;

namespace {

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Two hexadecimal digits of `text` from `position`; 0 when they are missing
// or not both hexadecimal digits (no sign, no space).
int hexByte(const QString& text, qsizetype position)
{
    const QString digits = text.mid(position, 2);
    if (digits.size() != 2 || !std::all_of(digits.begin(), digits.end(), isHexDigit))
        return 0;
    return digits.toInt(nullptr, 16);
}

// A name that, joined to a folder, stays a file of that folder.
bool isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control;
    });
}

} // namespace

void FirmwareInfo::setVersion(const QString& text)
{
    major = hexByte(text, 2);
    minor = hexByte(text, 4);
    patch = hexByte(text, 6);
    const int letterCode = hexByte(text, 8);
    letter = QChar(letterCode);
    bool readable = false;
    versionNumber = text.toInt(&readable, 16);
    if (!readable)
        versionNumber = 0;
    // The computer's own rule: no letter (nor its dot) for the code 0, so
    // that no NUL character reaches the text or the cache file name.
    versionText = QuelmData::firmwareVersionToString(quint32(major) << 24 | quint32(minor) << 16
                                                     | quint32(patch) << 8 | quint32(letterCode));
}

void FirmwareInfo::setDateTime(const QString& text)
{
    dateTime = text;
    dateTime.replace(QLatin1Char('T'), QLatin1Char('_'))
        .replace(QLatin1Char('Z'), QLatin1Char('_'))
        .replace(QLatin1Char(':'), QLatin1Char('-'));
}

void FirmwareInfo::setColor(const QString& text)
{
    if (text.isEmpty()) {
        color = Qt::white;
        return;
    }
    color = QColor(hexByte(text, 1), hexByte(text, 3), hexByte(text, 5), 255);
}

QString FirmwareInfo::getFileNameWithVersion() const
{
    const qsizetype end = file.indexOf(QLatin1String(".bin"));
    return end < 0 ? file : file.left(end);
}

QString FirmwareInfo::getShortFileName() const
{
    const qsizetype end = file.indexOf(QLatin1Char('.'));
    return end < 0 ? file : file.left(end);
}

QString FirmwareInfo::getBinaryFileName() const
{
    return file + QLatin1Char('-') + dateTime + QLatin1Char('-') + versionText + QLatin1String(".bin");
}

bool FirmwareInfo::hasPlainBinaryFileName() const
{
    return isPlainFileName(getBinaryFileName());
}

bool FirmwareInfo::loadBinaryFile(const std::filesystem::path& folder, bool cached)
{
    const QString name = cached ? getBinaryFileName() : file;
    if (!isPlainFileName(name))
        return false;
    const QString path = QDir(folder).filePath(name);
    // Only a regular file: reading a device or a pipe might never end.
    if (!QFileInfo(path).isFile())
        return false;
    QFile image(path);
    if (!image.open(QIODevice::ReadOnly) || image.size() > sSizeLimit)
        return false;
    const QByteArray bytes = image.read(sSizeLimit + 1);
    if (bytes.isEmpty() || bytes.size() > sSizeLimit || image.error() != QFileDevice::NoError)
        return false;
    binary = bytes;
    return true;
}
