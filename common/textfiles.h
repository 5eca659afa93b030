#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file's content with `text` in UTF-8; false when the file cannot
// be opened or a write fails.
bool writeTextFile(const QString& path, const QString& text);
// Replaces the file's content with `bytes` as a whole: until every byte is
// written the file keeps its old content (or stays absent). False when the
// file cannot be written; `reason`, when given, then says why.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* reason = nullptr);
// Replaces `text` with the file's content; false (and `text` untouched) when
// the file cannot be opened.
bool loadTextFile(const QString& path, QString& text);
QString absoluteFilePath(const QString& path);
