// Draws the pictures in resources/: the banner at the top of the main window
// (image1.png, 117 x 109), the window icon (icon.png, 32 x 32), the splash screen
// (splash.jpg, 300 x 194), the maker's logo (logo.jpg, 214 x 94), and the button strips
// of the tips window and the About box (bulb.png, next.png, previous.png, ok.png,
// tick.png: a normal and a gray cell side by side).
// Not part of the main build; run once from the repository root after changing the drawing:
//   CXXFLAGS=$(pkg-config --cflags --libs Qt6Gui)
//   g++ -std=c++20 -fPIC tools/make_pictures.cpp -o /tmp/make_pictures $CXXFLAGS
//   /tmp/make_pictures resources
#include <QColor>
#include <QGuiApplication>
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

} // namespace

int main(int argc, char** argv) {
    // Text needs the font database, which needs an application; no window is opened.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const bool ok = save(drawBanner(), directory + QStringLiteral("/image1.png")) &&
                    save(drawIcon(), directory + QStringLiteral("/icon.png")) &&
                    save(drawSplash(), directory + QStringLiteral("/splash.jpg")) &&
                    save(drawLogo(), directory + QStringLiteral("/logo.jpg")) &&
                    save(drawBulb(), directory + QStringLiteral("/bulb.png")) &&
                    save(drawHand(false), directory + QStringLiteral("/next.png")) &&
                    save(drawHand(true), directory + QStringLiteral("/previous.png")) &&
                    save(drawOkButton(), directory + QStringLiteral("/ok.png")) &&
                    save(drawTick(), directory + QStringLiteral("/tick.png"));
    return ok ? 0 : 1;
}
