#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLayout;
class QWidget;

// One field of an InputDialogMulti: a label, an editor made when the dialog is
// built, and optionally a check box that enables the editor. The field keeps
// the value it was made with, so it can be read before (or without) its
// editor.
class InputDialogMultiField : public QObject
{
    Q_OBJECT

public:
    enum Type : int { Double = 0, Int = 1, Bool = 2, String = 3, Color = 4 };

    explicit InputDialogMultiField(const QString& label);

    virtual int type() const = 0;
    // The editor's value once the dialog is built, else the field's own value.
    virtual QVariant Value() const = 0;

    // Gives the field a check box, in the given state, that enables its editor.
    void AddCheckBox(bool checked);

    QString label() const { return mLabel; }
    // Null until the dialog is built.
    QWidget* editor() const { return mEditor; }
    bool isEnabled() const { return mEnabled; }
    // A disabled field shows its label, editor and check box disabled.
    void setEnabled(bool enabled);
    bool hasCheckBox() const { return mHasCheckBox; }
    bool isChecked() const { return mChecked; }

    // Makes the field's widgets in `dialog` and returns the form row holding them.
    QLayout* buildRow(QWidget* dialog);

public slots:
    void setChecked(bool checked);

protected:
    virtual QWidget* createEditor(QWidget* parent) = 0;

private:
    // Gives the widgets the enabled flag and the check box state.
    void showState();

    QWidget* mEditor = nullptr;
    QLabel* mLabelWidget = nullptr;
    QString mLabel;
    bool mEnabled = true;
    bool mHasCheckBox = false;
    bool mChecked = false;
    QCheckBox* mCheckBox = nullptr;
};

class InputDialogMultiFieldDouble final : public InputDialogMultiField
{
    Q_OBJECT

public:
    InputDialogMultiFieldDouble(const QString& label, int decimals, double minimum, double maximum,
                                double step, double value);

    int type() const override { return Double; }
    QVariant Value() const override;

protected:
    QWidget* createEditor(QWidget* parent) override;

private:
    int mDecimals;
    double mMinimum;
    double mMaximum;
    double mStep;
    double mValue;
};

class InputDialogMultiFieldInt final : public InputDialogMultiField
{
    Q_OBJECT

public:
    InputDialogMultiFieldInt(const QString& label, int minimum, int maximum, int step, int value);

    int type() const override { return Int; }
    QVariant Value() const override;

protected:
    QWidget* createEditor(QWidget* parent) override;

private:
    int mMinimum;
    int mMaximum;
    int mStep;
    int mValue;
};

class InputDialogMultiFieldBool final : public InputDialogMultiField
{
    Q_OBJECT

public:
    InputDialogMultiFieldBool(const QString& label, bool value);

    int type() const override { return Bool; }
    QVariant Value() const override;

protected:
    QWidget* createEditor(QWidget* parent) override;

private:
    bool mValue;
};

class InputDialogMultiFieldString final : public InputDialogMultiField
{
    Q_OBJECT

public:
    InputDialogMultiFieldString(const QString& label, const QString& text);

    int type() const override { return String; }
    QVariant Value() const override;

protected:
    QWidget* createEditor(QWidget* parent) override;

private:
    QString mText;
};

// A choice among a few named colours, any other colour ("Autre...") and no
// colour at all (transparent).
class InputDialogMultiFieldColor final : public InputDialogMultiField
{
    Q_OBJECT

public:
    InputDialogMultiFieldColor(const QString& label, const QColor& color);

    int type() const override { return Color; }
    QVariant Value() const override;

protected:
    QWidget* createEditor(QWidget* parent) override;

private:
    void choose(QComboBox& box, int index);

    QColor mColor; // the colour chosen last
};

// A modal form built from typed fields and read back by field index. The
// dialog is built on the first Exec; fields added later are not shown but keep
// their own values.
class InputDialogMulti : public QObject
{
    Q_OBJECT

public:
    InputDialogMulti(const QString& title, QObject* parent);
    ~InputDialogMulti() override;

    // The icons of the Ok and Cancel buttons.
    static QString sOkIcon;
    static QString sCancelIcon;

    // Takes ownership of the field and appends it; returns it.
    InputDialogMultiField* AddField(InputDialogMultiField* field);
    InputDialogMultiFieldString* addStringField(const QString& label, const QString& text);
    InputDialogMultiFieldBool* addBoolField(const QString& label, bool value);
    InputDialogMultiFieldDouble* addDoubleField(const QString& label, int decimals, double minimum,
                                                double maximum, double step, double value);
    InputDialogMultiFieldInt* addIntField(const QString& label, int minimum, int maximum, int step,
                                          int value);
    InputDialogMultiFieldColor* addColorField(const QString& label, const QColor& color);

    // Runs the dialog modally: QDialog::Accepted or QDialog::Rejected.
    int Exec();

    // The first field with exactly that label, or null.
    InputDialogMultiField* operator[](const QString& label) const;

    // The value of the field at `index`, or T() when there is none.
    template <typename T>
    T value(int index) const;

public slots:
    // Tells which field the widget edits, if any, through fieldChanged.
    void WidgetChanged(QWidget* widget);

signals:
    void fieldChanged(int index);

private:
    void BuildDialog();
    template <typename Field, typename... Args>
    Field* add(Args&&... args);
    const InputDialogMultiField* fieldAt(int index) const;

    QString mTitle;
    std::vector<std::unique_ptr<InputDialogMultiField>> mFields;
    // Declared after the fields so that it goes first, with the editors.
    std::unique_ptr<QDialog> mDialog;
};

template <typename T>
T InputDialogMulti::value(int index) const
{
    const InputDialogMultiField* field = fieldAt(index);
    return field ? field->Value().value<T>() : T();
}
