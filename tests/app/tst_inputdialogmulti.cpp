#include "inputdialogmulti.h"
#include "promptrecorder.h"
#include "testenvironment.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <functional>

namespace {

// Adds one field to a dialog, as a caller of the dialog does.
using FieldMaker = std::function<InputDialogMultiField*(InputDialogMulti&)>;
// Changes an editor, as the person in front of the dialog does.
using EditorEdit = std::function<void(QWidget*)>;

constexpr int kOtherItem = 5;
constexpr int kNoColorItem = 6;

// Chooses an item from the list, as the combo's pop-up does.
void activate(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// The field's value read with the accessor of its kind.
QVariant typedValue(const InputDialogMulti& dialog, int index, int type)
{
    switch (type) {
    case InputDialogMultiField::Double:
        return dialog.value<double>(index);
    case InputDialogMultiField::Int:
        return dialog.value<int>(index);
    case InputDialogMultiField::Bool:
        return dialog.value<bool>(index);
    case InputDialogMultiField::String:
        return dialog.value<QString>(index);
    case InputDialogMultiField::Color:
        return dialog.value<QColor>(index);
    }
    return {};
}

// Builds the dialog without showing it: the unscripted run is cancelled.
void build(InputDialogMulti& dialog)
{
    QCOMPARE(dialog.Exec(), int(QDialog::Rejected));
}

QDialog* dialogOf(const InputDialogMultiField* field)
{
    return qobject_cast<QDialog*>(field->editor()->window());
}

QCheckBox* enablingCheckBox(const InputDialogMultiField* field)
{
    for (QCheckBox* box : dialogOf(field)->findChildren<QCheckBox*>()) {
        if (box != field->editor())
            return box;
    }
    return nullptr;
}

} // namespace

Q_DECLARE_METATYPE(FieldMaker)
Q_DECLARE_METATYPE(EditorEdit)

class InputDialogMultiTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { mPrompts.clear(); }

    void valuesReadBackByIndex_data()
    {
        QTest::addColumn<FieldMaker>("make");
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("initial");
        QTest::addColumn<EditorEdit>("edit");
        QTest::addColumn<QVariant>("edited");

        QTest::newRow("double")
            << FieldMaker([](InputDialogMulti& d) {
                   return d.addDoubleField("Rate", 1, 1.0, 30.0, 0.5, 9.5);
               })
            << int(InputDialogMultiField::Double) << QVariant(9.5)
            << EditorEdit([](QWidget* e) { static_cast<QAbstractSpinBox*>(e)->stepBy(3); })
            << QVariant(11.0);
        QTest::newRow("int")
            << FieldMaker([](InputDialogMulti& d) { return d.addIntField("Depth", 0, 60, 3, 12); })
            << int(InputDialogMultiField::Int) << QVariant(12)
            << EditorEdit([](QWidget* e) { static_cast<QAbstractSpinBox*>(e)->stepBy(-2); })
            << QVariant(6);
        QTest::newRow("bool")
            << FieldMaker([](InputDialogMulti& d) { return d.addBoolField("Safety stop", true); })
            << int(InputDialogMultiField::Bool) << QVariant(true)
            << EditorEdit([](QWidget* e) { static_cast<QCheckBox*>(e)->click(); })
            << QVariant(false);
        QTest::newRow("string")
            << FieldMaker([](InputDialogMulti& d) { return d.addStringField("Name", "Reef"); })
            << int(InputDialogMultiField::String) << QVariant(QString("Reef"))
            << EditorEdit([](QWidget* e) { static_cast<QLineEdit*>(e)->setText("Wreck 2"); })
            << QVariant(QString("Wreck 2"));
        QTest::newRow("colour")
            << FieldMaker([](InputDialogMulti& d) { return d.addColorField("Colour", Qt::green); })
            << int(InputDialogMultiField::Color) << QVariant(QColor(Qt::green))
            << EditorEdit([](QWidget* e) { activate(static_cast<QComboBox*>(e), 2); })
            << QVariant(QColor(Qt::blue));
    }

    // Each kind gives its own value before the dialog is built and the
    // edited one after it ran, and keeps it for the next run.
    void valuesReadBackByIndex()
    {
        QFETCH(FieldMaker, make);
        QFETCH(int, type);
        QFETCH(QVariant, initial);
        QFETCH(EditorEdit, edit);
        QFETCH(QVariant, edited);

        InputDialogMulti dialog("Store dive", nullptr);
        dialog.addStringField("Before", "x");
        InputDialogMultiField* field = make(dialog);
        QCOMPARE(field->type(), type);
        QCOMPARE(typedValue(dialog, 1, type), initial);

        mPrompts.answerDialog([&](QDialog&) {
            edit(field->editor());
            return int(QDialog::Accepted);
        });
        QCOMPARE(dialog.Exec(), int(QDialog::Accepted));
        QCOMPARE(typedValue(dialog, 1, type), edited);
        build(dialog);
        QCOMPARE(typedValue(dialog, 1, type), edited);
        QCOMPARE(dialog.value<QString>(0), QString("x"));
    }

    void colourItems()
    {
        InputDialogMulti dialog("Gas", nullptr);
        InputDialogMultiField* field = dialog.addColorField("Colour", Qt::red);
        build(dialog);
        auto* box = qobject_cast<QComboBox*>(field->editor());
        QVERIFY(box);
        QStringList names;
        for (int i = 0; i < box->count(); ++i)
            names << box->itemText(i);
        QCOMPARE(names, QStringList({"Rouge", "Vert", "Bleu", "Jaune", "Orange", "Autre...",
                                     "Sans couleur"}));
        QCOMPARE(box->itemData(3).value<QColor>(), QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(box->itemData(4).value<QColor>(), QColor(0xFF, 0xA5, 0x00));
        QVERIFY(!box->itemData(kOtherItem).value<QColor>().isValid());
        QCOMPARE(box->itemData(kNoColorItem).value<QColor>(), QColor(Qt::transparent));
        QCOMPARE(box->itemIcon(0).pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    }

    void colourSelectsItsItem_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<int>("item");

        QTest::newRow("named") << QColor(Qt::blue) << 2;
        QTest::newRow("orange") << QColor("#FFA500") << 4;
        QTest::newRow("transparent") << QColor(Qt::transparent) << kNoColorItem;
        QTest::newRow("other") << QColor(1, 2, 3) << kOtherItem;
    }

    void colourSelectsItsItem()
    {
        QFETCH(QColor, color);
        QFETCH(int, item);

        InputDialogMulti dialog("Gas", nullptr);
        InputDialogMultiField* field = dialog.addColorField("Colour", color);
        build(dialog);
        auto* box = qobject_cast<QComboBox*>(field->editor());
        QCOMPARE(box->currentIndex(), item);
        QCOMPARE(box->currentData().value<QColor>(), color);
        QCOMPARE(box->itemIcon(item).pixmap(16, 16).toImage().pixelColor(8, 8), color);
        QCOMPARE(dialog.value<QColor>(0), color);
    }

    void choosingAColour_data()
    {
        QTest::addColumn<QColor>("before");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QVariant>("answer"); // of the colour dialog; none when not asked
        QTest::addColumn<int>("item");
        QTest::addColumn<QColor>("after");

        QTest::newRow("named") << QColor(Qt::red) << 1 << QVariant() << 1 << QColor(Qt::green);
        QTest::newRow("other chosen") << QColor(Qt::red) << kOtherItem
                                      << QVariant(QColor(10, 20, 30)) << kOtherItem
                                      << QColor(10, 20, 30);
        QTest::newRow("other cancelled") << QColor(Qt::red) << kOtherItem << QVariant() << 0
                                         << QColor(Qt::red);
        QTest::newRow("other without colour")
            << QColor(Qt::red) << kOtherItem << QVariant(QColor()) << 0 << QColor(Qt::red);
        QTest::newRow("other cancelled keeps other")
            << QColor(1, 2, 3) << kOtherItem << QVariant() << kOtherItem << QColor(1, 2, 3);
        QTest::newRow("no colour") << QColor(Qt::red) << kNoColorItem << QVariant() << kOtherItem
                                   << QColor(Qt::transparent);
    }

    void choosingAColour()
    {
        QFETCH(QColor, before);
        QFETCH(int, chosen);
        QFETCH(QVariant, answer);
        QFETCH(int, item);
        QFETCH(QColor, after);

        InputDialogMulti dialog("Gas", nullptr);
        InputDialogMultiField* field = dialog.addColorField("Colour", before);
        build(dialog);
        auto* box = qobject_cast<QComboBox*>(field->editor());
        mPrompts.clear();
        mPrompts.answer(answer);
        activate(box, chosen);

        QCOMPARE(box->currentIndex(), item);
        QCOMPARE(dialog.value<QColor>(0), after);
        QCOMPARE(box->itemIcon(item).pixmap(16, 16).toImage().pixelColor(8, 8), after);
        const bool asked = chosen == kOtherItem;
        QCOMPARE(mPrompts.records().size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(mPrompts.records().first().kind, QString("color"));
            QCOMPARE(mPrompts.records().first().title, QString("Choisir une couleur"));
        }
    }

    // A cancelled choice goes back to the colour chosen last, not to the
    // field's first one.
    void cancelledColourKeepsTheLastChoice()
    {
        InputDialogMulti dialog("Gas", nullptr);
        InputDialogMultiField* field = dialog.addColorField("Colour", Qt::red);
        build(dialog);
        auto* box = qobject_cast<QComboBox*>(field->editor());
        activate(box, 3);
        activate(box, kOtherItem);
        QCOMPARE(box->currentIndex(), 3);
        QCOMPARE(dialog.value<QColor>(0), QColor(0xFF, 0xFF, 0x00));
    }

    void checkBoxEnablesTheEditor_data()
    {
        QTest::addColumn<bool>("hasCheckBox");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("fieldEnabled");
        QTest::addColumn<bool>("editorEnabled");

        QTest::newRow("no check box") << false << false << true << true;
        QTest::newRow("unchecked") << true << false << true << false;
        QTest::newRow("checked") << true << true << true << true;
        QTest::newRow("disabled field") << false << false << false << false;
        QTest::newRow("disabled field, checked") << true << true << false << false;
    }

    void checkBoxEnablesTheEditor()
    {
        QFETCH(bool, hasCheckBox);
        QFETCH(bool, checked);
        QFETCH(bool, fieldEnabled);
        QFETCH(bool, editorEnabled);

        InputDialogMulti dialog("Ascent", nullptr);
        InputDialogMultiField* field = dialog.addIntField("Speed", 1, 20, 1, 10);
        if (hasCheckBox)
            field->AddCheckBox(checked);
        field->setEnabled(fieldEnabled);
        build(dialog);
        QCOMPARE(field->editor()->isEnabled(), editorEnabled);
        const QList<QLabel*> labels = dialogOf(field)->findChildren<QLabel*>();
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first()->text(), QString("Speed"));
        QCOMPARE(labels.first()->isEnabled(), fieldEnabled);
        QCheckBox* box = enablingCheckBox(field);
        QCOMPARE(box != nullptr, hasCheckBox);
        if (box) {
            QCOMPARE(box->isChecked(), checked);
            QVERIFY(box->text().isEmpty());
        }
    }

    void clickingTheCheckBoxEnablesTheEditor()
    {
        InputDialogMulti dialog("Ascent", nullptr);
        InputDialogMultiField* field = dialog.addStringField("Name", "Reef");
        field->AddCheckBox(false);
        build(dialog);
        QCheckBox* box = enablingCheckBox(field);
        QVERIFY(box);
        box->click();
        QVERIFY(field->isChecked());
        QVERIFY(field->editor()->isEnabled());
        box->click();
        QVERIFY(!field->isChecked());
        QVERIFY(!field->editor()->isEnabled());
    }

    void spinBoxesKeepToTheirRange_data()
    {
        QTest::addColumn<FieldMaker>("make");
        QTest::addColumn<double>("shown");
        QTest::addColumn<double>("stepDown");

        QTest::newRow("double above maximum")
            << FieldMaker([](InputDialogMulti& d) {
                   return d.addDoubleField("Rate", 2, 0.0, 10.0, 0.5, 12.0);
               })
            << 10.0 << 9.5;
        QTest::newRow("double rounded to its decimals")
            << FieldMaker([](InputDialogMulti& d) {
                   return d.addDoubleField("Rate", 2, 0.0, 10.0, 0.5, 3.14159);
               })
            << 3.14 << 2.64;
        QTest::newRow("int below minimum")
            << FieldMaker([](InputDialogMulti& d) { return d.addIntField("Depth", 3, 60, 3, 1); })
            << 3.0 << 3.0;
    }

    void spinBoxesKeepToTheirRange()
    {
        QFETCH(FieldMaker, make);
        QFETCH(double, shown);
        QFETCH(double, stepDown);

        InputDialogMulti dialog("Ascent", nullptr);
        InputDialogMultiField* field = make(dialog);
        build(dialog);
        QCOMPARE(dialog.value<double>(0), shown);
        static_cast<QAbstractSpinBox*>(field->editor())->stepBy(-1);
        QCOMPARE(dialog.value<double>(0), stepDown);
    }

    void fieldsByLabel()
    {
        InputDialogMulti dialog("Store dive", nullptr);
        InputDialogMultiField* first = dialog.addStringField("Name", "a");
        dialog.addIntField("Name", 0, 9, 1, 2);
        QCOMPARE(dialog["Name"], first);
        QCOMPARE(dialog["name"], nullptr);
        QCOMPARE(dialog["Site"], nullptr);
    }

    // A field added once the dialog is built is not shown but keeps its value.
    void fieldAddedAfterTheFirstRun()
    {
        InputDialogMulti dialog("Store dive", nullptr);
        dialog.addStringField("Name", "Reef");
        build(dialog);
        InputDialogMultiField* late = dialog.addIntField("Depth", 0, 60, 1, 18);
        dialog.addColorField("Colour", QColor(1, 2, 3));
        build(dialog);
        QCOMPARE(late->editor(), nullptr);
        QCOMPARE(dialog.value<int>(1), 18);
        QCOMPARE(dialog.value<QColor>(2), QColor(1, 2, 3));
    }

    void indexWithoutField_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("negative") << -1;
        QTest::newRow("one past the end") << 1;
        QTest::newRow("far") << 1000;
    }

    void indexWithoutField()
    {
        QFETCH(int, index);
        InputDialogMulti dialog("Store dive", nullptr);
        dialog.addIntField("Depth", 0, 60, 1, 18);
        QCOMPARE(dialog.AddField(nullptr), nullptr);
        build(dialog);
        QCOMPARE(dialog.value<int>(index), 0);
        QCOMPARE(dialog.value<double>(index), 0.0);
        QCOMPARE(dialog.value<bool>(index), false);
        QCOMPARE(dialog.value<QString>(index), QString());
        QVERIFY(!dialog.value<QColor>(index).isValid());
    }

    void widgetChangedNamesTheField()
    {
        InputDialogMulti dialog("Ascent", nullptr);
        dialog.addStringField("Name", "Reef");
        InputDialogMultiField* depth = dialog.addIntField("Depth", 0, 60, 1, 18);
        build(dialog);
        dialog.addBoolField("Later", false);
        QSignalSpy changed(&dialog, &InputDialogMulti::fieldChanged);

        dialog.WidgetChanged(depth->editor());
        QWidget stranger;
        dialog.WidgetChanged(&stranger);
        dialog.WidgetChanged(nullptr);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().toInt(), 1);
    }

    void clickOnABoolFieldTellsItsIndex()
    {
        InputDialogMulti dialog("Ascent", nullptr);
        dialog.addStringField("Name", "Reef");
        dialog.addBoolField("Deco", false);
        InputDialogMultiField* stop = dialog.addBoolField("Stop", false);
        build(dialog);
        QSignalSpy changed(&dialog, &InputDialogMulti::fieldChanged);
        static_cast<QCheckBox*>(stop->editor())->click();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().toInt(), 2);
    }

    // The dialog is built once: a second run shows the same dialog with what
    // the first run left in it; its buttons accept and reject.
    void runsTheDialogBuiltOnce()
    {
        InputDialogMulti dialog("Rename", nullptr);
        InputDialogMultiField* name = dialog.addStringField("Name", "Reef");
        QDialog* first = nullptr;
        mPrompts.answerDialog([&](QDialog& shown) {
            first = &shown;
            static_cast<QLineEdit*>(name->editor())->setText("Wreck");
            clickButton(shown, "Ok");
            return shown.result();
        });
        QCOMPARE(dialog.Exec(), int(QDialog::Accepted));
        QVERIFY(first);
        QCOMPARE(mPrompts.records().last().title, QString("Rename"));

        dialog.addStringField("Site", "Cove");
        QDialog* second = nullptr;
        qsizetype lineEdits = 0;
        QString shownName;
        mPrompts.answerDialog([&](QDialog& shown) {
            second = &shown;
            lineEdits = shown.findChildren<QLineEdit*>().size();
            shownName = static_cast<QLineEdit*>(name->editor())->text();
            clickButton(shown, "Cancel");
            return shown.result();
        });
        QCOMPARE(dialog.Exec(), int(QDialog::Rejected));
        QCOMPARE(second, first);
        QCOMPARE(lineEdits, 1);
        QCOMPARE(shownName, QString("Wreck"));
        QCOMPARE(dialog.value<QString>(0), QString("Wreck"));
        QCOMPARE(dialog.value<QString>(1), QString("Cove"));
    }

    void buttonsCarryTheirIcons()
    {
        InputDialogMulti::sOkIcon = ":/TestGraphics/icons/ok.png";
        InputDialogMulti dialog("Rename", nullptr);
        InputDialogMultiField* name = dialog.addStringField("Name", "Reef");
        build(dialog);
        for (QPushButton* button : dialogOf(name)->findChildren<QPushButton*>())
            QCOMPARE(button->icon().isNull(), button->text() != "Ok");
        InputDialogMulti::sOkIcon.clear();
    }

private:
    static void clickButton(QDialog& dialog, const QString& text)
    {
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->text() == text)
                button->click();
        }
    }

    testkit::PromptRecorder mPrompts;
};

MAREVANE_TEST_MAIN(InputDialogMultiTest)
#include "tst_inputdialogmulti.moc"
