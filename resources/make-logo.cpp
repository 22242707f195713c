// Draws logo.jpg, the picture of the welcome page. The result is committed; rebuild it with:
//   g++ -std=c++20 -fPIC make-logo.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make-logo && \
//   QT_QPA_PLATFORM=offscreen /tmp/make-logo logo.jpg
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QImage image(420, 120, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 420, 120);
    sky.setColorAt(0, QColor(0x1d, 0x35, 0x57));
    sky.setColorAt(1, QColor(0x45, 0x7b, 0x9d));
    p.fillRect(image.rect(), sky);
    // A stylised kestrel hovering: two swept wings and a tail.
    QPainterPath bird;
    bird.moveTo(28, 64);
    bird.quadTo(60, 22, 104, 30);
    bird.quadTo(78, 48, 70, 60);
    bird.lineTo(98, 96);
    bird.lineTo(62, 72);
    bird.quadTo(46, 70, 28, 64);
    p.fillPath(bird, QColor(0xe9, 0xc4, 0x6a));
    p.setPen(QColor(0xf1, 0xfa, 0xee));
    QFont title(QStringLiteral("DejaVu Sans"), 40, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(124, 10, 290, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kestrum"));
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    p.drawText(QRect(128, 78, 290, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("tidies your MAME collection"));
    p.end();
    return image.save(QString::fromLocal8Bit(argc > 1 ? argv[1] : "logo.jpg"), "JPG", 90) ? 0 : 1;
}
