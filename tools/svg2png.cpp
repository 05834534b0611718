// Renders an SVG drawing into a PNG with a transparent background; used to make the files under Icons/.
// Usage: svg2png IN.svg OUT.png [WIDTH HEIGHT]

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3 && args.size() != 5) {
        std::fprintf(stderr, "usage: svg2png IN.svg OUT.png [WIDTH HEIGHT]\n");
        return 2;
    }
    QSvgRenderer renderer(args[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "svg2png: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const QSize size = args.size() == 5 ? QSize(args[3].toInt(), args[4].toInt()) : renderer.defaultSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    renderer.render(&painter);
    painter.end();
    if (!image.convertToFormat(QImage::Format_ARGB32).save(args[2])) {
        std::fprintf(stderr, "svg2png: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
