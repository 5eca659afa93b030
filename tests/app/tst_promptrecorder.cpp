#include "promptrecorder.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDialog>

// The recorder that tests put in place of the real dialogs.
class PromptRecorderTest : public QObject
{
    Q_OBJECT

private slots:
    void standsInWhileItLives()
    {
        UserPrompt* before = &UserPrompt::current();
        {
            testkit::PromptRecorder recorder;
            QCOMPARE(&UserPrompt::current(), &recorder);
        }
        QCOMPARE(&UserPrompt::current(), before);
        QVERIFY(dynamic_cast<DialogUserPrompt*>(before));
    }

    void recordsAndAnswersInOrder()
    {
        testkit::PromptRecorder recorder;
        recorder.answer(QVariant::fromValue(QMessageBox::Yes));
        recorder.answer(QString("/tmp/dive.uddf"));
        recorder.answer(QString("Owner"));
        recorder.answer(12);
        UserPrompt& prompt = UserPrompt::current();
        prompt.critical(nullptr, "Database Error", "Impossible to open database");
        QCOMPARE(prompt.question(nullptr, "Stop ascent", "Are you sure to stop ascent?"),
                 QMessageBox::Yes);
        QCOMPARE(prompt.openFileName(nullptr, "Open Dive File", "/home", "Csv file (*.csv)"),
                 QString("/tmp/dive.uddf"));
        QCOMPARE(prompt.text(nullptr, "Set owner", "Owner name", QLineEdit::Normal, "x"),
                 std::optional<QString>("Owner"));
        QCOMPARE(prompt.integer(nullptr, "Depth", "Target depth", 0, 0, 60, 1), std::optional<int>(12));

        const QList<testkit::PromptRecord>& records = recorder.records();
        QCOMPARE(records.size(), 5);
        QCOMPARE(records.at(0).kind, QString("critical"));
        QCOMPARE(records.at(0).title, QString("Database Error"));
        QCOMPARE(records.at(0).text, QString("Impossible to open database"));
        QCOMPARE(records.at(1).kind, QString("question"));
        QCOMPARE(records.at(2).kind, QString("openFile"));
        QCOMPARE(records.at(2).folder, QString("/home"));
        QCOMPARE(records.at(2).filter, QString("Csv file (*.csv)"));
        QCOMPARE(records.at(3).text, QString("Owner name"));
    }

    void unscriptedDialogsAreCancelled()
    {
        testkit::PromptRecorder recorder;
        UserPrompt& prompt = UserPrompt::current();
        QCOMPARE(prompt.question(nullptr, "Replace dive", "Are you sure to replace current dive?"),
                 QMessageBox::No);
        QVERIFY(prompt.saveFileName(nullptr, "Save Plan", {}, {}).isEmpty());
        QVERIFY(prompt.existingDirectory(nullptr, "Folder", {}).isEmpty());
        QCOMPARE(prompt.item(nullptr, "t", "l", {"a", "b"}, 0, false), std::nullopt);
        QCOMPARE(prompt.real(nullptr, "t", "l", 1.0, 0.0, 2.0, 2), std::nullopt);
        recorder.answer(QVariant());
        QCOMPARE(prompt.text(nullptr, "t", "l", QLineEdit::Normal, {}), std::nullopt);
        QCOMPARE(recorder.records().size(), 6);
        QCOMPARE(prompt.color(nullptr, "Choose", Qt::white), std::nullopt);
        QDialog dialog;
        QCOMPARE(prompt.exec(dialog), int(QDialog::Rejected));
    }

    void dialogsRunTheirScript()
    {
        testkit::PromptRecorder recorder;
        QDialog dialog;
        dialog.setWindowTitle("Rename");
        QDialog* seen = nullptr;
        recorder.answerDialog([&](QDialog& shown) {
            seen = &shown;
            return int(QDialog::Accepted);
        });
        recorder.answer(QColor(1, 2, 3));
        UserPrompt& prompt = UserPrompt::current();
        QCOMPARE(prompt.exec(dialog), int(QDialog::Accepted));
        QCOMPARE(seen, &dialog);
        QCOMPARE(prompt.color(nullptr, "Choisir une couleur", Qt::white), std::optional<QColor>(QColor(1, 2, 3)));
        QCOMPARE(recorder.records().at(0).kind, QString("dialog"));
        QCOMPARE(recorder.records().at(0).title, QString("Rename"));
        QCOMPARE(recorder.records().at(1).kind, QString("color"));
        QCOMPARE(recorder.records().at(1).title, QString("Choisir une couleur"));
    }
};

MAREVANE_TEST_MAIN(PromptRecorderTest)
#include "tst_promptrecorder.moc"
