#include "planner/runtabledocument.h"

#include "planner/runtabletext.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// The position at the end of a block's text, before its separator.
int endOf(const QTextBlock& block)
{
    return block.position() + block.length() - 1;
}

// A cursor that selects the text of a block. It is put there by position: a
// cursor moved to the end of a block lays the document out up to it first,
// and the edit lays it out again anyway.
QTextCursor selectBlockText(const QTextBlock& block)
{
    QTextCursor cursor(block);
    cursor.setPosition(endOf(block), QTextCursor::KeepAnchor);
    return cursor;
}

// The paragraphs a table changed, parsed together in the head of the whole
// text, one block each, the last one followed by the table's tail when it
// ends the table.
class ParsedParagraphs
{
public:
    ParsedParagraphs(const QTextDocument& like, const QString& paragraphs, const QString& tail)
    {
        mDocument.setDefaultFont(like.defaultFont());
        mDocument.setDefaultStyleSheet(like.defaultStyleSheet());
        mDocument.setUndoRedoEnabled(false);
        mDocument.setHtml(RunTableText::head() + paragraphs
                          + (tail.isEmpty() ? QStringLiteral("</body></html>") : tail));
        mNext = mDocument.firstBlock();
    }

    // Puts the next parsed paragraph's formats and content where the cursor
    // selects. Its pieces of text go in one by one with their formats: a
    // document fragment put in would make the document scan all its frames.
    void putNext(QTextCursor& cursor)
    {
        cursor.setBlockFormat(mNext.blockFormat());
        cursor.setBlockCharFormat(mNext.charFormat());
        cursor.removeSelectedText();
        for (QTextBlock::iterator piece = mNext.begin(); !piece.atEnd(); ++piece)
            cursor.insertText(piece.fragment().text(), piece.fragment().charFormat());
        mNext = mNext.next();
    }

private:
    QTextDocument mDocument;
    QTextBlock mNext;
};

// Puts the next parsed paragraph in place of block `index`, or as a new block
// `index`.
void putBlock(QTextDocument& document, int index, bool inserted, ParsedParagraphs& parsed)
{
    QTextCursor cursor;
    if (inserted) {
        cursor = QTextCursor(&document);
        cursor.setPosition(endOf(document.findBlockByNumber(index - 1)));
        cursor.insertBlock();
    } else {
        cursor = selectBlockText(document.findBlockByNumber(index));
    }
    parsed.putNext(cursor);
}

// Paragraphs the table kept from the last one are the same strings.
bool sameText(const QString& shown, const QString& next)
{
    return shown.isSharedWith(next) || shown == next;
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
    while (prefix < common && sameText(mShown.at(prefix), next.at(prefix)))
        ++prefix;
    int suffix = 0;
    const auto fromEnd = [](const QStringList& list, int k) -> const QString& { return list.at(list.size() - 1 - k); };
    while (suffix < common - prefix && sameText(fromEnd(mShown, suffix), fromEnd(next, suffix)))
        ++suffix;
    const int shownEnd = int(mShown.size()) - suffix;
    const int nextEnd = int(next.size()) - suffix;
    // Blocks go in and out after the first one, which stays in every case.
    if (shownEnd != nextEnd && prefix == 0) {
        showWhole(table);
        return;
    }
    // The paragraphs to put in, in order: those replaced, then those inserted.
    const int both = std::min(shownEnd, nextEnd);
    QList<int> changed;
    for (int index = prefix; index < nextEnd; ++index) {
        if (index >= both || !sameText(mShown.at(index), next.at(index)))
            changed.append(index);
    }
    // One edit: the document lays the changed blocks out once, and every
    // edit costs a pass over the whole layout.
    QTextCursor edit(&mDocument);
    edit.beginEditBlock();
    if (!changed.isEmpty())
        putIn(table, changed, both);
    if (shownEnd > nextEnd)
        removeBlocks(nextEnd, shownEnd);
    edit.endEditBlock();
}

void RunTableDocument::putIn(const RunTableText& table, const QList<int>& changed, int firstInserted)
{
    const QStringList& next = table.paragraphs();
    QString text;
    for (int index : changed)
        text += next.at(index);
    ParsedParagraphs parsed(mDocument, text, changed.last() == next.size() - 1 ? table.tail() : QString());
    for (int index : changed)
        putBlock(mDocument, index, index >= firstInserted, parsed);
}

// Removes blocks first … end-1, first > 0.
void RunTableDocument::removeBlocks(int first, int end)
{
    QTextCursor cursor(&mDocument);
    cursor.setPosition(endOf(mDocument.findBlockByNumber(first - 1)));
    cursor.setPosition(endOf(mDocument.findBlockByNumber(end - 1)), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
