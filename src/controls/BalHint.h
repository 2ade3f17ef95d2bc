#pragma once

#include <QColor>
#include <QFont>
#include <QObject>

// The program's hint settings; the hints themselves are the controls' tool tips.
class TBaloonHint : public QObject {
    Q_OBJECT

public:
    explicit TBaloonHint(QObject* parent = nullptr);

    int HintPauseTime() const { return hintPauseTime_; }
    void setHintPauseTime(int milliseconds);
    int HintHidePause() const { return hintHidePause_; }
    void setHintHidePause(int milliseconds);

private:
    int hintPauseTime_ = 500;
    int hintHidePause_ = 2500;
};
