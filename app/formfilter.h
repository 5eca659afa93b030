#pragma once

#include "divedb/diveinfo.h"

#include <QDialog>
#include <Qt>

#include <memory>

namespace Ui {
class FormFilterClass;
}

// The dialog in which the diver restricts the dive list to some computers and
// to a date range with an optional time-of-day range. It lives on between
// runs and refills its list of computers from the database on each run.
class FormFilter : public QDialog
{
    Q_OBJECT

public:
    explicit FormFilter(QWidget* parent);
    ~FormFilter() override;

    // Shows the filter and runs the dialog modally; returns its result
    // (QDialog::Accepted or QDialog::Rejected). The filter is not changed.
    int execute(Filter& filter);
    // Writes the dialog's choices into the filter.
    void getFilter(Filter& filter) const;

private:
    void showComputers(const Filter& filter);
    void showDates(const Filter& filter);
    void readComputers(Filter& filter) const;
    void readDates(Filter& filter) const;
    void setAllChecked(Qt::CheckState state);

    std::unique_ptr<Ui::FormFilterClass> ui;
};
