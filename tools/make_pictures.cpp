// Draws the pictures in resources/: the banner at the top of the main window
// (image1.png, 117 x 109), the window icon (icon.png, 32 x 32) and the glyphs of the
// settings button (settings.png, 35 x 83) and the help button (help.png, 40 x 40).
// Not part of the main build; run once from the repository root after changing the drawing:
//   CXXFLAGS=$(pkg-config --cflags --libs Qt6Gui)
//   g++ -std=c++20 -fPIC tools/make_pictures.cpp -o /tmp/make_pictures $CXXFLAGS
//   /tmp/make_pictures resources
#include <QColor>
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

QImage drawIcon() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
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

// Button glyphs are opaque bitmaps whose bottom-left colour marks the see-through pixels.
const QColor kGlyphKey(0xFF, 0x00, 0xFF);

// Flattens an antialiased drawing into a keyed glyph: faint pixels become the key colour,
// the rest are laid over `matte`, the colour the glyph will stand on.
QImage keyedGlyph(const QImage& drawing, const QColor& matte) {
    QImage glyph(drawing.size(), QImage::Format_RGB32);
    for (int y = 0; y < drawing.height(); ++y)
        for (int x = 0; x < drawing.width(); ++x) {
            const QColor c = drawing.pixelColor(x, y);
            if (c.alpha() < 96) {
                glyph.setPixelColor(x, y, kGlyphKey);
                continue;
            }
            const auto mix = [&](int top, int under) {
                return (top * c.alpha() + under * (255 - c.alpha())) / 255;
            };
            glyph.setPixelColor(x, y, QColor(mix(c.red(), matte.red()),
                                             mix(c.green(), matte.green()),
                                             mix(c.blue(), matte.blue())));
        }
    return glyph;
}

// A gear over three mixing-desk sliders: the settings button, 35 x 83.
QImage drawSettingsGlyph() {
    QImage image(35, 83, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QPointF hub(17.5, 17.5);
    QPainterPath gear;
    for (int tooth = 0; tooth < 8; ++tooth) {
        QPainterPath cog;
        cog.addRoundedRect(QRectF(-2.6, -14.5, 5.2, 7), 1, 1);
        QTransform turn;
        turn.translate(hub.x(), hub.y());
        turn.rotate(tooth * 45.0);
        gear.addPath(turn.map(cog));
    }
    QPainterPath wheel;
    wheel.addEllipse(hub, 10.5, 10.5);
    gear = gear.united(wheel);
    QPainterPath hole;
    hole.addEllipse(hub, 4, 4);
    gear = gear.subtracted(hole);
    QLinearGradient steel(0, 3, 0, 32);
    steel.setColorAt(0.0, kRed.lighter(135));
    steel.setColorAt(1.0, kDarkRed);
    painter.setPen(QPen(QColor(0x30, 0x08, 0x08), 1.0));
    painter.setBrush(steel);
    painter.drawPath(gear);

    // Three slots with their knobs at different heights.
    const qreal tracks[] = {7.5, 17.5, 27.5};
    const qreal knobs[] = {62, 47, 70};
    for (int i = 0; i < 3; ++i) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x20, 0x20, 0x20));
        painter.drawRoundedRect(QRectF(tracks[i] - 1.5, 38, 3, 42), 1.5, 1.5);
        QLinearGradient knob(0, knobs[i] - 4, 0, knobs[i] + 4);
        knob.setColorAt(0.0, QColor(0xf4, 0xf4, 0xf4));
        knob.setColorAt(1.0, QColor(0x90, 0x90, 0x90));
        painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.0));
        painter.setBrush(knob);
        painter.drawRoundedRect(QRectF(tracks[i] - 4.5, knobs[i] - 4, 9, 8), 1.5, 1.5);
        painter.setPen(QPen(kRed, 1.4));
        painter.drawLine(QPointF(tracks[i] - 3, knobs[i]), QPointF(tracks[i] + 3, knobs[i]));
    }
    painter.end();
    return keyedGlyph(image, QColor(0xef, 0xef, 0xef));
}

// A red disc with a white question mark: the help button, 40 x 40, on the black window.
QImage drawHelpGlyph() {
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient disc(QPointF(15, 14), 22);
    disc.setColorAt(0.0, kRed.lighter(140));
    disc.setColorAt(1.0, kDarkRed);
    painter.setPen(QPen(Qt::white, 1.6));
    painter.setBrush(disc);
    painter.drawEllipse(QPointF(20, 20), 16.5, 16.5);

    QPainterPath mark;
    mark.moveTo(14.5, 15.5);
    mark.cubicTo(14.5, 8.5, 25.5, 8.5, 25.5, 15.0);
    mark.cubicTo(25.5, 19.5, 20.0, 19.5, 20.0, 24.5);
    painter.setPen(QPen(Qt::white, 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(mark);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(20, 30), 2.3, 2.3);
    painter.end();
    return keyedGlyph(image, Qt::black);
}

bool save(const QImage& image, const QString& path) {
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const bool ok = save(drawBanner(), directory + QStringLiteral("/image1.png")) &&
                    save(drawIcon(), directory + QStringLiteral("/icon.png")) &&
                    save(drawSettingsGlyph(), directory + QStringLiteral("/settings.png")) &&
                    save(drawHelpGlyph(), directory + QStringLiteral("/help.png"));
    return ok ? 0 : 1;
}
