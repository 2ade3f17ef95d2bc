#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

class QLabel;
class TRemoveCaption2000X;

// The splash screen: a picture without a caption bar that stays above other windows
// while the program starts, and holds for more than three seconds once shown.
class TSplash : public QWidget {
    Q_OBJECT

public:
    using Tick = std::function<std::uint32_t()>;
    using Sleep = std::function<void(std::uint32_t milliseconds)>;

    explicit TSplash(QWidget* parent = nullptr);
    ~TSplash() override;

    QLabel* Image1 = nullptr;
    TRemoveCaption2000X* RemoveCaption2000X1 = nullptr;

    // Shows the window and returns once it has been painted.
    void showAndPaint();

    void FormShow();
    // Whether the window may close: waits until it has been up long enough.
    bool FormCloseQuery();

    // The millisecond tick count read when the window was shown.
    std::uint32_t shownAt() const { return shownAt_; }
    // The clock of the wait: the monotonic tick count and a real sleep unless replaced.
    void setClock(Tick tick, Sleep sleep);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::uint32_t shownAt_ = 0;
    Tick tick_;
    Sleep sleep_;
};
