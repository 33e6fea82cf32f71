#include <QTest>

#include "QtTestRegistry.h"
#include "image/qt/RaViruQImage.h"

using namespace quillet;

class RaViruQImageTest : public QObject {
    Q_OBJECT
private slots:
    void trueColourRoundTripIsUpright() {
        QImage src(3, 2, QImage::Format_RGB888);
        src.fill(Qt::white);
        src.setPixel(0, 0, qRgb(255, 0, 0));  // top-left red
        RaViru img(ImageKind::Jpeg);
        QVERIFY(FromQImage(img, src));
        QCOMPARE(img.BitCount(), 24);
        QCOMPARE(img.PixelColorAt(0, 1), packBgr(255, 0, 0));  // top row is DIB row 1
        const QImage back = ToQImage(img);
        QCOMPARE(back.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(back.pixel(2, 1), qRgb(255, 255, 255));
    }
    void indexedKeepsPaletteAndNullClears() {
        QImage src(4, 1, QImage::Format_Indexed8);
        src.setColorTable({qRgb(0, 0, 0), qRgb(10, 20, 30)});
        src.fill(1);
        RaViru img(ImageKind::Jpeg);
        QVERIFY(FromQImage(img, src));
        QCOMPARE(img.BitCount(), 8);
        QCOMPARE(img.PixelColorAt(3, 0), packBgr(10, 20, 30));
        QVERIFY(FromQImage(img, QImage()));
        QVERIFY(!img.HasBlock());
    }
    void fourBitImagesAreShownThroughTheirPalette() {
        RaViru img(3, 1, 4, ImageKind::Jpeg);
        img.SetPaletteEntry(2, 1, 2, 3);
        img.PutPixelColor(1, 0, packBgr(1, 2, 3));
        const QImage q = ToQImage(img);
        QCOMPARE(q.pixel(1, 0), qRgb(1, 2, 3));
    }
};
QUILLET_QTEST(RaViruQImageTest)
#include "test_raviru_qimage.moc"
