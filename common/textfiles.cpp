#include "common/textfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

bool writeTextFile(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);
    stream << text;
    stream.flush();
    const bool written = stream.status() == QTextStream::Ok && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* reason)
{
    // A device or a pipe cannot be replaced by a new file: renaming one over
    // it would take its place. It is written to directly.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        QFile device(path);
        if (device.open(QIODevice::WriteOnly) && device.write(bytes) == bytes.size() && device.flush())
            return true;
        if (reason)
            *reason = device.errorString();
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}

bool loadTextFile(const QString& path, QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);
    text = stream.readAll();
    return true;
}

QString absoluteFilePath(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}
