#pragma once

// Real pointer input under a real X server, where no synthetic event reaches.
#include <QPoint>
#include <QProcess>
#include <QStringList>

namespace tb::test {

inline bool xdotool(const QStringList& arguments) {
    return QProcess::execute("xdotool", arguments) == 0;
}

// What xdotool prints, such as a window's id or name.
inline QString xdotoolOutput(const QStringList& arguments) {
    QProcess run;
    run.start("xdotool", arguments);
    run.waitForFinished(10000);
    return QString::fromUtf8(run.readAllStandardOutput()).trimmed();
}

inline bool pointerTo(QPoint at) {
    return xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
}

} // namespace tb::test
