#pragma once

#include "divemodel/dive.h"
#include "tessal/quelmsession.h"
#include "ui_importbluetooth.h"

#include <QDialog>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// The modal dialog of "Download dives": it asks the connected computer for
// its logbook without the dives already stored for it, lists the dives with
// a check box each, downloads the checked ones one after another and hands
// them over converted, with their statistics and speeds; a dive whose samples
// do not match its header is left out and reported.
class ImportBluetooth : public QDialog
{
    Q_OBJECT

public:
    explicit ImportBluetooth(QWidget* parent = nullptr);

    // Runs the dialog; true when at least one dive was added to `diveList`
    // (the dives converted before the dialog closed, in download order).
    bool execute(QList<Dive>* diveList);

    // "007 - 12/05/2024 10:20 -  5.0m - 45:00": the number (at least three
    // digits), the begin, the maximum depth in four places and the duration.
    static QString rowText(const PelavixDiveHeader& header);

    // Not owned; set before `execute`.
    QuelmSession* session = nullptr;
    // The caller's list, which receives the converted dives.
    QList<Dive>* dives = nullptr;
    // Whether a dive was converted.
    bool imported = false;
    // The numbers still to download, in row order, taken from the front.
    QList<quint16> selection;

public slots:
    void onEndCommand(PelavixCommandIn command);
    // Downloads the checked dives not downloaded yet; nothing while a
    // request is under way.
    void on_btImport_clicked();

private:
    void onExchangeError(PelavixCommandIn command, ExchangeErrorIn error);
    void onDisconnectController();
    void fillList();
    void getSelectedDiveName();
    void startImportDive();
    void getDiveSample();
    // Converts the dive of `header` from the samples just received and hands
    // it over; false, with the reason, when the converter refuses it.
    bool addDive(const PelavixDiveHeader& header, QString& refusal);
    // The dives of this download left out as damaged.
    QString damagedText() const;
    // The request under way ends without an answer: the dialog is idle again.
    void abandonRequest(const QString& text);

    Ui::ImportBluetoothClass ui{};
    // The request whose answer is awaited: the logbook or a dive's samples.
    std::optional<PelavixCommandIn> mPending;
    QSet<quint16> mDownloaded;
    // The dives of the download under way whose samples do not match their
    // header or hold values beyond what a dive can be, in download order,
    // with what is wrong with those the converter refused.
    QList<quint16> mDamaged;
    QStringList mDamageReasons;
};
