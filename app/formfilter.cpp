#include "formfilter.h"

#include "ui_formfilter.h"

#include "divedb/divedb.h"

#include "userprompt.h"

namespace {

constexpr int kSerialColumn = 0;
constexpr int kNameColumn = 1;

} // namespace

FormFilter::FormFilter(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FormFilterClass>())
{
    ui->setupUi(this);
    connect(ui->btCheckAll, &QPushButton::clicked, this, [this] { setAllChecked(Qt::Checked); });
    connect(ui->btUncheckAll, &QPushButton::clicked, this,
            [this] { setAllChecked(Qt::Unchecked); });
}

FormFilter::~FormFilter() = default;

int FormFilter::execute(Filter& filter)
{
    showComputers(filter);
    showDates(filter);
    return UserPrompt::current().exec(*this);
}

void FormFilter::getFilter(Filter& filter) const
{
    readComputers(filter);
    readDates(filter);
}

void FormFilter::showComputers(const Filter& filter)
{
    QList<QString> names;
    const QList<QString> serials = DiveDb::instance()->getDistinctSerialNumber(names);
    QTableWidget* table = ui->tblComputers;
    table->clear();
    table->setRowCount(int(serials.size()));
    table->setHorizontalHeaderLabels({tr("Serial"), tr("Name")});
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString& serial = serials.at(row);
        auto* serialItem = new QTableWidgetItem(serial);
        serialItem->setCheckState(filter.serials.contains(serial) ? Qt::Checked : Qt::Unchecked);
        table->setItem(row, kSerialColumn, serialItem);
        table->setItem(row, kNameColumn, new QTableWidgetItem(names.value(row)));
    }
    table->resizeColumnToContents(kSerialColumn);
    ui->grComputer->setChecked(filter.byComputer);
}

// The end-date group keeps what the diver left in it last time.
void FormFilter::showDates(const Filter& filter)
{
    ui->startDate->setDateTime(filter.startDate);
    ui->endDate->setDateTime(filter.endDate);
    ui->startTime->setTime(filter.startTime);
    ui->endTime->setTime(filter.endTime);
    ui->grDateTime->setChecked(filter.byDate);
    ui->grTime->setChecked(filter.byTime);
}

void FormFilter::readComputers(Filter& filter) const
{
    filter.byComputer = ui->grComputer->isChecked();
    if (!filter.byComputer)
        return;
    filter.serials.clear();
    const QTableWidget* table = ui->tblComputers;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem* item = table->item(row, kSerialColumn);
        if (item && item->checkState() == Qt::Checked)
            filter.serials.append(item->text());
    }
    // Every computer checked, or none stored, restricts nothing.
    filter.byComputer = filter.serials.size() < table->rowCount();
}

void FormFilter::readDates(Filter& filter) const
{
    filter.byDate = ui->grDateTime->isChecked();
    if (!filter.byDate)
        return;
    filter.startDate = ui->startDate->dateTime();
    filter.byEndDate = ui->grEndDate->isChecked();
    if (filter.byEndDate)
        filter.endDate = ui->endDate->dateTime();
    filter.byTime = ui->grTime->isChecked();
    if (filter.byTime) {
        filter.startTime = ui->startTime->time();
        filter.endTime = ui->endTime->time();
    }
}

void FormFilter::setAllChecked(Qt::CheckState state)
{
    QTableWidget* table = ui->tblComputers;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (QTableWidgetItem* item = table->item(row, kSerialColumn))
            item->setCheckState(state);
    }
}
