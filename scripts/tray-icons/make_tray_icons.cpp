// Draws the three frames of the tray icon (101 still, 102 and 103 animated): a phone sending
// one, two or three signal waves. 32 x 32 pixels, transparent background.
//
// Built and run by scripts/make-tray-icons; the PNGs it writes are kept in data/icons/.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdio>

namespace {

void drawPhone(QPainter& p) {
    // Body.
    QPainterPath body;
    body.addRoundedRect(QRectF(5.5, 6.5, 14, 24), 3, 3);
    p.setPen(QPen(QColor(0x1b, 0x25, 0x30), 1));
    p.setBrush(QColor(0x34, 0x48, 0x5c));
    p.drawPath(body);
    // Antenna.
    p.setPen(QPen(QColor(0x1b, 0x25, 0x30), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16.5, 6), QPointF(16.5, 2.5));
    // Screen.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9c, 0xe6, 0xa4));
    p.drawRoundedRect(QRectF(8, 9, 9, 7), 1, 1);
    // Keypad: three by three keys.
    p.setBrush(QColor(0xe8, 0xee, 0xf4));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            p.drawRect(QRectF(8 + col * 3.2, 18.5 + row * 3.4, 2.2, 2.2));
        }
    }
}

void drawWaves(QPainter& p, int count) {
    // Quarter arcs around the antenna tip, opening to the upper right.
    const QPointF centre(16.5, 2.5);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        const double r = 4.5 + i * 4.5;
        p.setPen(QPen(QColor(0xf0, 0x8c, 0x1e), 2, Qt::SolidLine, Qt::RoundCap));
        QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
        p.drawArc(box, -60 * 16, 60 * 16);  // from 60 degrees below the horizontal up to it
    }
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    for (int frame = 101; frame <= 103; ++frame) {
        QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        drawPhone(p);
        drawWaves(p, frame - 100);
        p.end();
        const QString path = dir + QStringLiteral("/%1.png").arg(frame);
        if (!img.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
