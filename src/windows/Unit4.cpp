#include "windows/Unit4.h"

#include "controls/Centring.h"
#include "controls/X2000RC.h"
#include "platform/Pictures.h"
#include "platform/TickCount.h"
#include "windows/SplashWait.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <thread>

TSplash::TSplash(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      tick_([] { return static_cast<std::uint32_t>(tb::tickCount()); }),
      sleep_([](std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }) {
    setWindowTitle(QStringLiteral("Splash"));
    setFixedSize(300, 194);
    // Closing the splash must not end the program, whose main window is not up yet.
    setAttribute(Qt::WA_QuitOnClose, false);

    Image1 = new QLabel(this);
    Image1->setGeometry(rect());
    Image1->setPixmap(tb::readPicture(QStringLiteral(":/splash.jpg")));

    RemoveCaption2000X1 = new TRemoveCaption2000X(this);
    RemoveCaption2000X1->setEnabled(true);

    tb::centreOnScreen(*this);
}

TSplash::~TSplash() = default;

void TSplash::setClock(Tick tick, Sleep sleep) {
    tick_ = std::move(tick);
    sleep_ = std::move(sleep);
}

void TSplash::showAndPaint() {
    show();
    // The window system exposes the window a moment after it is mapped; until then
    // nothing can be painted. Only that wait runs events, and no user input among them.
    QElapsedTimer waited;
    waited.start();
    QTimer wake; // ends each wait below, should the exposure never come
    wake.start(10);
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    repaint();
}

void TSplash::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TSplash::FormShow() {
    shownAt_ = tick_();
}

void TSplash::closeEvent(QCloseEvent* event) {
    event->setAccepted(FormCloseQuery());
}

bool TSplash::FormCloseQuery() {
    // Sleeps without running events, so that nothing else happens meanwhile.
    tb::waitForSplashTime(shownAt_, tick_, sleep_);
    return true;
}
