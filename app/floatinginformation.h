#pragma once

#include <QPoint>
#include <QWidget>

class QTextEdit;

// A small frameless note that floats above the main window and shows the
// position read-out while the profile is maximised. The user drags it with
// the left button anywhere on it, the text included.
class FloatingInformation : public QWidget
{
    Q_OBJECT

public:
    explicit FloatingInformation(QWidget* parent = nullptr);

    // Shows `html` and fits the height to it.
    void setText(const QString& html);

    // The text editor, for tests that read what it shows.
    QTextEdit* textEdit() const { return mText; }

public slots:
    // The document's height plus the margins, at most 600 px; a longer text
    // scrolls.
    void adjustHeightToContent();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mDragging = false;
    // The press's global position relative to the panel's frame corner.
    QPoint mDragOffset;
    QTextEdit* mText = nullptr;
    // The read-out shown, as handed over.
    QString mHtml;
};
