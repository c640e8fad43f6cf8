// Saves what the X display shows (the whole screen, or the rectangle x y w h) as a
// PNG file: the install test's screenshot of Qt Designer under Xvfb.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: grabscreen <out.png> [x y width height]\n");
        return 2;
    }
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    if (argc == 6)
        shot = shot.copy(QString::fromLocal8Bit(argv[2]).toInt(), QString::fromLocal8Bit(argv[3]).toInt(),
                         QString::fromLocal8Bit(argv[4]).toInt(), QString::fromLocal8Bit(argv[5]).toInt());
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
