// Draws the pictures in resources/: the banner at the top of the main window
// (image1.png, 117 x 109), the window icon (icon.png, 32 x 32) and the desktop menu's icons
// (icons/trackbinder-32.png, -48.png, -256.png).
// Not part of the main build; run once from the repository root after changing the drawing:
//   CXXFLAGS=$(pkg-config --cflags --libs Qt6Gui)
//   g++ -std=c++20 -fPIC tools/make_pictures.cpp -o /tmp/make_pictures $CXXFLAGS
//   /tmp/make_pictures resources
#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <cstdio>

namespace {

const QColor kRed(0xd0, 0x1c, 0x1f);
const QColor kDarkRed(0x7a, 0x0c, 0x10);

// A record seen from above: black vinyl, fine grooves, a light sheen and a red label.
void drawRecord(QPainter& painter, QPointF centre, qreal radius, int grooves) {
    QRadialGradient vinyl(centre, radius);
    vinyl.setColorAt(0.0, QColor(0x26, 0x26, 0x26));
    vinyl.setColorAt(0.95, QColor(0x10, 0x10, 0x10));
    vinyl.setColorAt(1.0, QColor(0x3a, 0x3a, 0x3a));
    painter.setPen(Qt::NoPen);
    painter.setBrush(vinyl);
    painter.drawEllipse(centre, radius, radius);

    const qreal labelRadius = radius * 0.34;
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < grooves; ++i) {
        const qreal r = labelRadius + (radius - labelRadius) * (i + 1) / (grooves + 1);
        painter.setPen(QPen(QColor(0x4a, 0x4a, 0x4a, i % 3 == 0 ? 200 : 110), 0.6));
        painter.drawEllipse(centre, r, r);
    }

    // Light catching the grooves along one diagonal.
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    QPainterPath hole;
    hole.addEllipse(centre, labelRadius, labelRadius);
    QLinearGradient sheen(centre - QPointF(radius, radius), centre + QPointF(radius, radius));
    sheen.setColorAt(0.30, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.42, QColor(255, 255, 255, 55));
    sheen.setColorAt(0.50, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.58, QColor(255, 255, 255, 40));
    sheen.setColorAt(0.70, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sheen);
    painter.drawPath(disc.subtracted(hole));

    QRadialGradient label(centre - QPointF(labelRadius, labelRadius) * 0.3, labelRadius * 1.3);
    label.setColorAt(0.0, kRed.lighter(125));
    label.setColorAt(1.0, kDarkRed);
    painter.setBrush(label);
    painter.drawEllipse(centre, labelRadius, labelRadius);
    painter.setPen(QPen(QColor(255, 255, 255, 150), radius > 20 ? 0.8 : 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, labelRadius * 0.72, labelRadius * 0.72);

    const qreal spindle = qMax<qreal>(1.0, radius * 0.045);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, spindle, spindle);
}

// A tilted oval note head with its stem going up from the right side.
QPointF drawNoteHead(QPainter& painter, QPointF centre, qreal size) {
    painter.save();
    painter.translate(centre);
    painter.rotate(-22);
    painter.drawEllipse(QPointF(0, 0), size * 0.62, size * 0.44);
    painter.restore();
    return centre + QPointF(size * 0.55, -size * 0.18);
}

// Two eighth notes joined by a beam.
void drawBeamedNotes(QPainter& painter, QPointF firstHead, QPointF secondHead, qreal size,
                     qreal stemHeight, const QColor& colour) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const QPointF firstStem = drawNoteHead(painter, firstHead, size);
    const QPointF secondStem = drawNoteHead(painter, secondHead, size);
    const qreal stemWidth = qMax<qreal>(1.0, size * 0.16);
    const QPointF firstTop = firstStem - QPointF(0, stemHeight);
    const QPointF secondTop = secondStem - QPointF(0, stemHeight);
    painter.drawRect(
        QRectF(firstTop.x() - stemWidth, firstTop.y(), stemWidth, firstStem.y() - firstTop.y()));
    painter.drawRect(QRectF(secondTop.x() - stemWidth, secondTop.y(), stemWidth,
                            secondStem.y() - secondTop.y()));
    const qreal beam = size * 0.55;
    QPainterPath beamPath;
    beamPath.moveTo(firstTop - QPointF(stemWidth, 0));
    beamPath.lineTo(secondTop);
    beamPath.lineTo(secondTop + QPointF(0, beam));
    beamPath.lineTo(firstTop + QPointF(-stemWidth, beam));
    beamPath.closeSubpath();
    painter.drawPath(beamPath);
}

// A single eighth note with a curved flag.
void drawEighthNote(QPainter& painter, QPointF head, qreal size, qreal stemHeight,
                    const QColor& colour) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const QPointF stem = drawNoteHead(painter, head, size);
    const qreal stemWidth = qMax<qreal>(1.0, size * 0.16);
    const QPointF top = stem - QPointF(0, stemHeight);
    painter.drawRect(QRectF(top.x() - stemWidth, top.y(), stemWidth, stem.y() - top.y()));
    QPainterPath flag;
    flag.moveTo(top);
    flag.cubicTo(top + QPointF(size * 0.2, size * 0.9), top + QPointF(size * 1.3, size * 0.9),
                 top + QPointF(size * 0.8, size * 2.0));
    flag.cubicTo(top + QPointF(size * 1.0, size * 1.2), top + QPointF(size * 0.3, size * 1.0),
                 top + QPointF(0, size * 0.8));
    flag.closeSubpath();
    painter.drawPath(flag);
}

QImage drawBanner() {
    QImage image(117, 109, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // A faint red glow behind the record lifts it off the black window.
    QRadialGradient glow(QPointF(50, 62), 62);
    glow.setColorAt(0.0, QColor(kRed.red(), kRed.green(), kRed.blue(), 70));
    glow.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.fillRect(image.rect(), glow);

    drawRecord(painter, QPointF(48, 64), 41, 14);

    drawBeamedNotes(painter, QPointF(86, 36), QPointF(104, 30), 6.5, 24, Qt::white);
    drawEighthNote(painter, QPointF(95, 84), 5.0, 18, kRed.lighter(115));

    // Playlist lines in the top left corner, the last one red like the label.
    const QColor line(255, 255, 255, 190);
    for (int i = 0; i < 3; ++i) {
        painter.fillRect(QRectF(6, 7 + i * 5, 26 - i * 6, 2), line);
    }
    painter.fillRect(QRectF(6, 22, 14, 2), kRed);
    return image;
}

// Drawn on a 32-unit grid and scaled, so every size shows the same picture.
QImage drawIcon(int size = 32) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    drawRecord(painter, QPointF(13.5, 14.5), 13, 4);
    // A thin dark outline keeps the white note readable where it crosses the record.
    QPainterPath note;
    note.addEllipse(QPointF(23.2, 27.2), 4.0, 3.0);
    note.addRect(QRectF(25.4, 10.5, 2.2, 16.5));
    QPainterPath flag;
    flag.moveTo(25.4, 10.5);
    flag.cubicTo(27.5, 14.0, 31.5, 14.5, 30.0, 21.0);
    flag.cubicTo(29.8, 17.5, 28.0, 16.0, 25.4, 15.5);
    flag.closeSubpath();
    note = note.united(flag);
    painter.setPen(QPen(QColor(0, 0, 0, 220), 1.0));
    painter.setBrush(Qt::white);
    painter.drawPath(note);
    return image;
}

bool save(const QImage& image, const QString& path) {
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The desktop menu's icons, one per size of the hicolor theme that we install.
bool saveDesktopIcons(const QString& directory) {
    QDir().mkpath(directory + QStringLiteral("/icons"));
    for (int size : {32, 48, 256}) {
        if (!save(drawIcon(size),
                  directory + QStringLiteral("/icons/trackbinder-%1.png").arg(size)))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const bool ok = save(drawBanner(), directory + QStringLiteral("/image1.png")) &&
                    save(drawIcon(), directory + QStringLiteral("/icon.png")) &&
                    saveDesktopIcons(directory);
    return ok ? 0 : 1;
}
