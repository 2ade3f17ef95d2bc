#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Takes the title bar and frame off the window that owns it, and can put them back; the
// window's outer height follows so that its inside keeps its size.
class TRemoveCaption2000X : public QObject {
    Q_OBJECT

public:
    // `parent` is the owning window (or any widget on it).
    explicit TRemoveCaption2000X(QWidget* parent = nullptr);
    ~TRemoveCaption2000X() override;

    bool Enabled() const { return enabled_; }
    // True removes the frame, False restores it; each call does so, even if unchanged.
    void setEnabled(bool on);

    // Without a window given, both work on the owning window.
    void Remove(QWidget* form = nullptr);
    void Add(QWidget* form = nullptr);

private:
    QPointer<QWidget> target_;
    bool enabled_ = false;
    bool removed_ = false;
    bool destroying_ = false;
    int heightDifference_ = 0;
};
