#include "controls/URLLabel.h"

TURLLabel::TURLLabel(QWidget* parent) : QLabel(QStringLiteral("Click me!"), parent) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    setPalette(pal);
}
