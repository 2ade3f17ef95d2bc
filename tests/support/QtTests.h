#pragma once

// What every widget test program includes, and the waits they share.
#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <type_traits>
#include <unistd.h>

namespace tb::test {

// Returns when a timer of `milliseconds`, started now, fires. Timers of one thread fire
// in the order of their deadlines, so a timer of the code started before with half this
// interval (a coarse timer may fire a twentieth late) has had its turn by then, however
// loaded the machine: what it would have done, it has done. This shows that something
// did not happen; it waits for nothing.
inline void timerTurnPassed(int milliseconds) {
    QTimer turn;
    turn.setSingleShot(true);
    turn.setTimerType(Qt::PreciseTimer);
    QSignalSpy fired(&turn, &QTimer::timeout);
    turn.start(milliseconds);
    QVERIFY(fired.wait(milliseconds + 60'000));
}

// Runs the action while no file may grow beyond the limit, as on a nearly full disk.
// A write beyond it fails with EFBIG instead of raising a signal.
template <typename Action> void withFileSizeLimit(rlim_t limit, Action&& action) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limited{limit, saved.rlim_max};
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
    action();
    setrlimit(RLIMIT_FSIZE, &saved);
}

// Runs the action with descriptor 0 free, as in a program started without standard input,
// so that a file it opens may get 0; true when 0 is free again afterwards.
template <typename Action> bool withoutStandardInput(Action&& action) {
    const int input = ::dup(0);
    ::close(0);
    action();
    const bool letGo = ::fcntl(0, F_GETFD) == -1;
    ::dup2(input, 0);
    ::close(input);
    return letGo;
}

// Counts the events of one kind that reach `watched`, before its own handlers see them.
struct EventCount : QObject {
    EventCount(QObject* watched, QEvent::Type counted) : type(counted) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == type;
        return false;
    }
    QEvent::Type type;
    int count = 0;
};

// A click on a row of a list as the user makes it, at the row's middle; the playlist's
// own view finds its rows by number.
template <typename View>
void clickRow(View& view, int row, Qt::KeyboardModifiers modifiers = {},
              Qt::MouseButton button = Qt::LeftButton) {
    QRect rect;
    if constexpr (std::is_base_of_v<QAbstractItemView, View>)
        rect = view.visualRect(view.model()->index(row, 0));
    else
        rect = view.visualRect(row);
    QTest::mouseClick(view.viewport(), button, modifiers, rect.center());
}

} // namespace tb::test
