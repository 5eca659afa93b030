#pragma once

#include "tessal/quelmtypes.h"

#include <QCoreApplication>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <QString>

// The texts of the link's errors, one for every value.
class QuelmBleProtocol
{
    Q_DECLARE_TR_FUNCTIONS(QuelmBleProtocol)

public:
    QuelmBleProtocol() = delete;

    static QString controllerErrorString(QLowEnergyController::Error error);
    static QString exchangeErrorString(ExchangeErrorIn error);
    static QString serviceErrorString(QLowEnergyService::ServiceError error);
};
