#include "controls/BalHint.h"

#include <algorithm>

TBaloonHint::TBaloonHint(QObject* parent) : QObject(parent) {}

void TBaloonHint::setHintPauseTime(int milliseconds) {
    hintPauseTime_ = std::max(milliseconds, 0);
}

void TBaloonHint::setHintHidePause(int milliseconds) {
    hintHidePause_ = std::max(milliseconds, 0);
}
