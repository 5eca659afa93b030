#include "device/importbluetooth.h"

#include "divedb/divedb.h"
#include "divemodel/diveanalysis.h"
#include "tessal/pelavixdiveconverter.h"
#include "tessal/quelmbleprotocol.h"
#include "userprompt.h"

#include <QListWidgetItem>
#include <QStringList>

#include <cmath>

namespace {

// Samples that cannot be the dive the header describes: none at all, or not
// as many as the header counts.
bool samplesMatchHeader(const PelavixDiveHeader& header, const QList<DiveSample>& samples)
{
    return !samples.isEmpty() && (header.sampleCount == 0 || quint32(samples.size()) == header.sampleCount);
}

} // namespace

ImportBluetooth::ImportBluetooth(QWidget* parent)
    : QDialog(parent)
{
    ui.setupUi(this);
}

QString ImportBluetooth::rowText(const PelavixDiveHeader& header)
{
    const double depth = std::isfinite(header.getDepthMax()) ? header.getDepthMax() : 0.0;
    return QStringLiteral("%1 - %2 - %3m - %4")
        .arg(QStringLiteral("%1").arg(header.diveNumber, 3, 10, QLatin1Char('0')), header.getBeginString(),
             QStringLiteral("%1").arg(depth, 4, 'f', 1), header.getDurationString());
}

bool ImportBluetooth::execute(QList<Dive>* diveList)
{
    dives = diveList;
    connect(session, &QuelmSession::endCommand, this, &ImportBluetooth::onEndCommand);
    connect(session, &QuelmSession::exchangeError, this, &ImportBluetooth::onExchangeError);
    connect(session, &QuelmSession::disconnectController, this, &ImportBluetooth::onDisconnectController);

    ui.lbSerialNum->setText(tr("Pelavix n°: ") + session->serialNumber);
    ui.lbName->setText(tr("Owner: ") + session->ownerName.text());
    const QList<unsigned short> stored = DiveDb::instance()->getDiveIdsByComputer(session->serialNumber);
    ui.lbinfo->setText(tr("Get list of dives"));
    ui.progressBar->setMaximum(0);
    mPending = PelavixCommand::Logbook;
    session->startGetLogbook(QList<quint16>(stored.begin(), stored.end()));
    UserPrompt::current().exec(*this);

    disconnect(session, nullptr, this, nullptr);
    return imported;
}

void ImportBluetooth::onEndCommand(PelavixCommandIn command)
{
    switch (command) {
    case PelavixCommand::Logbook:
        if (mPending != PelavixCommand::Logbook)
            return;
        mPending.reset();
        fillList();
        break;
    case PelavixCommand::DiveSamples:
        ui.lbinfo->setText(tr("Dive imported"));
        if (mPending != PelavixCommand::DiveSamples)
            return;
        mPending.reset();
        getDiveSample();
        break;
    default:
        break;
    }
}

void ImportBluetooth::fillList()
{
    ui.lbinfo->setText(tr("Select dives to import"));
    for (const PelavixDiveHeader& header : std::as_const(session->logbook)) {
        auto* row = new QListWidgetItem(rowText(header), ui.listDives);
        row->setData(Qt::UserRole, header.diveNumber);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
    }
    ui.progressBar->setMaximum(1);
}

void ImportBluetooth::on_btImport_clicked()
{
    // One request at a time: a second one could hand a dive another dive's
    // samples.
    if (mPending)
        return;
    ui.progressBar->setMaximum(0);
    mDamaged.clear();
    mDamageReasons.clear();
    getSelectedDiveName();
    if (!selection.isEmpty())
        startImportDive();
}

void ImportBluetooth::getSelectedDiveName()
{
    selection.clear();
    for (int i = 0; i < ui.listDives->count(); ++i) {
        const QListWidgetItem* row = ui.listDives->item(i);
        const auto number = quint16(row->data(Qt::UserRole).toUInt());
        if (row->checkState() == Qt::Checked && !mDownloaded.contains(number))
            selection.append(number);
    }
}

void ImportBluetooth::startImportDive()
{
    const quint16 number = selection.constFirst();
    ui.lbinfo->setText(tr("Get dive %1").arg(number));
    mPending = PelavixCommand::DiveSamples;
    session->startGetDiveSamples(number);
}

void ImportBluetooth::getDiveSample()
{
    if (selection.isEmpty())
        return;
    const quint16 number = selection.constFirst();
    const PelavixDiveHeader* header = session->diveHeader(number);
    if (!header) {
        ui.lbinfo->setText(tr("Dive not found"));
        return;
    }
    // A damaged dive is left out and reported once the others are in.
    QString refusal;
    if (!samplesMatchHeader(*header, session->diveSamples)) {
        mDamaged.append(number);
    } else if (!addDive(*header, refusal)) {
        mDamaged.append(number);
        mDamageReasons.append(tr("Dive %1: %2").arg(QString::number(number), refusal));
    }

    selection.removeFirst();
    if (!selection.isEmpty()) {
        startImportDive();
        return;
    }
    ui.progressBar->setMaximum(1);
    if (!mDamaged.isEmpty())
        ui.lbinfo->setText(damagedText());
}

bool ImportBluetooth::addDive(const PelavixDiveHeader& header, QString& refusal)
{
    Dive dive = PelavixDiveConverter::toDive(header, session->diveSamples, *session, &refusal);
    if (!refusal.isEmpty())
        return false;
    DiveAnalysis::calculateMaxTimeDepth(dive);
    DiveAnalysis::calculateSpeeds(dive, false);
    dives->append(std::move(dive));
    imported = true;
    mDownloaded.insert(header.diveNumber);
    return true;
}

QString ImportBluetooth::damagedText() const
{
    QString text;
    if (mDamaged.size() == 1) {
        text = tr("Dive %1 is damaged: it was not imported").arg(mDamaged.constFirst());
    } else {
        QStringList numbers;
        for (const quint16 number : mDamaged)
            numbers << QString::number(number);
        text = tr("Dives %1 are damaged: they were not imported").arg(numbers.join(QLatin1String(", ")));
    }
    return mDamageReasons.isEmpty() ? text : text + QLatin1Char('\n') + mDamageReasons.join(QLatin1Char('\n'));
}

void ImportBluetooth::onExchangeError(PelavixCommandIn command, ExchangeErrorIn error)
{
    if (mPending == command)
        abandonRequest(tr("Exchange Error: ") + QuelmBleProtocol::exchangeErrorString(error));
}

void ImportBluetooth::onDisconnectController()
{
    if (mPending)
        abandonRequest(tr("Computer disconnected"));
}

void ImportBluetooth::abandonRequest(const QString& text)
{
    mPending.reset();
    ui.lbinfo->setText(text);
    ui.progressBar->setMaximum(1);
}
