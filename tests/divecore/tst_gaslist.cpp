#include "testenvironment.h"

#include "divecore/gaslist.h"

#include <vector>

using divecore::Gas;
using divecore::GasList;
using divecore::MixtureUse;

namespace {

Gas gas(int o2, int he, float pO2Max, MixtureUse use = MixtureUse::OpenCircuit, std::uint8_t inactive = 0)
{
    Gas g(o2, he);
    g.pO2Max = pO2Max;
    g.use = use;
    g.inactive = inactive;
    return g;
}

Gas fixedAt(Gas g, float switchDepth)
{
    g.fixedSwitchDepth = 1;
    g.switchDepth = switchDepth;
    return g;
}

std::vector<float> oxygenOf(const GasList& list)
{
    std::vector<float> fractions;
    for (int i = 0; i < list.count(); ++i)
        fractions.push_back(list.at(i).fO2);
    return fractions;
}

} // namespace

Q_DECLARE_METATYPE(std::vector<divecore::Gas>)

class GasListTest : public QObject
{
    Q_OBJECT

private slots:
    void listKeepsInsertionOrder()
    {
        GasList list;
        list.add(Gas(21, 0));
        list.add(Gas(32, 0));
        list.add(Gas(50, 0));
        list.remove(-1);
        list.remove(3);
        QCOMPARE(oxygenOf(list), (std::vector<float>{0.21f, 0.32f, 0.5f}));
        list.remove(0);
        QCOMPARE(oxygenOf(list), (std::vector<float>{0.32f, 0.5f}));

        GasList other;
        other.add(Gas::oxygen);
        list.setGases(other, true);
        QCOMPARE(oxygenOf(list), (std::vector<float>{0.32f, 0.5f, 1.0f}));
        list.setGases(list, true);
        QCOMPARE(oxygenOf(list), (std::vector<float>{0.32f, 0.5f, 1.0f, 0.32f, 0.5f, 1.0f}));
        list.setGases(other, false);
        QCOMPARE(oxygenOf(list), (std::vector<float>{1.0f}));
    }

    void firstActive_data()
    {
        QTest::addColumn<std::vector<Gas>>("gases");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");

        const Gas off = gas(21, 0, 1.4f, MixtureUse::OpenCircuit, 1);
        const Gas on = gas(32, 0, 1.4f);
        QTest::newRow("skips switched-off gases") << std::vector<Gas>{off, off, on} << 3 << 2;
        QTest::newRow("none active") << std::vector<Gas>{off, off} << 2 << -1;
        QTest::newRow("any byte but 1 is active") << std::vector<Gas>{off, gas(21, 0, 1.4f, MixtureUse::OpenCircuit, 2)} << 2 << 1;
        QTest::newRow("empty span") << std::vector<Gas>{on} << 0 << -1;
        QTest::newRow("negative count") << std::vector<Gas>{on} << -1 << -1;
    }

    void firstActive()
    {
        QFETCH(std::vector<Gas>, gases);
        QFETCH(int, count);
        QTEST(divecore::getFirstActive(gases.data(), count), "index");
    }

    void sameMixture()
    {
        const std::vector<Gas> gases{gas(32, 0, 1.4f, MixtureUse::Bailout), gas(32, 0, 1.6f, MixtureUse::OpenCircuit, 1),
                                     gas(32, 0, 1.2f), gas(18, 45, 1.4f)};
        const int n = int(gases.size());
        QCOMPARE(divecore::getSameMixture(gases.data(), n, Gas(32, 0)), 1);
        QCOMPARE(divecore::getSameMixture(gases.data(), n, gas(32, 0, 0, MixtureUse::Bailout)), 0);
        QCOMPARE(divecore::getSameMixture(gases.data(), n, Gas(18, 45)), 3);
        QCOMPARE(divecore::getSameMixture(gases.data(), n, Gas(18, 44)), -1);
        QCOMPARE(divecore::getSameMixture(gases.data(), 0, Gas(32, 0)), -1);
    }

    void bestMixAtDepth_data()
    {
        QTest::addColumn<std::vector<Gas>>("gases");
        QTest::addColumn<double>("pressure");
        QTest::addColumn<int>("index");

        const std::vector<Gas> deco{gas(21, 0, 1.6f), gas(50, 0, 1.6f), gas(100, 0, 1.6f)};
        QTest::newRow("richest within limit, deep") << deco << 4.0 << 0;
        QTest::newRow("richest within limit, 20 m") << deco << 3.0 << 1;
        QTest::newRow("limit reached exactly") << deco << 1.6 << 2;
        QTest::newRow("equal candidates keep the first") << std::vector<Gas>{gas(32, 0, 1.6f), gas(32, 0, 1.6f)} << 3.0 << 0;
        QTest::newRow("unset maximum never taken") << std::vector<Gas>{gas(21, 0, -1.0f), gas(32, 0, 0.0f)} << 2.0 << -1;
        QTest::newRow("switched off skipped") << std::vector<Gas>{gas(21, 0, 1.6f), gas(50, 0, 1.6f, MixtureUse::OpenCircuit, 1)} << 3.0 << 0;
        QTest::newRow("other use skipped") << std::vector<Gas>{gas(21, 0, 1.6f), gas(50, 0, 1.6f, MixtureUse::Bailout)} << 3.0 << 0;
        // 6 m fixed: taken above 1.613 bar whatever its oxygen pressure.
        QTest::newRow("fixed depth above switch") << std::vector<Gas>{gas(21, 0, 1.6f), fixedAt(gas(100, 0, 0.0f), 6.0f)} << 1.6 << 1;
        QTest::newRow("fixed depth below switch") << std::vector<Gas>{gas(21, 0, 1.6f), fixedAt(gas(100, 0, 0.0f), 6.0f)} << 1.62 << 0;
        QTest::newRow("later richer gas beats a fixed one") << std::vector<Gas>{fixedAt(gas(21, 0, 0.0f), 6.0f), gas(50, 0, 1.6f)} << 1.5 << 1;
    }

    void bestMixAtDepth()
    {
        QFETCH(std::vector<Gas>, gases);
        QFETCH(double, pressure);
        QTEST(divecore::getBestMixAtDepth(gases.data(), int(gases.size()), pressure, 1.0, MixtureUse::OpenCircuit), "index");
    }

    void mixBeforeDepth_data()
    {
        QTest::addColumn<std::vector<Gas>>("gases");
        QTest::addColumn<double>("entry");
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("limit");

        QTest::newRow("largest operating pressure") << std::vector<Gas>{gas(50, 0, 1.6f), gas(32, 0, 1.4f)} << 0.0 << 1 << double(1.4f / 0.32f);
        QTest::newRow("equal values keep the first") << std::vector<Gas>{gas(50, 0, 1.6f), gas(50, 0, 1.6f)} << 0.0 << 0 << double(1.6f / 0.5f);
        QTest::newRow("nothing above the entry") << std::vector<Gas>{gas(50, 0, 1.6f)} << 5.0 << -1 << 5.0;
        QTest::newRow("entry equal is not above") << std::vector<Gas>{gas(50, 0, 1.6f)} << double(1.6f / 0.5f) << -1 << double(1.6f / 0.5f);
        QTest::newRow("fixed switch depth") << std::vector<Gas>{gas(50, 0, 1.6f), fixedAt(gas(21, 0, 1.4f), 40.0f)} << 0.0 << 1 << 4.0;
        QTest::newRow("switched off skipped") << std::vector<Gas>{gas(50, 0, 1.6f), gas(21, 0, 1.4f, MixtureUse::OpenCircuit, 1)} << 0.0 << 0 << double(1.6f / 0.5f);
    }

    void mixBeforeDepth()
    {
        QFETCH(std::vector<Gas>, gases);
        QFETCH(double, entry);
        double limit = entry;
        QTEST(divecore::getMixBeforeDepth(gases.data(), int(gases.size()), limit, 1.0, MixtureUse::OpenCircuit), "index");
        QTEST(limit, "limit");
    }
};

MAREVANE_TEST_MAIN(GasListTest)
#include "tst_gaslist.moc"
