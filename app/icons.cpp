#include "icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <utility>

namespace icons {

namespace {

// All pictures are drawn on a 48-unit grid and scaled to the wanted size.
void bolt(QPainter& p, QPointF at, double s, const QColor& fill)
{
    QPainterPath path;
    path.moveTo(at + QPointF(4, 0) * s);
    path.lineTo(at + QPointF(-6, 14) * s);
    path.lineTo(at + QPointF(0, 14) * s);
    path.lineTo(at + QPointF(-4, 28) * s);
    path.lineTo(at + QPointF(8, 10) * s);
    path.lineTo(at + QPointF(2, 10) * s);
    path.lineTo(at + QPointF(8, 0) * s);
    path.closeSubpath();
    p.setPen(QPen(QColor(90, 60, 0), 1));
    p.setBrush(fill);
    p.drawPath(path);
}

void drawMenu(QPainter& p)
{
    // A building with a bolt on its face: electrical design of buildings.
    p.setPen(QPen(QColor(20, 40, 90), 2));
    p.setBrush(QColor(60, 110, 190));
    p.drawRect(QRectF(8, 10, 32, 34));
    p.setBrush(QColor(200, 225, 255));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRect(QRectF(12 + col * 10, 14 + row * 9, 5, 5));
    bolt(p, QPointF(24, 18), 0.9, QColor(255, 210, 0));
}

void drawLoad(QPainter& p)
{
    // A power meter: dial, scale marks and needle.
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(245, 245, 235));
    p.drawEllipse(QRectF(4, 4, 40, 40));
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    for (int i = 0; i <= 6; ++i) {
        p.save();
        p.translate(24, 26);
        p.rotate(-135 + i * 45);
        p.drawLine(QPointF(0, -16), QPointF(0, -12));
        p.restore();
    }
    p.setPen(QPen(QColor(200, 30, 30), 2.5));
    p.drawLine(QPointF(24, 26), QPointF(34, 14));
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPointF(24, 26), 2.5, 2.5);
    // A small bar graph under the needle: the load.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 140));
    p.drawRect(QRectF(17, 34, 3, 5));
    p.drawRect(QRectF(22, 32, 3, 7));
    p.drawRect(QRectF(27, 30, 3, 9));
}

void drawLightning(QPainter& p)
{
    // A cloud with a lightning bolt striking down.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 130, 150));
    p.drawEllipse(QRectF(4, 8, 18, 14));
    p.drawEllipse(QRectF(14, 3, 20, 18));
    p.drawEllipse(QRectF(26, 8, 18, 14));
    p.drawRect(QRectF(10, 14, 28, 8));
    bolt(p, QPointF(22, 18), 1.0, QColor(255, 220, 0));
}

void drawLighting(QPainter& p)
{
    // A lit lamp bulb with its rays.
    p.setPen(QPen(QColor(230, 170, 0), 2));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(24, 20);
        p.rotate(i * 45);
        p.drawLine(QPointF(0, -19), QPointF(0, -15));
        p.restore();
    }
    p.setPen(QPen(QColor(150, 110, 0), 1.5));
    p.setBrush(QColor(255, 230, 80));
    p.drawEllipse(QRectF(13, 8, 22, 22));
    p.setBrush(QColor(160, 160, 170));
    p.drawRect(QRectF(19, 30, 10, 10));
    p.drawLine(QPointF(19, 34), QPointF(29, 34));
    p.drawLine(QPointF(19, 37), QPointF(29, 37));
}

void drawTrunking(QPainter& p)
{
    // A trunking cross-section holding three cables.
    p.setPen(QPen(QColor(60, 60, 60), 3));
    p.setBrush(Qt::NoBrush);
    QPainterPath channel;
    channel.moveTo(6, 12);
    channel.lineTo(6, 40);
    channel.lineTo(42, 40);
    channel.lineTo(42, 12);
    p.drawPath(channel);
    const QColor colours[] = {QColor(200, 40, 40), QColor(40, 90, 200), QColor(30, 150, 60)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(30, 30, 30), 1));
        p.setBrush(colours[i]);
        p.drawEllipse(QRectF(9 + i * 11, 27, 10, 10));
        p.setBrush(QColor(230, 150, 60));
        p.drawEllipse(QRectF(12 + i * 11, 30, 4, 4));
    }
}

} // namespace

QImage windowImage(const std::string& window, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    if (window == "fhjs")
        drawLoad(p);
    else if (window == "fljs")
        drawLightning(p);
    else if (window == "zdjs")
        drawLighting(p);
    else if (window == "XCJS")
        drawTrunking(p);
    else
        drawMenu(p);
    p.end();
    // Window icons of this program are 256-colour images.
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AutoColor)
        .convertToFormat(QImage::Format_ARGB32);
}

namespace {

// A window's picture drawn only once something shows it (the window system
// as it puts the window up, a task bar), not as the window is built: the
// offscreen platform never asks.
class PictureEngine : public QIconEngine {
public:
    PictureEngine(std::string window, int size) : window_(std::move(window)), size_(size) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        if (drawn_.isNull())
            drawn_ = QPixmap::fromImage(windowImage(window_, size_));
        // As an icon of one picture gives it: smaller where asked, never larger.
        if (size.width() < size_ || size.height() < size_)
            return drawn_.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return drawn_;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        return QSize(size_, size_).boundedTo(size);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {QSize(size_, size_)}; }
    QIconEngine* clone() const override { return new PictureEngine(*this); }
    QString key() const override { return QStringLiteral("elcarta.picture"); }

private:
    std::string window_;
    int size_;
    QPixmap drawn_;
};

} // namespace

QIcon windowIcon(const std::string& window, int size) { return QIcon(new PictureEngine(window, size)); }

} // namespace icons
