// studlab-cardgen OUTDIR: writes OUTDIR/cards/card01.jpg .. card52.jpg (73 x 100, in card-id
// order) and OUTDIR/start.jpg (321 x 481).
#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <cstdio>

#include "card_painter.h"

namespace {

bool WriteJpeg(const QImage& image, const QString& path) {
    QImageWriter writer(path, "jpeg");
    writer.setQuality(95);
    if (writer.write(image)) return true;
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                 qPrintable(writer.errorString()));
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: studlab-cardgen OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath("cards")) {
        std::fprintf(stderr, "cannot create %s/cards\n", argv[1]);
        return 1;
    }
    for (studlab::TCardId id = 1; id <= studlab::kCards; ++id) {
        const QString name = QString("cards/card%1.jpg").arg(id, 2, 10, QChar('0'));
        if (!WriteJpeg(studlab::cardgen::CardImage(id), out.filePath(name))) return 1;
    }
    return WriteJpeg(studlab::cardgen::StartImage(), out.filePath("start.jpg")) ? 0 : 1;
}
