// zorvan-icon-sizes PICTURE FOLDER: writes the program icon in the hicolor theme's sizes,
// FOLDER/hicolor/<n>x<n>/apps/zorvan.png, scaled smoothly from PICTURE.
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: zorvan-icon-sizes PICTURE FOLDER\n");
        return 2;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    if (icon.isNull()) {
        std::fprintf(stderr, "zorvan-icon-sizes: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        const QImage scaled = icon.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!QDir().mkpath(folder) || !scaled.save(folder + QStringLiteral("/zorvan.png"))) {
            std::fprintf(stderr, "zorvan-icon-sizes: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
