#pragma once

#include <QStringList>

class QTextDocument;
class RunTableText;

// Shows run tables in a text document. Successive tables of a drag differ in
// a few rows, and parsing the whole text again costs most of a step of the
// drag: only the paragraphs that changed are parsed, each alone, and put in
// place of their blocks. The document then holds what parsing the whole text
// gives. Whenever the document changed since the last table (cleared, lines
// appended), the whole text is parsed again.
class RunTableDocument
{
public:
    explicit RunTableDocument(QTextDocument& document);

    void show(const RunTableText& table);

private:
    bool showsLastTable() const;
    void showWhole(const RunTableText& table);
    void showChanges(const RunTableText& table);
    void replaceBlock(int block, const QString& paragraph, const QString& tail);
    void insertBlockAfter(int block, const QString& paragraph, const QString& tail);
    void removeBlocks(int first, int end);

    QTextDocument& mDocument;
    // The paragraphs shown and the document's revision once they were.
    QStringList mShown;
    int mShownRevision = -1;
};
