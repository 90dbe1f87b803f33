#include "editor/infoline.h"
#include "editor/viewmath.h"
#include "testsupport.h"

#include <limits>

using namespace ViewMath;

class ViewMathTest : public QObject
{
    Q_OBJECT

private slots:
    void fitScaleAndViewSize_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<float>("scale");
        QTest::addColumn<QSize>("view");
        QTest::addColumn<QString>("shown");
        QTest::newRow("frame size") << QSize(320, 240) << 1.0f << QSize(320, 240) << "1.00";
        QTest::newRow("one column more")
                << QSize(321, 240) << 320.0f / 321.0f << QSize(320, 239) << "1.00";
        QTest::newRow("640 x 480") << QSize(640, 480) << 0.5f << QSize(320, 240) << "0.50";
        QTest::newRow("1600 x 1200") << QSize(1600, 1200) << 0.2f << QSize(320, 240) << "0.20";
        QTest::newRow("2048 x 1536") << QSize(2048, 1536) << 0.15625f << QSize(320, 240) << "0.16";
        QTest::newRow("wide") << QSize(1000, 200) << 0.32f << QSize(320, 64) << "0.32";
        QTest::newRow("tall") << QSize(480, 640) << 0.375f << QSize(180, 240) << "0.38";
        QTest::newRow("small") << QSize(100, 50) << 1.0f << QSize(100, 50) << "1.00";
        QTest::newRow("strip") << QSize(1, 10000) << 0.024f << QSize(0, 240) << "0.02";
    }
    void fitScaleAndViewSize()
    {
        QFETCH(QSize, picture);
        QFETCH(float, scale);
        QFETCH(QSize, view);
        QFETCH(QString, shown);
        const float fitted = fitScale(picture);
        QCOMPARE(fitted, scale);
        QCOMPARE(scaledSize(picture, fitted), view);
        QCOMPARE(QString::number(fitted, 'f', 2), shown);
    }

    void zoomInReachesTheLargestScaleIn31Steps()
    {
        float scale = 0.5f;
        for (int step = 1; step <= 30; ++step)
            scale = zoomedIn(scale);
        QVERIFY(scale < LargestScale);
        QVERIFY(qAbs(scale - 1.9999992f) < 1e-6f);
        QCOMPARE(QString::number(scale, 'f', 2), QStringLiteral("2.00"));
        QCOMPARE(zoomedIn(scale), LargestScale);
        QCOMPARE(zoomedIn(0.55f), 0.6f);
    }

    void zoomOutStopsAboveZero()
    {
        float scale = 1.0f;
        int steps = 0;
        while (zoomedOut(scale) != scale) {
            scale = zoomedOut(scale);
            ++steps;
        }
        QCOMPARE(steps, 19);
        QVERIFY(qAbs(scale - 0.05f) < 1e-6f);

        QList<float> scales;
        for (scale = 0.2f; zoomedOut(scale) != scale; scale = zoomedOut(scale))
            scales.append(zoomedOut(scale));
        QCOMPARE(scales.size(), 4);
        QVERIFY(scales.at(3) > 8.1e-9f && scales.at(3) < 8.3e-9f);
        QCOMPARE(scaledSize(QSize(6000, 4000), scales.at(3)), QSize(0, 0));
    }

    void recentringKeepsTheCentre()
    {
        // 640 x 480 at 0.50, window at (0, 0), one step in to 0.55: a 352 x 264 view.
        const float ratio = zoomedIn(0.5f) / 0.5f;
        QCOMPARE(scaledSize(QSize(640, 480), zoomedIn(0.5f)), QSize(352, 264));
        QCOMPARE(recentred(0, 0, ratio, 160.0f), 16);
        QCOMPARE(recentred(0, 0, ratio, 120.0f), 12);
        // A centred view counts from its blit position.
        QCOMPARE(recentred(0, 70, 2.0f, 160.0f), 20);
        QCOMPARE(recentred(0, 0, 1e30f, 160.0f), std::numeric_limits<int>::max());
    }

    void truncationTowardZeroSaturates()
    {
        QCOMPARE(truncated(1.9f), 1);
        QCOMPARE(truncated(-1.9f), -1);
        QCOMPARE(truncated(3e9f), std::numeric_limits<int>::max());
        QCOMPARE(truncated(-3e9f), std::numeric_limits<int>::min());
        QCOMPARE(truncated(std::numeric_limits<float>::quiet_NaN()), 0);
        QCOMPARE(truncated(std::numeric_limits<float>::infinity()),
                 std::numeric_limits<int>::max());
    }

    void rectangleMapping_data()
    {
        QTest::addColumn<QPoint>("first");
        QTest::addColumn<QPoint>("second");
        QTest::addColumn<float>("scale");
        QTest::addColumn<QRect>("picture");
        QTest::newRow("half scale") << QPoint(10, 20) << QPoint(110, 70) << 0.5f
                                    << QRect(QPoint(20, 40), QPoint(219, 139));
        QTest::newRow("corners swapped") << QPoint(110, 70) << QPoint(10, 20) << 0.5f
                                         << QRect(QPoint(20, 40), QPoint(219, 139));
        QTest::newRow("unscaled") << QPoint(10, 10) << QPoint(110, 110) << 1.0f
                                  << QRect(QPoint(10, 10), QPoint(109, 109));
        QTest::newRow("coinciding") << QPoint(30, 40) << QPoint(30, 40) << 0.5f
                                    << QRect(QPoint(60, 80), QPoint(59, 79));
        QTest::newRow("0.55 truncates")
                << QPoint(0, 0) << QPoint(100, 100) << 0.55f << QRect(0, 0, 181, 181);
    }
    void rectangleMapping()
    {
        QFETCH(QPoint, first);
        QFETCH(QPoint, second);
        QFETCH(float, scale);
        QFETCH(QRect, picture);
        const QRect mapped = mapRect(first, second, scale);
        QCOMPARE(mapped, picture);
    }

    void overlayLinesTakeTheirValuesInTurn()
    {
        QCOMPARE(infoLine("Size:%1x%1 Scale:%1", {"1600", "1200", scaleValue(0.2f)}),
                 QStringLiteral("Size:1600x1200 Scale:0.20"));
        QCOMPARE(infoLine("(%1,%1)  :%1", {"%1", "7", "x"}), QStringLiteral("(%1,7)  :x"));
        QCOMPARE(infoLine(":%1", {"1", "2"}), QStringLiteral(":1"));
        QCOMPARE(scaleValue(0.15625f), QStringLiteral("0.16"));
        QCOMPARE(scaleValue(1.9999992f), QStringLiteral("2.00"));
    }

    void nearZeroScaleSaturates()
    {
        const float tiny = 8.195639e-9f;
        QCOMPARE(toPicture(0, tiny), 0);
        QCOMPARE(toPicture(160, tiny), std::numeric_limits<int>::max());
        const QRect mapped = mapRect(QPoint(0, 0), QPoint(160, 120), tiny);
        QCOMPARE(mapped.topLeft(), QPoint(0, 0));
        QCOMPARE(mapped.right(), std::numeric_limits<int>::max() - 1);
    }
};

PICTALUX_TEST_MAIN(ViewMathTest)
#include "tst_viewmath.moc"
