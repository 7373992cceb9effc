#include "toolkit/NamedImage.h"

#include <QFile>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <memory>

namespace quillon {

namespace {

class SvgImageEngine : public QIconEngine {
public:
    explicit SvgImageEngine(std::shared_ptr<QSvgRenderer> svg) : svg_(std::move(svg)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        svg_->render(painter, rect);
    }

    // At the pixel size asked: for a scale factor of 2 the icon asks for twice its size.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) return {};
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            paint(&painter, image.rect(), mode, state);
        }
        return QPixmap::fromImage(std::move(image));
    }

    QIconEngine* clone() const override { return new SvgImageEngine(svg_); }
    QString key() const override { return QStringLiteral("QuillonSvgImage"); }

private:
    std::shared_ptr<QSvgRenderer> svg_;
};

}  // namespace

QIcon namedImage(const QString& name) {
    const QString path = QStringLiteral(":/images/%1.svg").arg(name);
    if (!QFile::exists(path)) return {};
    auto svg = std::make_shared<QSvgRenderer>(path);
    if (!svg->isValid()) return {};
    return QIcon(new SvgImageEngine(std::move(svg)));
}

}  // namespace quillon
