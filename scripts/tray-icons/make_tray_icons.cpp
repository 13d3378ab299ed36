// Draws the three frames of the tray icon (101 still, 102 and 103 animated): a phone sending
// one, two or three signal waves. 32 x 32 pixels, transparent background. Also draws the
// program's icon (three waves) in the sizes of the hicolor icon theme, as
// hicolor/<n>x<n>/apps/zintor.png; data/icons/zintor.svg is the same drawing.
//
// Built and run by scripts/make-tray-icons; the PNGs it writes are kept in data/icons/.
#include <QDir>
#include <QFileInfo>
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

bool drawIcon(const QString& path, int size, int waves) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    drawPhone(p);
    drawWaves(p, waves);
    p.end();
    if (!QDir().mkpath(QFileInfo(path).path()) || !img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok = true;
    for (int frame = 101; frame <= 103; ++frame) {
        ok = drawIcon(dir + QStringLiteral("/%1.png").arg(frame), 32, frame - 100) && ok;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        ok = drawIcon(dir + QStringLiteral("/hicolor/%1x%1/apps/zintor.png").arg(size), size, 3) &&
             ok;
    }
    return ok ? 0 : 1;
}
