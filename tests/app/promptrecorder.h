#pragma once

#include "userprompt.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

namespace testkit {

// One dialog that the program asked for.
struct PromptRecord
{
    QString kind;   // "critical", "warning", "information", "question", "openFile",
                    // "saveFile", "directory", "text", "item", "integer", "real",
                    // "color", "dialog"
    QString title;  // the title or caption (a dialog's window title)
    QString text;   // the message or the input label
    QString folder; // the start folder of a file dialog
    QString filter; // the filter of a file dialog
};

// What a test does with one of the program's own dialogs in place of the
// person: fills in or reads its widgets and returns the dialog's result
// (QDialog::Accepted or QDialog::Rejected).
using DialogScript = std::function<int(QDialog&)>;

// Stands in for the real dialogs while it lives: notes every dialog the
// program asks for and answers from a script, so tests can assert exact titles
// and texts and no modal dialog ever blocks. Like a real modal dialog, each
// one runs a nested event loop before it answers.
class PromptRecorder final : public UserPrompt
{
public:
    PromptRecorder();
    ~PromptRecorder() override;
    PromptRecorder(const PromptRecorder&) = delete;
    PromptRecorder& operator=(const PromptRecorder&) = delete;

    // Scripts the answer of the next dialog that asks something (messages
    // only get noted): a QMessageBox::StandardButton for a question, a QString
    // for a file or text dialog, an int or a double for a number, a QColor
    // for a colour. A null QVariant cancels. Unscripted dialogs are cancelled
    // (a question answers No, a dialog is rejected).
    void answer(const QVariant& value) { mAnswers.append(value); }
    // Scripts what happens in the next of the program's own dialogs.
    void answerDialog(DialogScript script);

    const QList<PromptRecord>& records() const { return mRecords; }
    void clear();

    void critical(QWidget* parent, const QString& title, const QString& text) override;
    void warning(QWidget* parent, const QString& title, const QString& text) override;
    void information(QWidget* parent, const QString& title, const QString& text) override;
    QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons) override;

    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString existingDirectory(QWidget* parent, const QString& caption,
                              const QString& folder) override;

    std::optional<QString> text(QWidget* parent, const QString& title, const QString& label,
                                QLineEdit::EchoMode echo, const QString& preset) override;
    std::optional<QString> item(QWidget* parent, const QString& title, const QString& label,
                                const QStringList& items, int current, bool editable) override;
    std::optional<int> integer(QWidget* parent, const QString& title, const QString& label,
                               int preset, int minimum, int maximum, int step) override;
    std::optional<double> real(QWidget* parent, const QString& title, const QString& label,
                               double preset, double minimum, double maximum,
                               int decimals) override;
    std::optional<QColor> color(QWidget* parent, const QString& title,
                                const QColor& initial) override;
    int exec(QDialog& dialog) override;

private:
    void note(PromptRecord record);
    // Notes the dialog and takes the next scripted answer.
    QVariant ask(PromptRecord record);

    QList<QVariant> mAnswers;
    QList<PromptRecord> mRecords;
};

} // namespace testkit

Q_DECLARE_METATYPE(testkit::DialogScript)
