// Draws the program's twenty-seven icons and writes them as .ico files: the "game_" and "un_" icons at
// 16, 24, 32 and 48 pixels, every other icon at 16 pixels, all 32 bits per pixel with alpha. The
// results are committed; rebuild them with icons/make-icons.sh.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QFile>
#include <QtEndian>

#include <functional>

namespace {

// Every icon is drawn on a 48 by 48 canvas and scaled to its size.
using Drawing = std::function<void(QPainter&)>;

const QColor kOutline(40, 40, 48);

void cabinet(QPainter& p, QColor body, QColor screen, QPointF at = {0, 0}, qreal scale = 1.0) {
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    QPainterPath shape;
    shape.moveTo(12, 4);
    shape.lineTo(36, 4);
    shape.lineTo(36, 44);
    shape.lineTo(12, 44);
    shape.closeSubpath();
    p.setPen(QPen(kOutline, 2.5));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(11, 3, 26, 42), 3, 3);
    p.setBrush(screen);
    p.drawRect(QRectF(15, 9, 18, 14));
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPointF(20, 31), 3, 3);
    p.drawEllipse(QPointF(29, 31), 3, 3);
    p.restore();
}

void chip(QPainter& p, QColor body) {
    p.setPen(QPen(kOutline, 2.5));
    for (int i = 0; i < 4; ++i) {
        const qreal at = 14 + i * 6.7;
        p.drawLine(QPointF(at, 4), QPointF(at, 10));
        p.drawLine(QPointF(at, 38), QPointF(at, 44));
        p.drawLine(QPointF(4, at), QPointF(10, at));
        p.drawLine(QPointF(38, at), QPointF(44, at));
    }
    p.setBrush(body);
    p.drawRoundedRect(QRectF(9, 9, 30, 30), 3, 3);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QPointF(16, 16), 2.5, 2.5);
}

void gear(QPainter& p, QColor body) {
    QPainterPath teeth;
    const int count = 8;
    for (int i = 0; i < count * 2; ++i) {
        const qreal angle = i * M_PI / count;
        const qreal radius = i % 2 == 0 ? 21 : 15;
        const QPointF point(24 + radius * std::cos(angle), 24 + radius * std::sin(angle));
        i == 0 ? teeth.moveTo(point) : teeth.lineTo(point);
    }
    teeth.closeSubpath();
    p.setPen(QPen(kOutline, 2.5));
    p.setBrush(body);
    p.drawPath(teeth);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(24, 24), 6, 6);
}

void circleMark(QPainter& p, QColor fill, const std::function<void(QPainter&)>& mark) {
    p.setPen(QPen(kOutline, 2.5));
    p.setBrush(fill);
    p.drawEllipse(QPointF(24, 24), 20, 20);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    mark(p);
}

void screenShape(QPainter& p, QRectF rect, QColor fill, Qt::PenStyle style = Qt::SolidLine) {
    p.setPen(QPen(kOutline, 3, style));
    p.setBrush(fill);
    p.drawRoundedRect(rect, 3, 3);
}

void monitor(QPainter& p, QPointF at, qreal scale) {
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    p.setPen(QPen(kOutline, 2.5));
    p.setBrush(QColor(200, 205, 215));
    p.drawRoundedRect(QRectF(4, 6, 40, 28), 3, 3);
    p.setBrush(QColor(60, 140, 220));
    p.drawRect(QRectF(9, 11, 30, 18));
    p.setBrush(QColor(200, 205, 215));
    p.drawRect(QRectF(18, 34, 12, 4));
    p.drawRoundedRect(QRectF(6, 38, 36, 6), 2, 2);
    p.restore();
}

// The "unavailable" form: the icon faded to grey, struck through in red.
Drawing unavailable(const Drawing& draw) {
    return [draw](QPainter& p) {
        QImage inner(48, 48, QImage::Format_ARGB32_Premultiplied);
        inner.fill(Qt::transparent);
        {
            QPainter q(&inner);
            q.setRenderHint(QPainter::Antialiasing);
            draw(q);
        }
        for (int y = 0; y < 48; ++y) {
            auto* line = reinterpret_cast<QRgb*>(inner.scanLine(y));
            for (int x = 0; x < 48; ++x) {
                const int alpha = qAlpha(line[x]);
                const int grey = (qRed(line[x]) + qGreen(line[x]) + qBlue(line[x])) / 3;
                const int tone = std::min(alpha, grey * 2 / 3 + alpha / 6);  // premultiplied
                line[x] = qRgba(tone, tone, tone, alpha);
            }
        }
        p.drawImage(0, 0, inner);
        p.setPen(QPen(QColor(210, 30, 30), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 40), QPointF(40, 8));
    };
}

struct Icon {
    const char* name;
    bool allSizes;
    Drawing draw;
};

QList<Icon> icons() {
    const Drawing parent = [](QPainter& p) { cabinet(p, QColor(40, 110, 210), QColor(20, 20, 30)); };
    const Drawing clone = [](QPainter& p) {
        cabinet(p, QColor(200, 170, 240), QColor(60, 40, 90), {-8, 2}, 0.85);
        cabinet(p, QColor(150, 90, 220), QColor(30, 20, 50), {10, 6}, 0.85);
    };
    const Drawing bios = [](QPainter& p) { chip(p, QColor(40, 150, 80)); };
    const Drawing device = [](QPainter& p) { gear(p, QColor(150, 150, 160)); };
    return {
        {"file_zip", false,
         [](QPainter& p) {
             p.setPen(QPen(kOutline, 2.5));
             p.setBrush(QColor(245, 205, 80));
             p.drawRoundedRect(QRectF(8, 4, 32, 40), 3, 3);
             p.setPen(QPen(kOutline, 3));
             for (int y = 8; y < 30; y += 6) {
                 p.drawLine(QPointF(21, y), QPointF(27, y + 3));
                 p.drawLine(QPointF(27, y + 3), QPointF(21, y + 6));
             }
             p.setBrush(kOutline);
             p.drawRect(QRectF(19, 30, 10, 8));
         }},
        {"file_chd", false,
         [](QPainter& p) {
             p.setPen(QPen(kOutline, 2.5));
             p.setBrush(QColor(170, 175, 185));
             p.drawRoundedRect(QRectF(4, 8, 40, 32), 4, 4);
             p.setBrush(QColor(225, 228, 235));
             p.drawEllipse(QPointF(22, 24), 12, 12);
             p.setBrush(kOutline);
             p.drawEllipse(QPointF(22, 24), 3, 3);
             p.setPen(QPen(kOutline, 3));
             p.drawLine(QPointF(34, 34), QPointF(40, 14));
         }},
        {"all", false,
         [](QPainter& p) {
             p.setPen(QPen(kOutline, 2));
             const QColor colours[] = {QColor(220, 60, 60), QColor(60, 170, 80), QColor(60, 120, 220),
                                       QColor(240, 190, 40)};
             for (int i = 0; i < 4; ++i) {
                 p.setBrush(colours[i]);
                 p.drawRoundedRect(QRectF(5 + (i % 2) * 20, 5 + (i / 2) * 20, 18, 18), 3, 3);
             }
         }},
        {"driver_good", false,
         [](QPainter& p) {
             circleMark(p, QColor(40, 160, 70), [](QPainter& q) {
                 q.drawPolyline(QPolygonF({QPointF(14, 25), QPointF(21, 32), QPointF(34, 16)}));
             });
         }},
        {"driver_imperfect", false,
         [](QPainter& p) {
             circleMark(p, QColor(235, 150, 20), [](QPainter& q) {
                 q.drawLine(QPointF(24, 12), QPointF(24, 27));
                 q.drawPoint(QPointF(24, 36));
             });
         }},
        {"driver_preliminary", false,
         [](QPainter& p) {
             circleMark(p, QColor(210, 40, 40), [](QPainter& q) {
                 q.drawLine(QPointF(16, 16), QPointF(32, 32));
                 q.drawLine(QPointF(32, 16), QPointF(16, 32));
             });
         }},
        {"game_parent", true, parent},
        {"game_clone", true, clone},
        {"game_bios", true, bios},
        {"game_device", true, device},
        {"interface_classic", false,
         [](QPainter& p) {
             p.setPen(QPen(kOutline, 2.5));
             p.setBrush(QColor(60, 60, 70));
             p.drawRoundedRect(QRectF(8, 34, 32, 10), 3, 3);
             p.setPen(QPen(kOutline, 5, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(24, 36), QPointF(24, 16));
             p.setPen(QPen(kOutline, 2.5));
             p.setBrush(QColor(220, 40, 40));
             p.drawEllipse(QPointF(24, 12), 8, 8);
         }},
        {"interface_mechanical", false,
         [](QPainter& p) {
             gear(p, QColor(215, 130, 40));
             p.setPen(QPen(kOutline, 4, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(24, 24), QPointF(40, 6));
         }},
        {"orientation_horizontal", false,
         [](QPainter& p) { screenShape(p, QRectF(3, 12, 42, 24), QColor(80, 160, 230)); }},
        {"orientation_vertical", false,
         [](QPainter& p) { screenShape(p, QRectF(12, 3, 24, 42), QColor(80, 160, 230)); }},
        {"orientation_unknown", false,
         [](QPainter& p) {
             screenShape(p, QRectF(7, 7, 34, 34), QColor(200, 200, 205), Qt::DashLine);
             p.setPen(QPen(kOutline, 5, Qt::SolidLine, Qt::RoundCap));
             p.drawPoint(QPointF(24, 24));
         }},
        {"machine_arcade", false, [](QPainter& p) { cabinet(p, QColor(220, 60, 50), QColor(20, 20, 30)); }},
        {"machine_nonarcade", false, [](QPainter& p) { monitor(p, {0, 0}, 1.0); }},
        {"machine_both", false,
         [](QPainter& p) {
             cabinet(p, QColor(220, 60, 50), QColor(20, 20, 30), {-10, 0}, 1.0);
             monitor(p, {20, 22}, 0.55);
         }},
        {"un_game_parent", true, unavailable(parent)},
        {"un_game_clone", true, unavailable(clone)},
        {"un_game_bios", true, unavailable(bios)},
        {"un_game_device", true, unavailable(device)},
        {"status_driver", false, [](QPainter& p) { gear(p, QColor(60, 120, 200)); }},
        {"status_emulation", false,
         [](QPainter& p) {
             p.setPen(QPen(kOutline, 2.5));
             p.setBrush(QColor(40, 160, 70));
             p.drawPolygon(QPolygonF({QPointF(12, 6), QPointF(42, 24), QPointF(12, 42)}));
         }},
        {"status_color", false,
         [](QPainter& p) {
             p.setPen(QPen(kOutline, 2));
             p.setBrush(QColor(230, 50, 50, 220));
             p.drawEllipse(QPointF(17, 18), 12, 12);
             p.setBrush(QColor(50, 190, 70, 220));
             p.drawEllipse(QPointF(31, 18), 12, 12);
             p.setBrush(QColor(50, 110, 230, 220));
             p.drawEllipse(QPointF(24, 31), 12, 12);
         }},
        {"status_sound", false,
         [](QPainter& p) {
             p.setPen(QPen(kOutline, 2.5));
             p.setBrush(QColor(80, 80, 90));
             p.drawPolygon(QPolygonF({QPointF(4, 18), QPointF(14, 18), QPointF(26, 6), QPointF(26, 42),
                                      QPointF(14, 30), QPointF(4, 30)}));
             p.setBrush(Qt::NoBrush);
             p.setPen(QPen(kOutline, 3.5, Qt::SolidLine, Qt::RoundCap));
             p.drawArc(QRectF(22, 14, 14, 20), -60 * 16, 120 * 16);
             p.drawArc(QRectF(22, 6, 24, 36), -60 * 16, 120 * 16);
         }},
        {"status_graphic", false,
         [](QPainter& p) {
             p.setPen(QPen(kOutline, 2.5));
             p.setBrush(QColor(150, 205, 245));
             p.drawRoundedRect(QRectF(4, 8, 40, 32), 3, 3);
             p.setBrush(QColor(60, 150, 70));
             p.drawPolygon(QPolygonF({QPointF(6, 38), QPointF(20, 20), QPointF(30, 32), QPointF(36, 26),
                                      QPointF(42, 38)}));
             p.setBrush(QColor(250, 200, 40));
             p.drawEllipse(QPointF(34, 16), 4, 4);
         }},
    };
}

QImage render(const Drawing& draw, int size) {
    // Drawn large, then scaled down smoothly: small sizes keep their shapes.
    QImage big(192, 192, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(4, 4);
        draw(p);
    }
    return big.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

void put16(QByteArray& out, quint16 value) {
    const quint16 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), 2);
}
void put32(QByteArray& out, quint32 value) {
    const quint32 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

// One image as the ICO format stores it: a BITMAPINFOHEADER, the pixels bottom-up as BGRA, and the
// AND mask (set where the pixel is fully transparent).
QByteArray dib(const QImage& image) {
    const int size = image.width();
    QByteArray out;
    put32(out, 40);
    put32(out, quint32(size));
    put32(out, quint32(size * 2));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    const int maskStride = ((size + 31) / 32) * 4;
    put32(out, quint32(size * size * 4 + maskStride * size));
    for (int i = 0; i < 4; ++i) {
        put32(out, 0);
    }
    for (int y = size - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            out.append(char(qBlue(line[x])));
            out.append(char(qGreen(line[x])));
            out.append(char(qRed(line[x])));
            out.append(char(qAlpha(line[x])));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            if (qAlpha(line[x]) == 0) {
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out += row;
    }
    return out;
}

QByteArray icoFile(const QList<QImage>& images) {
    QByteArray header;
    put16(header, 0);
    put16(header, 1);
    put16(header, quint16(images.size()));
    QList<QByteArray> bodies;
    for (const QImage& image : images) {
        bodies.append(dib(image));
    }
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        header.append(char(images[i].width()));
        header.append(char(images[i].height()));
        header.append(char(0));  // no palette
        header.append(char(0));
        put16(header, 1);
        put16(header, 32);
        put32(header, quint32(bodies[i].size()));
        put32(header, offset);
        offset += quint32(bodies[i].size());
    }
    for (const QByteArray& body : bodies) {
        header += body;
    }
    return header;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    for (const Icon& icon : icons()) {
        QList<QImage> images;
        for (const int size : icon.allSizes ? QList<int>{16, 24, 32, 48} : QList<int>{16}) {
            images.append(render(icon.draw, size));
        }
        QFile file(folder + u'/' + QLatin1String(icon.name) + QStringLiteral(".ico"));
        if (!file.open(QIODevice::WriteOnly) || file.write(icoFile(images)) < 0) {
            qWarning("cannot write %s", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
