#include "editor/scaledview.h"
#include "testsupport.h"

#include <QPainter>
#include <QRandomGenerator>

class ScaledViewTest : public QObject
{
    Q_OBJECT

private:
    static QImage noise(QSize size, bool alpha)
    {
        QImage image(size, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        QRandomGenerator generator(size.width() * 7919 + size.height());
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = generator.generate() | (alpha ? 0 : 0xff000000);
        }
        return image;
    }

private slots:
    // Any part of the view renders exactly as the same part of a whole rendering.
    void partsEqualTheWhole_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("alpha");
        QTest::addColumn<float>("scale");
        for (const float scale : {0.04f, 0.16f, 0.37f, 0.5f, 0.55f, 0.99f, 1.0f, 1.37f, 2.0f}) {
            QTest::addRow("997x613 at %g", double(scale)) << QSize(997, 613) << false << scale;
            QTest::addRow("301x199 alpha at %g", double(scale)) << QSize(301, 199) << true << scale;
        }
    }
    void partsEqualTheWhole()
    {
        QFETCH(QSize, picture);
        QFETCH(bool, alpha);
        QFETCH(float, scale);
        ScaledView view;
        view.setPicture(noise(picture, alpha));
        view.setScale(scale);
        const QImage whole = view.render(QRect(QPoint(0, 0), view.size()));
        QCOMPARE(whole.size(), view.size());
        const QList<QRect> parts = {{0, 0, 64, 64},     {63, 1, 2, 300},       {13, 17, 320, 240},
                                    {view.width() - 5, view.height() - 7, 40, 40},
                                    {-20, -20, 50, 50}};
        for (const QRect &part : parts) {
            const QRect clipped = part & QRect(QPoint(0, 0), view.size());
            if (clipped.isEmpty())
                QVERIFY(view.render(part).isNull());
            else
                QCOMPARE(view.render(part), whole.copy(clipped));
        }

        // The same through the cache of drawn parts, twice.
        const QRect window(QPoint(qMax(0, view.width() / 3), qMax(0, view.height() / 4)),
                           QSize(320, 240));
        for (int pass = 0; pass < 2; ++pass) {
            QImage frame(320, 240, QImage::Format_ARGB32_Premultiplied);
            frame.fill(Qt::transparent);
            QPainter painter(&frame);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            view.draw(painter, QPoint(0, 0), window);
            painter.end();
            const QRect shown = window & QRect(QPoint(0, 0), view.size());
            QCOMPARE(frame.copy(QRect(QPoint(0, 0), shown.size()))
                             .convertToFormat(whole.format()),
                     whole.copy(shown));
        }
    }

    void downscalingAveragesInsteadOfDroppingPixels()
    {
        // One-pixel stripes of black and white become an even gray, at any downscale.
        QImage stripes(400, 300, QImage::Format_RGB32);
        for (int x = 0; x < stripes.width(); ++x) {
            for (int y = 0; y < stripes.height(); ++y)
                stripes.setPixel(x, y, x % 2 ? 0xffffffff : 0xff000000);
        }
        ScaledView view;
        view.setPicture(stripes);
        for (const float scale : {0.5f, 0.3f, 0.1f}) {
            view.setScale(scale);
            const QImage shown = view.render(QRect(QPoint(0, 0), view.size()));
            for (const QPoint at : {QPoint(1, 1), QPoint(shown.width() / 2, shown.height() / 2)}) {
                const int gray = qGray(shown.pixel(at));
                QVERIFY2(gray > 110 && gray < 145, qPrintable(QString::number(gray)));
            }
        }
    }

    void upscalingRepeatsPixels()
    {
        QImage two(2, 1, QImage::Format_RGB32);
        two.setPixel(0, 0, 0xffff0000);
        two.setPixel(1, 0, 0xff0000ff);
        ScaledView view;
        view.setPicture(two);
        view.setScale(2.0f);
        const QImage shown = view.render(QRect(0, 0, 4, 2));
        QCOMPARE(shown.pixel(1, 1), 0xffff0000u);
        QCOMPARE(shown.pixel(2, 0), 0xff0000ffu);
    }

    void transparencyIsKept()
    {
        QImage picture(100, 100, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        QPainter(&picture).fillRect(0, 0, 50, 100, Qt::red);
        ScaledView view;
        view.setPicture(picture);
        QVERIFY(view.hasAlphaChannel());
        view.setScale(0.5f);
        const QImage shown = view.render(QRect(0, 0, 50, 50));
        QCOMPARE(qAlpha(shown.pixel(40, 10)), 0);
        QCOMPARE(shown.pixel(10, 10), 0xffff0000u);
    }

    void emptyViewRendersNothing()
    {
        ScaledView view;
        view.setPicture(noise(QSize(6000, 40), false));
        view.setScale(8.2e-9f);
        QCOMPARE(view.size(), QSize(0, 0));
        QVERIFY(view.render(QRect(0, 0, 320, 240)).isNull());
        QImage frame(320, 240, QImage::Format_RGB32);
        frame.fill(Qt::gray);
        const QImage before = frame;
        QPainter painter(&frame);
        view.draw(painter, QPoint(160, 120), QRect(0, 0, 0, 0));
        painter.end();
        QCOMPARE(frame, before);
    }
};

PICTALUX_TEST_MAIN(ScaledViewTest)
#include "tst_scaledview.moc"
