#include "decimalcomma.h"
#include "testenvironment.h"

#include "divecore/gasnames.h"

#include <cstdio>
#include <cstring>

using divecore::Gas;

Q_DECLARE_METATYPE(divecore::Gas)

class GasNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void names_data()
    {
        QTest::addColumn<Gas>("gas");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shortName");
        QTest::addColumn<QString>("fullName");

        QTest::newRow("air") << Gas() << "21" << "Air" << "Air";
        QTest::newRow("nitrox") << Gas(32, 0) << "32" << "Nx32" << "Nitrox 32";
        QTest::newRow("decimal nitrox") << Gas(32.5f, 0.0f) << "32.5" << "Nx32.5" << "Nitrox 32.5";
        QTest::newRow("hypoxic") << Gas(18, 0) << "18" << "18" << "Hypoxic 18%";
        QTest::newRow("trimix") << Gas(18, 45) << "18/45" << "Tx18/45" << "Trimix 18/45";
        QTest::newRow("heliox shows oxygen only") << Gas(10, 90) << "10" << "Hx10" << "Heliox 10";
        QTest::newRow("oxygen") << Gas::oxygen << "OXY" << "Oxygene" << "Oxygene";
        QTest::newRow("nine characters at most") << Gas(1234567.0f, 0.0f) << "1.23457e+" << "Nx1.23457e+" << "Nitrox 1.23457e+";
        QTest::newRow("small fraction in exponent form") << Gas(0.00001f, 0.0f) << "1e-05" << "1e-05" << "Hypoxic 1e-05%";
    }

    void names()
    {
        QFETCH(Gas, gas);
        char buffer[20];
        divecore::gasName(gas, buffer, sizeof buffer);
        QTEST(QString::fromLatin1(buffer), "name");
        QTEST(QString::fromStdString(divecore::gasShortName(gas)), "shortName");
        QTEST(QString::fromStdString(divecore::gasFullName(gas)), "fullName");
    }

    void nameBufferSizes_data()
    {
        QTest::addColumn<Gas>("gas");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("buffer");

        QTest::newRow("oxygen in 3 bytes") << Gas::oxygen << 3 << QByteArray("OX\0######", 9);
        QTest::newRow("trimix in 4 bytes") << Gas(18, 45) << 4 << QByteArray("18/\0#####", 9);
        QTest::newRow("exact fit") << Gas(18, 45) << 6 << QByteArray("18/45\0###", 9);
        QTest::newRow("one byte") << Gas(18, 45) << 1 << QByteArray("\0########", 9);
        QTest::newRow("no byte") << Gas(18, 45) << 0 << QByteArray("#########", 9);
    }

    void nameBufferSizes()
    {
        QFETCH(Gas, gas);
        QFETCH(int, size);
        QByteArray buffer(9, '#');
        divecore::gasName(gas, buffer.data(), std::size_t(size));
        QTEST(buffer, "buffer");
    }

    void formatFloatFollowsPercentG_data()
    {
        QTest::addColumn<float>("value");
        QTest::newRow("integer") << 21.0f;
        QTest::newRow("fraction") << 0.5f;
        QTest::newRow("six digits") << 123.456f;
        QTest::newRow("rounded to six digits") << 1.0f / 3.0f;
        QTest::newRow("large") << 1.0e6f;
        QTest::newRow("small") << 0.0001f;
        QTest::newRow("negative") << -2.25f;
    }

    void formatFloatFollowsPercentG()
    {
        QFETCH(float, value);
        char expected[32];
        std::snprintf(expected, sizeof expected, "%g", double(value));
        QCOMPARE(QByteArray::fromStdString(divecore::formatFloat(value)), QByteArray(expected));
    }

    // Qt applies the system locale to the C library: a decimal-comma locale
    // must not reach the gas names.
    void namesIgnoreADecimalCommaLocale()
    {
        const testkit::DecimalCommaNumbers commas;
        if (!commas.isActive())
            QSKIP("a decimal-comma locale cannot be built or chosen here");

        char cLibrary[16];
        std::snprintf(cLibrary, sizeof cLibrary, "%g", 32.5);
        char buffer[20];
        divecore::gasName(Gas(32.5f, 0.0f), buffer, sizeof buffer);
        const std::string shortName = divecore::gasShortName(Gas(32.5f, 12.5f));

        QCOMPARE(QByteArray(cLibrary), QByteArray("32,5"));
        QCOMPARE(QByteArray(buffer), QByteArray("32.5"));
        QCOMPARE(QByteArray::fromStdString(shortName), QByteArray("Tx32.5/12.5"));
    }
};

MAREVANE_TEST_MAIN(GasNamesTest)
#include "tst_gasnames.moc"
