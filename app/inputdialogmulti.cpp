#include "inputdialogmulti.h"

#include "userprompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>

#include <optional>
#include <utility>

namespace {

constexpr int kEditorMinimumWidth = 80;
constexpr int kLabelMinimumWidth = 100;
constexpr int kSwatchSize = 16;

// The colour items that are not fixed colours.
constexpr int kOtherColorItem = 5;
constexpr int kNoColorItem = 6;

// The range goes first, so that a value outside it shows as the nearest bound.
template <typename SpinBox, typename Number>
void setUpSpinBox(SpinBox& box, Number minimum, Number maximum, Number step, Number value)
{
    box.setMinimumWidth(kEditorMinimumWidth);
    box.setMinimum(minimum);
    box.setMaximum(maximum);
    box.setValue(value);
    box.setSingleStep(step);
}

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(kSwatchSize, kSwatchSize);
    pixmap.fill(color);
    return QIcon(pixmap);
}

void setItemColor(QComboBox& box, int index, const QColor& color)
{
    box.setItemIcon(index, swatch(color));
    box.setItemData(index, color);
}

// Selects the first item of that colour; a colour without an item goes to
// "Autre...".
void selectColor(QComboBox& box, const QColor& color)
{
    int index = box.findData(color);
    if (index < 0) {
        setItemColor(box, kOtherColorItem, color);
        index = kOtherColorItem;
    }
    box.setCurrentIndex(index);
}

QComboBox* makeColorBox(QWidget* parent)
{
    // These names are French in every language.
    const std::pair<const char*, QColor> items[] = {
        {"Rouge", Qt::red},
        {"Vert", Qt::green},
        {"Bleu", Qt::blue},
        {"Jaune", QColor(0xFF, 0xFF, 0x00)},
        {"Orange", QColor(0xFF, 0xA5, 0x00)},
        {"Autre...", QColor()}, // no colour chosen yet
        {"Sans couleur", Qt::transparent},
    };
    auto* box = new QComboBox(parent);
    for (const auto& [name, color] : items)
        box->addItem(swatch(color), QString::fromUtf8(name), color);
    return box;
}

} // namespace

InputDialogMultiField::InputDialogMultiField(const QString& label) : mLabel(label) {}

void InputDialogMultiField::AddCheckBox(bool checked)
{
    mHasCheckBox = true;
    mChecked = checked;
}

void InputDialogMultiField::setEnabled(bool enabled)
{
    mEnabled = enabled;
    showState();
}

void InputDialogMultiField::setChecked(bool checked)
{
    mChecked = checked;
    showState();
}

QLayout* InputDialogMultiField::buildRow(QWidget* dialog)
{
    auto* row = new QHBoxLayout;
    mLabelWidget = new QLabel(mLabel, dialog);
    mLabelWidget->setMinimumWidth(kLabelMinimumWidth);
    row->addWidget(mLabelWidget);
    mEditor = createEditor(dialog);
    row->addWidget(mEditor);
    if (mHasCheckBox) {
        mCheckBox = new QCheckBox(dialog);
        connect(mCheckBox, &QCheckBox::clicked, this, &InputDialogMultiField::setChecked);
        row->addWidget(mCheckBox);
    }
    showState();
    return row;
}

void InputDialogMultiField::showState()
{
    if (mLabelWidget)
        mLabelWidget->setEnabled(mEnabled);
    if (mEditor)
        mEditor->setEnabled(mEnabled && (!mHasCheckBox || mChecked));
    if (mCheckBox) {
        mCheckBox->setEnabled(mEnabled);
        mCheckBox->setChecked(mChecked);
    }
}

InputDialogMultiFieldDouble::InputDialogMultiFieldDouble(const QString& label, int decimals,
                                                         double minimum, double maximum,
                                                         double step, double value)
    : InputDialogMultiField(label),
      mDecimals(decimals),
      mMinimum(minimum),
      mMaximum(maximum),
      mStep(step),
      mValue(value)
{
}

QVariant InputDialogMultiFieldDouble::Value() const
{
    const auto* box = qobject_cast<const QDoubleSpinBox*>(editor());
    return box ? box->value() : mValue;
}

QWidget* InputDialogMultiFieldDouble::createEditor(QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    // Before the value, which the box rounds to its decimals.
    box->setDecimals(mDecimals);
    setUpSpinBox(*box, mMinimum, mMaximum, mStep, mValue);
    return box;
}

InputDialogMultiFieldInt::InputDialogMultiFieldInt(const QString& label, int minimum, int maximum,
                                                   int step, int value)
    : InputDialogMultiField(label),
      mMinimum(minimum),
      mMaximum(maximum),
      mStep(step),
      mValue(value)
{
}

QVariant InputDialogMultiFieldInt::Value() const
{
    const auto* box = qobject_cast<const QSpinBox*>(editor());
    return box ? box->value() : mValue;
}

QWidget* InputDialogMultiFieldInt::createEditor(QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    setUpSpinBox(*box, mMinimum, mMaximum, mStep, mValue);
    return box;
}

InputDialogMultiFieldBool::InputDialogMultiFieldBool(const QString& label, bool value)
    : InputDialogMultiField(label), mValue(value)
{
}

QVariant InputDialogMultiFieldBool::Value() const
{
    const auto* box = qobject_cast<const QCheckBox*>(editor());
    return box ? box->isChecked() : mValue;
}

QWidget* InputDialogMultiFieldBool::createEditor(QWidget* parent)
{
    auto* box = new QCheckBox(parent);
    box->setChecked(mValue);
    return box;
}

InputDialogMultiFieldString::InputDialogMultiFieldString(const QString& label, const QString& text)
    : InputDialogMultiField(label), mText(text)
{
}

QVariant InputDialogMultiFieldString::Value() const
{
    const auto* edit = qobject_cast<const QLineEdit*>(editor());
    return edit ? edit->text() : mText;
}

QWidget* InputDialogMultiFieldString::createEditor(QWidget* parent)
{
    auto* edit = new QLineEdit(mText, parent);
    edit->setMinimumWidth(kEditorMinimumWidth);
    return edit;
}

InputDialogMultiFieldColor::InputDialogMultiFieldColor(const QString& label, const QColor& color)
    : InputDialogMultiField(label), mColor(color)
{
}

QVariant InputDialogMultiFieldColor::Value() const
{
    const auto* box = qobject_cast<const QComboBox*>(editor());
    return box ? box->currentData() : QVariant(mColor);
}

QWidget* InputDialogMultiFieldColor::createEditor(QWidget* parent)
{
    QComboBox* box = makeColorBox(parent);
    box->setMinimumWidth(kEditorMinimumWidth);
    selectColor(*box, mColor);
    connect(box, &QComboBox::activated, this, [this, box](int index) { choose(*box, index); });
    return box;
}

void InputDialogMultiFieldColor::choose(QComboBox& box, int index)
{
    if (index == kOtherColorItem) {
        const std::optional<QColor> chosen =
            UserPrompt::current().color(&box, QStringLiteral("Choisir une couleur"), Qt::white);
        if (!chosen || !chosen->isValid()) {
            // Cancelled: back to the colour chosen before.
            selectColor(box, mColor);
            return;
        }
        setItemColor(box, kOtherColorItem, *chosen);
    } else if (index == kNoColorItem) {
        setItemColor(box, kOtherColorItem, Qt::transparent);
        box.setCurrentIndex(kOtherColorItem);
    }
    mColor = box.currentData().value<QColor>();
}

QString InputDialogMulti::sOkIcon;
QString InputDialogMulti::sCancelIcon;

InputDialogMulti::InputDialogMulti(const QString& title, QObject* parent)
    : QObject(parent), mTitle(title)
{
}

InputDialogMulti::~InputDialogMulti() = default;

InputDialogMultiField* InputDialogMulti::AddField(InputDialogMultiField* field)
{
    if (field)
        mFields.emplace_back(field);
    return field;
}

template <typename Field, typename... Args>
Field* InputDialogMulti::add(Args&&... args)
{
    auto* field = new Field(std::forward<Args>(args)...);
    AddField(field);
    return field;
}

InputDialogMultiFieldString* InputDialogMulti::addStringField(const QString& label,
                                                              const QString& text)
{
    return add<InputDialogMultiFieldString>(label, text);
}

InputDialogMultiFieldBool* InputDialogMulti::addBoolField(const QString& label, bool value)
{
    return add<InputDialogMultiFieldBool>(label, value);
}

InputDialogMultiFieldDouble* InputDialogMulti::addDoubleField(const QString& label, int decimals,
                                                              double minimum, double maximum,
                                                              double step, double value)
{
    return add<InputDialogMultiFieldDouble>(label, decimals, minimum, maximum, step, value);
}

InputDialogMultiFieldInt* InputDialogMulti::addIntField(const QString& label, int minimum,
                                                        int maximum, int step, int value)
{
    return add<InputDialogMultiFieldInt>(label, minimum, maximum, step, value);
}

InputDialogMultiFieldColor* InputDialogMulti::addColorField(const QString& label,
                                                            const QColor& color)
{
    return add<InputDialogMultiFieldColor>(label, color);
}

int InputDialogMulti::Exec()
{
    if (!mDialog)
        BuildDialog();
    return UserPrompt::current().exec(*mDialog);
}

InputDialogMultiField* InputDialogMulti::operator[](const QString& label) const
{
    for (const auto& field : mFields) {
        if (field->label() == label)
            return field.get();
    }
    return nullptr;
}

void InputDialogMulti::WidgetChanged(QWidget* widget)
{
    // A null widget would otherwise match the first field not yet shown.
    if (!widget)
        return;
    for (std::size_t index = 0; index < mFields.size(); ++index) {
        if (mFields[index]->editor() == widget) {
            emit fieldChanged(int(index));
            return;
        }
    }
}

const InputDialogMultiField* InputDialogMulti::fieldAt(int index) const
{
    return index >= 0 && std::size_t(index) < mFields.size() ? mFields[std::size_t(index)].get()
                                                             : nullptr;
}

void InputDialogMulti::BuildDialog()
{
    mDialog = std::make_unique<QDialog>();
    mDialog->setWindowTitle(mTitle);
    auto* form = new QFormLayout(mDialog.get());
    for (const auto& field : mFields) {
        form->addRow(field->buildRow(mDialog.get()));
        if (field->type() == InputDialogMultiField::Bool) {
            QWidget* editor = field->editor();
            connect(qobject_cast<QCheckBox*>(editor), &QCheckBox::clicked, this,
                    [this, editor] { WidgetChanged(editor); });
        }
    }
    form->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));

    auto* ok = new QPushButton(QIcon(sOkIcon), QPushButton::tr("Ok"), mDialog.get());
    auto* cancel = new QPushButton(QIcon(sCancelIcon), QPushButton::tr("Cancel"), mDialog.get());
    connect(ok, &QPushButton::clicked, mDialog.get(), &QDialog::accept);
    connect(cancel, &QPushButton::clicked, mDialog.get(), &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    form->addRow(buttons);
}
