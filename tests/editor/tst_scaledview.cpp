#include "editor/scaledview.h"
#include "testsupport.h"

#include <QPainter>
#include <QRandomGenerator>

class ScaledViewTest : public QObject
{
    Q_OBJECT

private slots:
    // Any part of the view, drawn through the tile cache or rendered alone, is exactly that
    // part of a whole rendering.
    void partsEqualTheWhole()
    {
        QImage noise(301, 199, QImage::Format_ARGB32);
        QRandomGenerator generator(1);
        for (int y = 0; y < noise.height(); ++y)
            generator.fillRange(reinterpret_cast<quint32 *>(noise.scanLine(y)), noise.width());
        ScaledView view;
        view.setPicture(noise);
        for (const float scale : {0.04f, 0.37f, 0.55f, 1.0f, 1.37f, 2.0f}) {
            view.setScale(scale);
            const QRect all(QPoint(0, 0), view.size());
            const QImage whole = view.render(all);
            QCOMPARE(whole.size(), view.size());
            const QRect part = QRect(view.width() / 5, view.height() / 6, 90, 70) & all;
            QCOMPARE(view.render(part), whole.copy(part));
            QImage frame(320, 240, QImage::Format_ARGB32_Premultiplied);
            frame.fill(Qt::transparent);
            QPainter painter(&frame);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            view.draw(painter, QPoint(0, 0), QRect(7, 5, 320, 240));
            painter.end();
            const QRect shown = QRect(7, 5, 320, 240) & all;
            if (!shown.isEmpty())
                QCOMPARE(frame.copy(QRect(QPoint(0, 0), shown.size())), whole.copy(shown));
        }
    }

    // Stripes one pixel wide average to gray when smaller; larger views repeat pixels;
    // transparent parts stay transparent.
    void averagesAndRepeats()
    {
        QImage stripes(400, 300, QImage::Format_ARGB32);
        for (int x = 0; x < stripes.width(); ++x) {
            for (int y = 0; y < stripes.height(); ++y)
                stripes.setPixel(x, y, x % 2 ? 0xffffffff : (y < 150 ? 0xff000000 : 0));
        }
        ScaledView view;
        view.setPicture(stripes);
        view.setScale(0.3f);
        const QImage small = view.render(QRect(0, 0, 120, 90));
        QVERIFY(qAbs(qGray(small.pixel(30, 10)) - 127) < 12);
        QVERIFY(qAlpha(small.pixel(30, 80)) < 160 && qAlpha(small.pixel(30, 80)) > 96);
        view.setScale(2.0f);
        const QImage large = view.render(QRect(0, 0, 4, 1));
        QCOMPARE(large.pixel(1, 0), 0xff000000u);
        QCOMPARE(large.pixel(2, 0), 0xffffffffu);
        view.setScale(8.2e-9f);
        QVERIFY(view.size().isEmpty() && view.render(QRect(0, 0, 320, 240)).isNull());
    }
};

PICTALUX_TEST_MAIN(ScaledViewTest)
#include "tst_scaledview.moc"
