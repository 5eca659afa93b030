#include "planner/runtabledocument.h"

#include "planner/runtabletext.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>

namespace {

// A paragraph parsed alone, in the same head and tail as in the whole text.
class ParsedParagraph
{
public:
    ParsedParagraph(const QTextDocument& like, const QString& paragraph, const QString& tail)
    {
        mDocument.setDefaultFont(like.defaultFont());
        mDocument.setDefaultStyleSheet(like.defaultStyleSheet());
        mDocument.setHtml(RunTableText::head() + paragraph + (tail.isEmpty() ? QStringLiteral("</body></html>") : tail));
    }

    QTextBlock block() const { return mDocument.firstBlock(); }

    QTextDocumentFragment content() const
    {
        QTextCursor cursor(block());
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        return QTextDocumentFragment(cursor);
    }

private:
    QTextDocument mDocument;
};

void putContent(QTextCursor& cursor, const ParsedParagraph& parsed)
{
    cursor.setBlockFormat(parsed.block().blockFormat());
    cursor.setBlockCharFormat(parsed.block().charFormat());
    cursor.insertFragment(parsed.content());
}

} // namespace

RunTableDocument::RunTableDocument(QTextDocument& document)
    : mDocument(document)
{
    // A read-only pane: the edits below are no one's to undo.
    mDocument.setUndoRedoEnabled(false);
}

void RunTableDocument::show(const RunTableText& table)
{
    if (showsLastTable() && !table.paragraphs().isEmpty())
        showChanges(table);
    else
        showWhole(table);
    mShown = table.paragraphs();
    mShownRevision = mDocument.revision();
}

bool RunTableDocument::showsLastTable() const
{
    return !mShown.isEmpty() && mDocument.revision() == mShownRevision && mDocument.blockCount() == mShown.size();
}

void RunTableDocument::showWhole(const RunTableText& table)
{
    mDocument.setHtml(table.html());
}

void RunTableDocument::showChanges(const RunTableText& table)
{
    const QStringList& next = table.paragraphs();
    const int common = int(std::min(mShown.size(), next.size()));
    int prefix = 0;
    while (prefix < common && mShown.at(prefix) == next.at(prefix))
        ++prefix;
    int suffix = 0;
    while (suffix < common - prefix && mShown.at(mShown.size() - 1 - suffix) == next.at(next.size() - 1 - suffix))
        ++suffix;
    const int shownEnd = int(mShown.size()) - suffix;
    const int nextEnd = int(next.size()) - suffix;
    // Blocks go in and out after the first one, which stays in every case.
    if (shownEnd != nextEnd && prefix == 0) {
        showWhole(table);
        return;
    }
    const auto tailOf = [&](int index) { return index == next.size() - 1 ? table.tail() : QString(); };

    QTextCursor edit(&mDocument);
    edit.beginEditBlock();
    const int both = std::min(shownEnd, nextEnd);
    for (int index = prefix; index < both; ++index) {
        if (mShown.at(index) != next.at(index))
            replaceBlock(index, next.at(index), tailOf(index));
    }
    for (int index = both; index < nextEnd; ++index)
        insertBlockAfter(index - 1, next.at(index), tailOf(index));
    if (shownEnd > nextEnd)
        removeBlocks(nextEnd, shownEnd);
    edit.endEditBlock();
}

void RunTableDocument::replaceBlock(int block, const QString& paragraph, const QString& tail)
{
    const ParsedParagraph parsed(mDocument, paragraph, tail);
    QTextCursor cursor(mDocument.findBlockByNumber(block));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    putContent(cursor, parsed);
}

void RunTableDocument::insertBlockAfter(int block, const QString& paragraph, const QString& tail)
{
    const ParsedParagraph parsed(mDocument, paragraph, tail);
    QTextCursor cursor(mDocument.findBlockByNumber(block));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertBlock(parsed.block().blockFormat(), parsed.block().charFormat());
    putContent(cursor, parsed);
}

// Removes blocks first … end-1, first > 0.
void RunTableDocument::removeBlocks(int first, int end)
{
    QTextCursor cursor(mDocument.findBlockByNumber(first - 1));
    cursor.movePosition(QTextCursor::EndOfBlock);
    const QTextBlock last = mDocument.findBlockByNumber(end - 1);
    cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
