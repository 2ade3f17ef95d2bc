#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

namespace tb {
class Launcher;
}

// A label that stands for a link.
class TURLLabel : public QLabel {
    Q_OBJECT

public:
    explicit TURLLabel(QWidget* parent = nullptr);

    QString URL() const { return url_; }
    void setURL(const QString& url) { url_ = url; }
    void setLauncher(tb::Launcher* launcher) { launcher_ = launcher; }
    QColor ColorNormal() const { return colorNormal_; }
    void setColorNormal(QColor color) { colorNormal_ = color; }
    QColor ColorMoveOver() const { return colorMoveOver_; }
    void setColorMoveOver(QColor color) { colorMoveOver_ = color; }
    QColor ColorClick() const { return colorClick_; }
    void setColorClick(QColor color) { colorClick_ = color; }

private:
    QString url_;
    tb::Launcher* launcher_ = nullptr;
    QColor colorNormal_{Qt::blue};
    QColor colorMoveOver_{Qt::blue};
    QColor colorClick_{Qt::red};
};
