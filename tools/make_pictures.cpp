// Draws the pictures in resources/:
//   image1.png        the banner at the top of the main window, 117 x 109
//   icon.png          the window icon, 32 x 32
//   settings.png      the settings button's glyph, 35 x 83; help.png, the help button's, 40 x 40
//   digitstrip.bmp    the item counter's built-in digit strip, 154 x 20, 16 colours, and its
//                     four looks digits1.bmp to digits4.bmp. A strip is eleven 14 x 20 cells:
//                     the digits 0 to 9, then the blank.
//   icons/            the desktop menu's icons trackbinder-32.png, -48.png and -256.png
//   splash.jpg        the splash screen, 300 x 194; logo.jpg, the maker's logo, 214 x 94
//   bulb.png, next.png, previous.png, ok.png, tick.png
//                     the button strips of the tips window and the About box: a normal and a
//                     gray cell side by side
// Not part of the main build; run once from the repository root after changing the drawing:
//   CXXFLAGS=$(pkg-config --cflags --libs Qt6Gui)
//   g++ -std=c++20 -fPIC tools/make_pictures.cpp -o /tmp/make_pictures $CXXFLAGS
//   /tmp/make_pictures resources
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QTransform>
#include <array>
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
            glyph.setPixelColor(x, y,
                                QColor(mix(c.red(), matte.red()), mix(c.green(), matte.green()),
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

// ---- Counter strips ----

constexpr int kCellWidth = 14;
constexpr int kCellHeight = 20;
constexpr int kStripCells = 11;
constexpr int kBlankCell = 10;

// A plain digit as strokes in a unit box (x right, y down, 0 to 1).
QPainterPath unitDigit(int digit) {
    QPainterPath path;
    switch (digit) {
    case 0:
        path.addRoundedRect(QRectF(0.05, 0.0, 0.9, 1.0), 48, 32, Qt::RelativeSize);
        break;
    case 1:
        path.moveTo(0.18, 0.24);
        path.lineTo(0.56, 0.0);
        path.lineTo(0.56, 1.0);
        path.moveTo(0.2, 1.0);
        path.lineTo(0.9, 1.0);
        break;
    case 2:
        path.moveTo(0.06, 0.24);
        path.cubicTo(0.12, -0.06, 0.96, -0.08, 0.92, 0.3);
        path.cubicTo(0.9, 0.52, 0.3, 0.7, 0.05, 1.0);
        path.lineTo(0.96, 1.0);
        break;
    case 3:
        path.moveTo(0.08, 0.12);
        path.cubicTo(0.3, -0.05, 0.96, -0.02, 0.9, 0.25);
        path.cubicTo(0.87, 0.42, 0.6, 0.47, 0.38, 0.47);
        path.cubicTo(0.76, 0.47, 0.99, 0.58, 0.95, 0.76);
        path.cubicTo(0.91, 1.03, 0.28, 1.05, 0.05, 0.87);
        break;
    case 4:
        path.moveTo(0.72, 1.0);
        path.lineTo(0.72, 0.0);
        path.lineTo(0.03, 0.68);
        path.lineTo(0.98, 0.68);
        break;
    case 5:
        path.moveTo(0.9, 0.0);
        path.lineTo(0.18, 0.0);
        path.lineTo(0.12, 0.45);
        path.cubicTo(0.4, 0.32, 0.96, 0.38, 0.94, 0.7);
        path.cubicTo(0.91, 1.04, 0.28, 1.05, 0.05, 0.87);
        break;
    case 6:
        path.moveTo(0.86, 0.08);
        path.cubicTo(0.5, -0.09, 0.04, 0.1, 0.07, 0.66);
        path.addEllipse(QRectF(0.07, 0.4, 0.86, 0.6));
        break;
    case 7:
        path.moveTo(0.03, 0.0);
        path.lineTo(0.97, 0.0);
        path.lineTo(0.36, 1.0);
        break;
    case 8:
        path.addEllipse(QRectF(0.13, 0.0, 0.74, 0.46));
        path.addEllipse(QRectF(0.05, 0.44, 0.9, 0.56));
        break;
    case 9: // the 6 turned upside down
        path = QTransform(-1, 0, 0, -1, 1, 1).map(unitDigit(6));
        break;
    default:
        break;
    }
    return path;
}

// The digit's strokes fitted into a box of the cell.
void strokeDigit(QPainter& painter, int digit, const QRectF& box, const QPen& pen) {
    const QTransform toBox =
        QTransform::fromTranslate(box.x(), box.y()).scale(box.width(), box.height());
    painter.strokePath(toBox.map(unitDigit(digit)), pen);
}

// Seven-segment masks, bits a (top) to g (middle): a b c d e f g.
constexpr std::array<unsigned, 10> kSegments = {0x3f, 0x06, 0x5b, 0x4f, 0x66,
                                                0x6d, 0x7d, 0x07, 0x7f, 0x6f};

// The seven pointed segments of one cell, each as its own polygon.
std::array<QPolygonF, 7> segmentShapes(const QRectF& box, qreal thickness, qreal slant) {
    const qreal t = thickness;
    const qreal gap = 0.5;
    const qreal left = box.left() + t / 2;
    const qreal right = box.right() - t / 2;
    const qreal top = box.top() + t / 2;
    const qreal bottom = box.bottom() - t / 2;
    const qreal middle = (top + bottom) / 2;
    // Leans the upper part to the right like a printed italic.
    const auto at = [&](qreal x, qreal y) {
        return QPointF(x + slant * (box.bottom() - y) / box.height(), y);
    };
    const auto horizontal = [&](qreal y) {
        return QPolygonF({at(left + gap, y), at(left + gap + t / 2, y - t / 2),
                          at(right - gap - t / 2, y - t / 2), at(right - gap, y),
                          at(right - gap - t / 2, y + t / 2), at(left + gap + t / 2, y + t / 2)});
    };
    const auto vertical = [&](qreal x, qreal y1, qreal y2) {
        return QPolygonF({at(x, y1 + gap), at(x + t / 2, y1 + gap + t / 2),
                          at(x + t / 2, y2 - gap - t / 2), at(x, y2 - gap),
                          at(x - t / 2, y2 - gap - t / 2), at(x - t / 2, y1 + gap + t / 2)});
    };
    return {horizontal(top),    vertical(right, top, middle),   vertical(right, middle, bottom),
            horizontal(bottom), vertical(left, middle, bottom), vertical(left, top, middle),
            horizontal(middle)};
}

// Lit segments of a digit in one brush, the others (all of them for the blank) in another.
void drawSegments(QPainter& painter, int cell, const QRectF& box, qreal thickness, qreal slant,
                  const QBrush& lit, const QBrush& unlit) {
    const auto shapes = segmentShapes(box, thickness, slant);
    const unsigned mask = cell < 10 ? kSegments[static_cast<std::size_t>(cell)] : 0;
    painter.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        painter.setBrush(mask & (1u << i) ? lit : unlit);
        painter.drawPolygon(shapes[i]);
    }
}

template <typename DrawCell> QImage drawStrip(DrawCell drawCell) {
    QImage strip(kCellWidth * kStripCells, kCellHeight, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int cell = 0; cell < kStripCells; ++cell) {
        painter.save();
        painter.translate(cell * kCellWidth, 0);
        painter.setClipRect(0, 0, kCellWidth, kCellHeight);
        drawCell(painter, cell);
        painter.restore();
    }
    return strip;
}

QRectF digitBox(qreal marginX, qreal marginY) {
    return QRectF(marginX, marginY, kCellWidth - 2 * marginX, kCellHeight - 2 * marginY);
}

// The main window's own strip: black digits on a light-green tile dithered from two greens,
// in 16 colours.
QImage drawDefaultStrip() {
    const QColor light(0xc8, 0xf4, 0xb8);
    const QColor dark(0xa4, 0xdc, 0x94);
    const QColor edge(0x5c, 0x94, 0x50);
    const QImage strip = drawStrip([&](QPainter& painter, int cell) {
        for (int y = 0; y < kCellHeight; ++y)
            for (int x = 0; x < kCellWidth; ++x)
                painter.fillRect(x, y, 1, 1, (x + y) % 2 ? dark : light);
        painter.fillRect(kCellWidth - 1, 0, 1, kCellHeight, edge);
        painter.fillRect(0, kCellHeight - 1, kCellWidth, 1, edge);
        if (cell != kBlankCell)
            strokeDigit(painter, cell, digitBox(3.2, 3.2),
                        QPen(Qt::black, 1.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    });
    // Black, the three greens and a ramp between them for the smoothed strokes.
    QList<QRgb> palette = {qRgb(0, 0, 0), light.rgb(), dark.rgb(), edge.rgb()};
    for (int i = 1; palette.size() < 16; ++i) {
        const int shade = i * 0xb8 / 13;
        palette.push_back(
            qRgb(shade * 0xc8 / 0xb8 * 9 / 10, shade * 0xf4 / 0xb8 * 9 / 10, shade * 9 / 10));
    }
    return strip.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
}

// Look 1: white digits on the black wheels of a mechanical counter.
QImage drawWheelStrip() {
    return drawStrip([](QPainter& painter, int cell) {
        QLinearGradient wheel(0, 0, 0, kCellHeight);
        wheel.setColorAt(0.0, QColor(0x08, 0x08, 0x08));
        wheel.setColorAt(0.45, QColor(0x3c, 0x3c, 0x40));
        wheel.setColorAt(1.0, QColor(0x06, 0x06, 0x06));
        painter.fillRect(QRectF(0, 0, kCellWidth, kCellHeight), wheel);
        painter.fillRect(QRectF(0, 0, 1, kCellHeight), QColor(0x70, 0x60, 0x40));
        painter.fillRect(QRectF(kCellWidth - 1, 0, 1, kCellHeight), QColor(0x70, 0x60, 0x40));
        if (cell != kBlankCell)
            strokeDigit(
                painter, cell, digitBox(3.3, 3.5),
                QPen(QColor(0xf4, 0xf0, 0xe6), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    });
}

// Look 2: glowing red seven-segment digits with the dark segments faintly showing.
QImage drawLedStrip() {
    return drawStrip([](QPainter& painter, int cell) {
        painter.fillRect(QRectF(0, 0, kCellWidth, kCellHeight), QColor(0x1a, 0x06, 0x06));
        const QRectF box = digitBox(2.5, 2.0);
        const QColor glow(0xff, 0x30, 0x20, 40);
        if (cell != kBlankCell) {
            // A wider pass under the segments gives them their glow.
            const auto shapes = segmentShapes(box, 3.4, 1.2);
            painter.setPen(QPen(glow, 1.2));
            painter.setBrush(glow);
            for (std::size_t i = 0; i < shapes.size(); ++i)
                if (kSegments[static_cast<std::size_t>(cell)] & (1u << i))
                    painter.drawPolygon(shapes[i]);
        }
        drawSegments(painter, cell, box, 2.2, 1.2, QColor(0xff, 0x3c, 0x24),
                     QColor(0x2e, 0x0c, 0x0a));
    });
}

// Look 3: dark segments on a grey-green liquid-crystal panel.
QImage drawLcdStrip() {
    return drawStrip([](QPainter& painter, int cell) {
        QLinearGradient panel(0, 0, 0, kCellHeight);
        panel.setColorAt(0.0, QColor(0xa8, 0xb8, 0x90));
        panel.setColorAt(1.0, QColor(0xc4, 0xd2, 0xaa));
        painter.fillRect(QRectF(0, 0, kCellWidth, kCellHeight), panel);
        painter.fillRect(QRectF(0, 0, kCellWidth, 1), QColor(0x70, 0x7c, 0x60));
        painter.fillRect(QRectF(0, kCellHeight - 1, kCellWidth, 1), QColor(0xe0, 0xe8, 0xd0));
        drawSegments(painter, cell, digitBox(2.5, 2.5), 2.0, 0.0, QColor(0x1c, 0x24, 0x18),
                     QColor(0xa4, 0xb4, 0x8e));
    });
}

// Look 4: light digits on the split cards of a flip clock.
QImage drawFlipStrip() {
    return drawStrip([](QPainter& painter, int cell) {
        painter.fillRect(QRectF(0, 0, kCellWidth, kCellHeight), QColor(0x10, 0x10, 0x14));
        const QRectF card(0.5, 0.5, kCellWidth - 1, kCellHeight - 1);
        QLinearGradient face(0, 0, 0, kCellHeight);
        face.setColorAt(0.0, QColor(0x3a, 0x44, 0x5c));
        face.setColorAt(0.5, QColor(0x2c, 0x34, 0x48));
        face.setColorAt(0.51, QColor(0x24, 0x2a, 0x3c));
        face.setColorAt(1.0, QColor(0x1c, 0x22, 0x30));
        painter.setPen(Qt::NoPen);
        painter.setBrush(face);
        painter.drawRoundedRect(card, 2.0, 2.0);
        if (cell != kBlankCell)
            strokeDigit(
                painter, cell, digitBox(3.4, 3.6),
                QPen(QColor(0xf0, 0xe8, 0xc8), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillRect(QRectF(0, kCellHeight / 2 - 0.5, kCellWidth, 1.0),
                         QColor(0x08, 0x08, 0x0a));
    });
}

bool saveBmp(const QImage& image, const QString& path) {
    if (!image.save(path, "BMP")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The see-through colour of button strips: the buttons take a cell's bottom-left pixel
// as transparent. Close to the window face, so that smoothed edges blend into it.
const QColor kKey(0xee, 0xee, 0xed);

// The splash: the record on a dark stage, the program's name, the maker and the year.
QImage drawSplash() {
    QImage image(300, 194, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QRadialGradient stage(QPointF(90, 100), 230);
    stage.setColorAt(0.0, QColor(0x2a, 0x0a, 0x0e));
    stage.setColorAt(0.6, QColor(0x0c, 0x06, 0x0a));
    stage.setColorAt(1.0, QColor(0x02, 0x02, 0x04));
    painter.fillRect(image.rect(), stage);

    drawRecord(painter, QPointF(58, 100), 48, 16);
    drawBeamedNotes(painter, QPointF(128, 56), QPointF(148, 49), 7, 26, QColor(255, 255, 255, 220));

    QFont title(QStringLiteral("Liberation Sans"));
    title.setPixelSize(29);
    title.setBold(true);
    title.setItalic(true);
    painter.setFont(title);
    painter.setPen(QColor(0, 0, 0, 160));
    painter.drawText(QRectF(118, 88, 180, 44), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Trackbinder"));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(116, 86, 180, 44), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Trackbinder"));
    painter.fillRect(QRectF(150, 132, 146, 2), kRed);

    QFont maker(QStringLiteral("Liberation Sans"));
    maker.setPixelSize(15);
    maker.setBold(true);
    maker.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    painter.setFont(maker);
    painter.setPen(QColor(0xc8, 0xc8, 0xc8));
    painter.drawText(QRectF(150, 138, 146, 22), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("BRIVOLA"));
    maker.setPixelSize(13);
    maker.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    painter.setFont(maker);
    painter.setPen(kRed.lighter(130));
    painter.drawText(QRectF(150, 160, 146, 20), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("2000"));
    return image;
}

// The maker's logo: the name beside a small record, on white.
QImage drawLogo() {
    QImage image(214, 94, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawRecord(painter, QPointF(44, 47), 36, 10);
    QFont name(QStringLiteral("Liberation Serif"));
    name.setPixelSize(36);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(kDarkRed);
    painter.drawText(QRectF(84, 14, 126, 48), Qt::AlignCenter, QStringLiteral("Brivola"));
    painter.fillRect(QRectF(92, 62, 110, 3), kRed);
    QFont line(QStringLiteral("Liberation Sans"));
    line.setPixelSize(11);
    line.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    painter.setFont(line);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawText(QRectF(84, 66, 126, 18), Qt::AlignCenter, QStringLiteral("SOFTWARE"));
    return image;
}

// Gray by luminance; the see-through key and transparent pixels stay as they are.
QImage grayed(const QImage& source) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (row[x] == kKey.rgba() || qAlpha(row[x]) == 0)
                continue;
            const int g = qGray(row[x]);
            row[x] = qRgba(g, g, g, qAlpha(row[x]));
        }
    }
    return image;
}

// A strip of the cell and its gray variant side by side.
QImage strip(const QImage& cell) {
    QImage image(cell.width() * 2, cell.height(), QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, cell);
    painter.drawImage(cell.width(), 0, grayed(cell));
    return image;
}

QImage keyedCell(int width, int height) {
    QImage cell(width, height, QImage::Format_ARGB32);
    cell.fill(kKey);
    return cell;
}

// A glowing light bulb, on a transparent ground.
QImage drawBulb() {
    QImage cell(32, 64, QImage::Format_ARGB32);
    cell.fill(Qt::transparent);
    QPainter painter(&cell);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(16, 22), 16);
    glow.setColorAt(0.0, QColor(255, 240, 120, 200));
    glow.setColorAt(1.0, QColor(255, 220, 60, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(16, 22), 16, 16);
    QRadialGradient glass(QPointF(13, 18), 12);
    glass.setColorAt(0.0, QColor(255, 255, 230));
    glass.setColorAt(0.7, QColor(255, 230, 90));
    glass.setColorAt(1.0, QColor(230, 170, 30));
    painter.setBrush(glass);
    painter.setPen(QPen(QColor(170, 120, 10), 1));
    QPainterPath bulb;
    bulb.moveTo(11, 36);
    bulb.cubicTo(11, 30, 5, 28, 5, 21);
    bulb.cubicTo(5, 13, 10, 9, 16, 9);
    bulb.cubicTo(22, 9, 27, 13, 27, 21);
    bulb.cubicTo(27, 28, 21, 30, 21, 36);
    bulb.closeSubpath();
    painter.drawPath(bulb);
    painter.setPen(QPen(QColor(200, 110, 0), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF({{13, 35}, {13, 25}, {15, 22}, {17, 25}, {19, 22}, {19, 35}}));
    painter.setPen(QPen(QColor(70, 70, 70), 0.8));
    painter.setBrush(QColor(160, 160, 165));
    for (int i = 0; i < 3; ++i)
        painter.drawRoundedRect(QRectF(10.5, 36.5 + i * 3.5, 11, 3.5), 1.2, 1.2);
    painter.setBrush(QColor(60, 60, 60));
    painter.drawEllipse(QRectF(13, 46.5, 6, 3.5));
    return strip(cell);
}

// A hand pointing right, index finger out; mirrored it points left.
QImage drawHand(bool left) {
    QImage cell = keyedCell(20, 20);
    QPainter painter(&cell);
    painter.setRenderHint(QPainter::Antialiasing);
    if (left) {
        painter.translate(20, 0);
        painter.scale(-1, 1);
    }
    painter.setPen(QPen(QColor(90, 50, 20), 1));
    painter.setBrush(QColor(0x30, 0x50, 0xb0)); // the sleeve
    painter.drawRect(QRectF(0.5, 6.5, 4, 9));
    painter.setBrush(QColor(0xf6, 0xc8, 0x96));
    QPainterPath hand;
    hand.addRoundedRect(QRectF(4.5, 6.5, 8, 10), 2.5, 2.5);
    hand.addRoundedRect(QRectF(8.5, 6.5, 11, 3.5), 1.7, 1.7);
    painter.drawPath(hand.simplified());
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 2; ++i)
        painter.drawLine(QPointF(9, 11.5 + i * 2.5), QPointF(12.5, 11.5 + i * 2.5));
    return strip(cell);
}

// A tall key labelled OK.
QImage drawOkButton() {
    QImage cell = keyedCell(20, 66);
    QPainter painter(&cell);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 20, 0);
    face.setColorAt(0.0, QColor(0x3c, 0xa0, 0x3c));
    face.setColorAt(1.0, QColor(0x1c, 0x60, 0x1c));
    painter.setPen(QPen(QColor(0x10, 0x30, 0x10), 1));
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 17, 62), 4, 4);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(1, 1, 18, 64), Qt::AlignCenter, QStringLiteral("O\nK"));
    return strip(cell);
}

// A red tick.
QImage drawTick() {
    QImage cell = keyedCell(24, 24);
    QPainter painter(&cell);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(3, 13);
    tick.lineTo(9, 19);
    tick.lineTo(21, 4);
    painter.setPen(QPen(QColor(0x70, 0x00, 0x00), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    painter.setPen(QPen(QColor(0xe0, 0x10, 0x10), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    return strip(cell);
}

bool save(const QImage& image, const QString& path) {
    const bool jpeg = path.endsWith(QStringLiteral(".jpg"));
    if (!image.save(path, jpeg ? "JPG" : "PNG", jpeg ? 90 : -1)) {
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
    // Text needs the font database, which needs an application; no window is opened.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok = save(drawBanner(), directory + QStringLiteral("/image1.png")) &&
              save(drawIcon(), directory + QStringLiteral("/icon.png")) &&
              saveDesktopIcons(directory) &&
              save(drawSettingsGlyph(), directory + QStringLiteral("/settings.png")) &&
              save(drawHelpGlyph(), directory + QStringLiteral("/help.png"));
    ok = ok && saveBmp(drawDefaultStrip(), directory + QStringLiteral("/digitstrip.bmp"));
    const QImage looks[] = {drawWheelStrip(), drawLedStrip(), drawLcdStrip(), drawFlipStrip()};
    for (int i = 0; i < 4 && ok; ++i)
        ok = saveBmp(looks[i], directory + QStringLiteral("/digits%1.bmp").arg(i + 1));
    ok = ok && save(drawSplash(), directory + QStringLiteral("/splash.jpg")) &&
         save(drawLogo(), directory + QStringLiteral("/logo.jpg")) &&
         save(drawBulb(), directory + QStringLiteral("/bulb.png")) &&
         save(drawHand(false), directory + QStringLiteral("/next.png")) &&
         save(drawHand(true), directory + QStringLiteral("/previous.png")) &&
         save(drawOkButton(), directory + QStringLiteral("/ok.png")) &&
         save(drawTick(), directory + QStringLiteral("/tick.png"));
    return ok ? 0 : 1;
}
