#pragma once

#include <QColor>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

// Every message box, file dialog, standard input dialog and modal dialog of
// the program goes through the current UserPrompt instead of the static
// functions of QMessageBox, QFileDialog, QInputDialog and QColorDialog and of
// QDialog::exec. The program runs on the default
// prompt, which shows the real dialogs; tests install a recorder that notes
// each title and text and answers from a script, so that no modal dialog ever
// waits for a person.
class UserPrompt
{
public:
    virtual ~UserPrompt();

    // The prompt in use: the installed one, else the default one.
    static UserPrompt& current();
    // Makes `prompt` the current one (not owned); null restores the default.
    static void install(UserPrompt* prompt);

    virtual void critical(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    // Returns the button that closed the box.
    virtual QMessageBox::StandardButton
    question(QWidget* parent, const QString& title, const QString& text,
             QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No) = 0;

    // The chosen path, or an empty string when the dialog was cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString existingDirectory(QWidget* parent, const QString& caption,
                                      const QString& folder) = 0;

    // The accepted value, or nothing when the dialog was cancelled.
    virtual std::optional<QString> text(QWidget* parent, const QString& title, const QString& label,
                                        QLineEdit::EchoMode echo, const QString& preset) = 0;
    virtual std::optional<QString> item(QWidget* parent, const QString& title, const QString& label,
                                        const QStringList& items, int current, bool editable) = 0;
    virtual std::optional<int> integer(QWidget* parent, const QString& title, const QString& label,
                                       int preset, int minimum, int maximum, int step) = 0;
    virtual std::optional<double> real(QWidget* parent, const QString& title, const QString& label,
                                       double preset, double minimum, double maximum,
                                       int decimals) = 0;
    // The chosen colour, or nothing when the dialog was cancelled.
    virtual std::optional<QColor> color(QWidget* parent, const QString& title,
                                        const QColor& initial) = 0;

    // Runs one of the program's own dialogs modally and returns its result
    // (QDialog::Accepted or QDialog::Rejected).
    virtual int exec(QDialog& dialog) = 0;
};

// The real dialogs.
class DialogUserPrompt final : public UserPrompt
{
public:
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
};
