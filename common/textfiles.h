#pragma once

#include <QString>

// Replaces the file's content with `text` in UTF-8; false when the file cannot
// be opened or a write fails.
bool writeTextFile(const QString& path, const QString& text);
// Replaces `text` with the file's content; false (and `text` untouched) when
// the file cannot be opened.
bool loadTextFile(const QString& path, QString& text);
QString absoluteFilePath(const QString& path);
