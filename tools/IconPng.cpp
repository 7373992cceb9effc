// Renders the program icon: quillon_icon_png ICON.svg SIZE OUTPUT.png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {
int fail(const QString& message) {
    std::fprintf(stderr, "quillon_icon_png: %s\n", message.toLocal8Bit().constData());
    return 1;
}
}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 4) return fail("usage: quillon_icon_png ICON.svg SIZE OUTPUT.png");
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) return fail(arguments[1] + " is not a readable SVG file");
    bool ok = false;
    const int size = arguments[2].toInt(&ok);
    if (!ok || size < 1 || size > 4096) return fail("bad size " + arguments[2]);

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    if (!image.save(arguments[3], "PNG")) return fail("cannot write " + arguments[3]);
    return 0;
}
