#include "promptrecorder.h"

#include <QDialog>
#include <QEventLoop>
#include <QTimer>

namespace testkit {

namespace {

template <typename T>
std::optional<T> optionalAnswer(const QVariant& answer)
{
    return answer.isValid() ? std::optional<T>(answer.value<T>()) : std::nullopt;
}

// A real modal dialog runs an event loop of its own until it closes: what
// was posted before it opened (deferred deletes included) runs inside it.
void runModalLoop()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

PromptRecorder::PromptRecorder()
{
    UserPrompt::install(this);
}

PromptRecorder::~PromptRecorder()
{
    UserPrompt::install(nullptr);
}

void PromptRecorder::clear()
{
    mAnswers.clear();
    mRecords.clear();
}

void PromptRecorder::answerDialog(DialogScript script)
{
    mAnswers.append(QVariant::fromValue(std::move(script)));
}

void PromptRecorder::note(PromptRecord record)
{
    mRecords.append(std::move(record));
    runModalLoop();
}

QVariant PromptRecorder::ask(PromptRecord record)
{
    note(std::move(record));
    return mAnswers.isEmpty() ? QVariant() : mAnswers.takeFirst();
}

void PromptRecorder::critical(QWidget*, const QString& title, const QString& text)
{
    note({"critical", title, text, {}, {}});
}

void PromptRecorder::warning(QWidget*, const QString& title, const QString& text)
{
    note({"warning", title, text, {}, {}});
}

void PromptRecorder::information(QWidget*, const QString& title, const QString& text)
{
    note({"information", title, text, {}, {}});
}

QMessageBox::StandardButton PromptRecorder::question(QWidget*, const QString& title,
                                                     const QString& text,
                                                     QMessageBox::StandardButtons)
{
    const QVariant answer = ask({"question", title, text, {}, {}});
    return answer.isValid() ? answer.value<QMessageBox::StandardButton>() : QMessageBox::No;
}

QString PromptRecorder::openFileName(QWidget*, const QString& caption, const QString& folder,
                                     const QString& filter)
{
    return ask({"openFile", caption, {}, folder, filter}).toString();
}

QString PromptRecorder::saveFileName(QWidget*, const QString& caption, const QString& folder,
                                     const QString& filter)
{
    return ask({"saveFile", caption, {}, folder, filter}).toString();
}

QString PromptRecorder::existingDirectory(QWidget*, const QString& caption, const QString& folder)
{
    return ask({"directory", caption, {}, folder, {}}).toString();
}

std::optional<QString> PromptRecorder::text(QWidget*, const QString& title, const QString& label,
                                            QLineEdit::EchoMode, const QString&)
{
    return optionalAnswer<QString>(ask({"text", title, label, {}, {}}));
}

std::optional<QString> PromptRecorder::item(QWidget*, const QString& title, const QString& label,
                                            const QStringList&, int, bool)
{
    return optionalAnswer<QString>(ask({"item", title, label, {}, {}}));
}

std::optional<int> PromptRecorder::integer(QWidget*, const QString& title, const QString& label,
                                           int, int, int, int)
{
    return optionalAnswer<int>(ask({"integer", title, label, {}, {}}));
}

std::optional<double> PromptRecorder::real(QWidget*, const QString& title, const QString& label,
                                           double, double, double, int)
{
    return optionalAnswer<double>(ask({"real", title, label, {}, {}}));
}

std::optional<QColor> PromptRecorder::color(QWidget*, const QString& title, const QColor&)
{
    return optionalAnswer<QColor>(ask({"color", title, {}, {}, {}}));
}

int PromptRecorder::exec(QDialog& dialog)
{
    const QVariant answer = ask({"dialog", dialog.windowTitle(), {}, {}, {}});
    if (answer.canConvert<DialogScript>()) {
        const DialogScript script = answer.value<DialogScript>();
        if (script)
            return script(dialog);
    }
    return answer.isValid() ? answer.toInt() : int(QDialog::Rejected);
}

} // namespace testkit
