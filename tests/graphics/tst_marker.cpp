#include "testenvironment.h"

#include "graphics/marker.h"

#include <QTemporaryDir>

Q_DECLARE_METATYPE(QImage*)

// The marker statics are process-wide: every test starts from empty names
// and null images.
class MarkerTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;

    QString pictureFile(const QString& name, int width, int height)
    {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(Qt::red);
        const QString path = mDir.filePath(name);
        image.save(path);
        return path;
    }

    static void resetStatics()
    {
        for (int type = 0; type <= 9; ++type)
            Marker::setMarkerIconFileName(MarkerType(type), QString());
        for (int type = 0; type <= 11; ++type)
            Marker::setIconFilename(IconType(type), QString());
        for (int slot = 0; slot < Marker::kGasIconCount; ++slot) {
            Marker::setGasIconFilename(slot, QString());
            Marker::mMarkGases[slot] = QImage();
        }
        for (QImage* image : {&Marker::mMarkInfo, &Marker::mMarkWarning, &Marker::mMarkDiver,
                              &Marker::mMarkAlertCNS, &Marker::mMarkAlert24h})
            *image = QImage();
    }

private slots:
    void init() { resetStatics(); }
    void cleanupTestCase() { resetStatics(); }

    void hotSpotFollowsTheImage_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QPoint>("hotSpot");
        QTest::addColumn<QImage*>("image");
        QTest::newRow("diver: middle of the bottom edge") << int(MarkerType::Diver) << QPoint(10, 30) << &Marker::mMarkDiver;
        QTest::newRow("warning: centre") << int(MarkerType::Warning) << QPoint(10, 15) << &Marker::mMarkWarning;
        QTest::newRow("type 12: the info image") << 12 << QPoint(10, 15) << &Marker::mMarkInfo;
        QTest::newRow("negative type: the info image") << -1 << QPoint(10, 15) << &Marker::mMarkInfo;
    }

    void hotSpotFollowsTheImage()
    {
        QFETCH(int, type);
        QFETCH(QPoint, hotSpot);
        QFETCH(QImage*, image);
        const QString file = pictureFile(QStringLiteral("twenty-by-thirty.png"), 20, 30);
        for (MarkerType kind : {MarkerType::Info, MarkerType::Warning, MarkerType::Diver})
            Marker::setMarkerIconFileName(kind, file);
        Marker::loadPictures();

        const Marker marker(7, MarkerType(type), QStringLiteral("text"), true);
        QCOMPARE(int(marker.mType), type);
        QCOMPARE(marker.mImage, image);
        QCOMPARE(marker.mHotSpot, hotSpot);
        QCOMPARE(marker.mId, 7);
        QCOMPARE(marker.mText, QStringLiteral("text"));
        QVERIFY(marker.mActive);
        QCOMPARE(marker.mTime, 0.0);
        QCOMPARE(marker.mPos, QPointF());
    }

    void markerBuiltBeforeLoadingKeepsNoHotSpotButShowsTheNewPicture()
    {
        const Marker early(1, MarkerType::Warning, QString(), true);
        Marker::setMarkerIconFileName(MarkerType::Warning, pictureFile(QStringLiteral("w.png"), 20, 30));
        Marker::loadPictures();
        QCOMPARE(early.mHotSpot, QPoint(0, 0));
        QCOMPARE(early.mImage, &Marker::mMarkWarning);
        QCOMPARE(early.mImage->size(), QSize(20, 30));
    }

    void settersIgnoreUnknownSlots()
    {
        const QString file = pictureFile(QStringLiteral("slot.png"), 4, 4);
        Marker::setGasIconFilename(8, file);
        Marker::setGasIconFilename(-1, file);
        Marker::setMarkerIconFileName(MarkerType(10), file);
        Marker::setMarkerIconFileName(MarkerType(-1), file);
        Marker::setIconFilename(IconType(12), file);
        for (const QString& name : Marker::sGasFilenames)
            QVERIFY(name.isEmpty());
        QVERIFY(Marker::sAlert24HFilename.isEmpty());
        QVERIFY(Marker::sInfoFilename.isEmpty());
        QVERIFY(Marker::sAlertDensityFilename.isEmpty());

        Marker::setGasIconFilename(7, file);
        Marker::setIconFilename(IconType::AlertCNS, file);
        Marker::setMarkerIconFileName(MarkerType::Alert24H, file);
        Marker::loadPictures();
        QCOMPARE(Marker::mMarkGases[7].size(), QSize(4, 4));
        QCOMPARE(Marker::mMarkAlertCNS.size(), QSize(4, 4));
        QCOMPARE(Marker::mMarkAlert24h.size(), QSize(4, 4));
    }

    void failedLoadKeepsThePreviousPicture()
    {
        Marker::setMarkerIconFileName(MarkerType::Info, pictureFile(QStringLiteral("info.png"), 8, 6));
        Marker::loadPictures();
        Marker::setMarkerIconFileName(MarkerType::Info, mDir.filePath(QStringLiteral("missing.png")));
        Marker::loadPictures();
        QCOMPARE(Marker::mMarkInfo.size(), QSize(8, 6));
    }

    void gasImageOnlyForTheEightSlots_data()
    {
        QTest::addColumn<int>("gasIndex");
        QTest::addColumn<bool>("hasImage");
        QTest::newRow("0") << 0 << true;
        QTest::newRow("7") << 7 << true;
        QTest::newRow("8") << 8 << false;
        QTest::newRow("9") << 9 << false;
        QTest::newRow("-1") << -1 << false;
    }

    void gasImageOnlyForTheEightSlots()
    {
        QFETCH(int, gasIndex);
        QFETCH(bool, hasImage);
        const QImage* image = Marker::gasImage(gasIndex);
        QCOMPARE(image != nullptr, hasImage);
        if (hasImage)
            QCOMPARE(image, &Marker::mMarkGases[gasIndex]);
    }
};

MAREVANE_TEST_MAIN(MarkerTest)
#include "tst_marker.moc"
