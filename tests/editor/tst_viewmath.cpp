#include "editor/infoline.h"
#include "editor/viewmath.h"
#include "testsupport.h"

#include <limits>

using namespace ViewMath;

// The view's numbers, to the pixel and to the digit shown.
class ViewMathTest : public QObject
{
    Q_OBJECT

private slots:
    void fitScaleAndViewSize()
    {
        const QList<std::tuple<QSize, float, QSize, QString>> pictures = {
                {{320, 240}, 1.0f, {320, 240}, "1.00"},
                {{321, 240}, 320.0f / 321.0f, {320, 239}, "1.00"},
                {{640, 480}, 0.5f, {320, 240}, "0.50"},
                {{2048, 1536}, 0.15625f, {320, 240}, "0.16"},
                // Rounded as C's "%.2f" rounds the exact value, half to even.
                {{512, 384}, 0.625f, {320, 240}, "0.62"},
                {{2560, 1920}, 0.125f, {320, 240}, "0.12"},
                {{1000, 200}, 0.32f, {320, 64}, "0.32"},
                {{480, 640}, 0.375f, {180, 240}, "0.38"},
                {{100, 50}, 1.0f, {100, 50}, "1.00"}};
        for (const auto &[picture, scale, view, shown] : pictures) {
            QCOMPARE(fitScale(picture), scale);
            QCOMPARE(scaledSize(picture, scale), view);
            QCOMPARE(scaleValue(scale), shown);
        }
    }

    void zoomSteps()
    {
        float scale = 0.5f;
        for (int step = 1; step <= 30; ++step)
            scale = zoomedIn(scale);
        QVERIFY(scale < LargestScale && scale > 1.999999f);
        QCOMPARE(zoomedIn(scale), LargestScale);

        QList<float> scales;
        for (scale = 0.2f; zoomedOut(scale) != scale; scale = zoomedOut(scale))
            scales.append(zoomedOut(scale));
        QCOMPARE(scales.size(), 4);
        QVERIFY(scales.at(3) > 8.1e-9f && scales.at(3) < 8.3e-9f);
        QCOMPARE(scaledSize(QSize(6000, 4000), scales.at(3)), QSize(0, 0));
    }

    void truncationSaturates()
    {
        QCOMPARE(truncated(-1.9f), -1);
        QCOMPARE(truncated(3e9f), std::numeric_limits<int>::max());
        QCOMPARE(truncated(std::numeric_limits<float>::quiet_NaN()), 0);
    }

    void rectangleMapping()
    {
        QCOMPARE(mapRect({10, 20}, {110, 70}, 0.5f), QRect(QPoint(20, 40), QPoint(219, 139)));
        QCOMPARE(mapRect({110, 70}, {10, 20}, 0.5f), QRect(QPoint(20, 40), QPoint(219, 139)));
        QCOMPARE(mapRect({30, 40}, {30, 40}, 0.5f), QRect(QPoint(60, 80), QPoint(59, 79)));
        QCOMPARE(mapRect({0, 0}, {100, 100}, 0.55f).width(), 181);
        const QRect far = mapRect({0, 0}, {160, 120}, 8.2e-9f);
        QCOMPARE(far.topLeft(), QPoint(0, 0));
        QCOMPARE(far.right(), std::numeric_limits<int>::max() - 1);
    }

    void overlayLinesTakeTheirValuesInTurn()
    {
        QCOMPARE(infoLine("Size:%1x%1 Scale:%1", {"1600", "1200", "0.20"}),
                 QStringLiteral("Size:1600x1200 Scale:0.20"));
        QCOMPARE(infoLine("(%1,%1)", {"%1", "7"}), QStringLiteral("(%1,7)"));
    }
};

PICTALUX_TEST_MAIN(ViewMathTest)
#include "tst_viewmath.moc"
