#pragma once

#include "userprompt.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace testkit {

// One dialog that the program asked for.
struct PromptRecord
{
    QString kind;   // "critical", "warning", "information", "question", "openFile",
                    // "saveFile", "directory", "text", "item", "integer", "real"
    QString title;  // the title or caption
    QString text;   // the message or the input label
    QString folder; // the start folder of a file dialog
    QString filter; // the filter of a file dialog
};

// Stands in for the real dialogs while it lives: notes every dialog the
// program asks for and answers from a script, so tests can assert exact titles
// and texts and no modal dialog ever blocks.
class PromptRecorder final : public UserPrompt
{
public:
    PromptRecorder();
    ~PromptRecorder() override;
    PromptRecorder(const PromptRecorder&) = delete;
    PromptRecorder& operator=(const PromptRecorder&) = delete;

    // Scripts the answer of the next dialog that asks something (messages
    // only get noted): a QMessageBox::StandardButton for a question, a QString
    // for a file or text dialog, an int or a double for a number. A null
    // QVariant cancels. Unscripted dialogs are cancelled (a question answers
    // No).
    void answer(const QVariant& value) { mAnswers.append(value); }

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

private:
    void note(PromptRecord record);
    // Notes the dialog and takes the next scripted answer.
    QVariant ask(PromptRecord record);

    QList<QVariant> mAnswers;
    QList<PromptRecord> mRecords;
};

} // namespace testkit
