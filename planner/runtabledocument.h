#pragma once

#include <QStringList>

class QTextDocument;
class RunTableText;

// Shows run tables in a text document. Successive tables of a drag differ in
// a few rows, and parsing the whole text again costs most of a step of the
// drag: only the paragraphs that changed are parsed, together, and their
// blocks put in place of the blocks shown. The document then holds what
// parsing the whole text gives. Whenever the document changed since the last
// table (cleared, lines appended), the whole text is parsed again.
class RunTableDocument
{
public:
    explicit RunTableDocument(QTextDocument& document);

    void show(const RunTableText& table);

private:
    bool showsLastTable() const;
    void showWhole(const RunTableText& table);
    void showChanges(const RunTableText& table);
    // Puts the table's paragraphs `changed` in, ascending: those before
    // `firstInserted` in place of their blocks, the others as new blocks.
    void putIn(const RunTableText& table, const QList<int>& changed, int firstInserted);
    void removeBlocks(int first, int end);

    QTextDocument& mDocument;
    // The paragraphs shown and the document's revision once they were.
    QStringList mShown;
    int mShownRevision = -1;
};
