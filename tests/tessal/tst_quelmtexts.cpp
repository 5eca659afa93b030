#include "testenvironment.h"
#include "tessal/bleconfig.h"
#include "tessal/quelmbleprotocol.h"
#include "tessal/quelmdata.h"

#include <QApplication>
#include <QMetaEnum>
#include <QSet>

namespace {

// Every value of the enumeration gets a text of its own.
template <typename Enum, typename Text>
void checkEveryValueHasAText(Text text)
{
    const QMetaEnum values = QMetaEnum::fromType<Enum>();
    QSet<QString> texts;
    for (int i = 0; i < values.keyCount(); ++i) {
        const QString shown = text(Enum(values.value(i)));
        QVERIFY2(!shown.isEmpty(), values.key(i));
        texts.insert(shown);
    }
    QCOMPARE(texts.size(), values.keyCount());
}

} // namespace

// The texts of the library: firmware versions and the link's errors.
class QuelmTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void firmwareVersionText_data()
    {
        QTest::addColumn<quint32>("version");
        QTest::addColumn<QString>("text");
        QTest::newRow("2.0.11") << 0x02000B00u << "2.0.11";
        QTest::newRow("letter a") << 0x02000B61u << "2.0.11.a";
        QTest::newRow("just below") << 0x02000AFFu << "2.0.10.0xff";
        QTest::newRow("top byte is unsigned") << 0xFF010203u << "255.1.2.0x03";
        QTest::newRow("zero") << 0u << "0.0.0";
        QTest::newRow("control letter") << 0x01020309u << "1.2.3.0x09";
    }
    void firmwareVersionText()
    {
        QFETCH(quint32, version);
        QFETCH(QString, text);
        QCOMPARE(QuelmData::firmwareVersionToString(version), text);
    }

    void everyErrorHasAText()
    {
        checkEveryValueHasAText<QLowEnergyController::Error>(&QuelmBleProtocol::controllerErrorString);
        checkEveryValueHasAText<QLowEnergyService::ServiceError>(&QuelmBleProtocol::serviceErrorString);
        checkEveryValueHasAText<ExchangeErrorIn>(&QuelmBleProtocol::exchangeErrorString);
    }

    void unknownErrorsSayWhichTheyAre()
    {
        QCOMPARE(QuelmBleProtocol::exchangeErrorString(ExchangeErrorIn(99)), QStringLiteral("Unknown error (99)"));
        QCOMPARE(QuelmBleProtocol::controllerErrorString(QLowEnergyController::Error(42)),
                 QStringLiteral("Unknown error (42)"));
        QCOMPARE(QuelmBleProtocol::serviceErrorString(QLowEnergyService::ServiceError(7)),
                 QStringLiteral("Unknown error (7)"));
    }

    void waterPressure_data()
    {
        QTest::addColumn<int>("water");
        QTest::addColumn<float>("density");
        QTest::addColumn<float>("at10m");
        QTest::newRow("salt") << 0 << 1.025f << 1.013f + 1.025f * 0.980665f;
        QTest::newRow("fresh") << 1 << 1.0f << 1.013f + 0.980665f;
    }
    void waterPressure()
    {
        QFETCH(int, water);
        QFETCH(float, density);
        QFETCH(float, at10m);
        BleConfig config;
        config.waterType = quint8(water);
        QCOMPARE(config.getDensity(), density);
        QCOMPARE(config.pressureAtDepth(0.0f), 1.013f);
        QCOMPARE(config.pressureAtDepth(10.0f), at10m);
    }
};

MAREVANE_TEST_MAIN(QuelmTextsTest)
#include "tst_quelmtexts.moc"
