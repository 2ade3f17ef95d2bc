#pragma once

#include <exception>

namespace tb {

// Where a user action's error goes: the application-wide error box. Handlers run their
// work through guarded(), so that no exception reaches the event loop.
class ErrorReport {
public:
    virtual void showError(const std::exception& error) = 0;

protected:
    ~ErrorReport() = default;
};

template <typename Action> void guarded(ErrorReport& report, Action&& action) {
    try {
        action();
    } catch (const std::exception& error) {
        report.showError(error);
    }
}

} // namespace tb
