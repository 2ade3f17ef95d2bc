#include "controls/X2000RC.h"

#include <QWidget>

TRemoveCaption2000X::TRemoveCaption2000X(QWidget* owner) : QObject(owner), owner_(owner) {}

void TRemoveCaption2000X::setEnabled(bool on) {
    if (on)
        Remove();
    else
        Add();
    enabled_ = on;
}

void TRemoveCaption2000X::Remove() {
    owner_->setWindowFlag(Qt::FramelessWindowHint, true);
}

void TRemoveCaption2000X::Add() {
    owner_->setWindowFlag(Qt::FramelessWindowHint, false);
}
