#include "userprompt.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>

namespace {

UserPrompt* gInstalled = nullptr;

// Turns the (value, ok) pair of the QInputDialog statics into an optional.
template <typename T>
std::optional<T> accepted(T value, bool ok)
{
    return ok ? std::optional<T>(std::move(value)) : std::nullopt;
}

} // namespace

UserPrompt::~UserPrompt() = default;

UserPrompt& UserPrompt::current()
{
    static DialogUserPrompt dialogs;
    return gInstalled ? *gInstalled : dialogs;
}

void UserPrompt::install(UserPrompt* prompt)
{
    gInstalled = prompt;
}

void DialogUserPrompt::critical(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::critical(parent, title, text);
}

void DialogUserPrompt::warning(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text);
}

void DialogUserPrompt::information(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text);
}

QMessageBox::StandardButton DialogUserPrompt::question(QWidget* parent, const QString& title,
                                                       const QString& text,
                                                       QMessageBox::StandardButtons buttons)
{
    return QMessageBox::question(parent, title, text, buttons);
}

QString DialogUserPrompt::openFileName(QWidget* parent, const QString& caption,
                                       const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString DialogUserPrompt::saveFileName(QWidget* parent, const QString& caption,
                                       const QString& folder, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

QString DialogUserPrompt::existingDirectory(QWidget* parent, const QString& caption,
                                            const QString& folder)
{
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

std::optional<QString> DialogUserPrompt::text(QWidget* parent, const QString& title,
                                              const QString& label, QLineEdit::EchoMode echo,
                                              const QString& preset)
{
    bool ok = false;
    QString value = QInputDialog::getText(parent, title, label, echo, preset, &ok);
    return accepted(std::move(value), ok);
}

std::optional<QString> DialogUserPrompt::item(QWidget* parent, const QString& title,
                                              const QString& label, const QStringList& items,
                                              int current, bool editable)
{
    bool ok = false;
    QString value = QInputDialog::getItem(parent, title, label, items, current, editable, &ok);
    return accepted(std::move(value), ok);
}

std::optional<int> DialogUserPrompt::integer(QWidget* parent, const QString& title,
                                             const QString& label, int preset, int minimum,
                                             int maximum, int step)
{
    bool ok = false;
    const int value = QInputDialog::getInt(parent, title, label, preset, minimum, maximum, step, &ok);
    return accepted(value, ok);
}

std::optional<double> DialogUserPrompt::real(QWidget* parent, const QString& title,
                                             const QString& label, double preset, double minimum,
                                             double maximum, int decimals)
{
    bool ok = false;
    const double value =
        QInputDialog::getDouble(parent, title, label, preset, minimum, maximum, decimals, &ok);
    return accepted(value, ok);
}

std::optional<QColor> DialogUserPrompt::color(QWidget* parent, const QString& title,
                                              const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent, title);
    return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
}

int DialogUserPrompt::exec(QDialog& dialog)
{
    return dialog.exec();
}
