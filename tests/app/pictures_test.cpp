// The card pictures and the start picture, decoded from the program's resources.
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QSet>
#include <QTest>

#include "gui_test_support.h"
#include "widgets/card_pictures.h"

namespace studlab::test {
namespace {

// Pixels of the top-left index (rank and suit symbol) that are clearly red, or clearly dark.
struct TInkCount {
    int Red = 0;
    int Dark = 0;
};

TInkCount IndexInk(const QImage& card) {
    TInkCount ink;
    for (int y = 3; y < 28; ++y) {
        for (int x = 2; x < 13; ++x) {
            const QColor c = card.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 90 && c.blue() < 90) ++ink.Red;
            if (c.red() < 80 && c.green() < 80 && c.blue() < 80) ++ink.Dark;
        }
    }
    return ink;
}

}  // namespace

class TPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void jpegPicturesAreDecoded() {
        QVERIFY(QImageReader::supportedImageFormats().contains("jpeg"));
        const QPixmap start = StartPixmap();
        QCOMPARE(start.size(), kStartPictureSize);
        QSet<QByteArray> distinct;
        for (TCardId id = 1; id <= kCards; ++id) {
            const QImage card = CardPixmap(id).toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(card.size(), kCardPictureSize);
            distinct.insert(
                QByteArray(reinterpret_cast<const char*>(card.constBits()), card.sizeInBytes()));
        }
        QCOMPARE(distinct.size(), kCards);
        QVERIFY(CardPixmap(0).isNull());
        QVERIFY(CardPixmap(53).isNull());
    }

    void heartsAndDiamondsAreRedClubsAndSpadesBlack() {
        for (TCardId id = 1; id <= kCards; ++id) {
            const TInkCount ink = IndexInk(CardPixmap(id).toImage());
            const bool red = SuitIndexOf(id) == 1 || SuitIndexOf(id) == 3;  // "черви", "буби"
            const QByteArray where = QByteArray::fromStdString(CardName(id));
            if (red) {
                QVERIFY2(ink.Red > 20 && ink.Dark < 5, where);
            } else {
                QVERIFY2(ink.Dark > 20 && ink.Red < 5, where);
            }
        }
    }

    void startPictureIsShownInTheStartWindow() {
        TProgram program;
        auto* picture = program.Control<QLabel>("TForm12", "Image1");
        QCOMPARE(picture->pixmap().size(), kStartPictureSize);
    }
};

int RunPictureTests(int argc, char** argv) {
    TPicturesTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace studlab::test

#include "pictures_test.moc"
