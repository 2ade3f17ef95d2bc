#pragma once

#include <QObject>

class QWidget;

// Takes the title bar off the window that owns it, and can put it back.
class TRemoveCaption2000X : public QObject {
    Q_OBJECT

public:
    explicit TRemoveCaption2000X(QWidget* owner);

    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);
    void Remove();
    void Add();

private:
    QWidget* owner_;
    bool enabled_ = false;
};
