#pragma once

#include <QString>

namespace tb {

// The user's switches as they stand: the settings dialog may change them between
// any two events, so the jobs ask each time.
class Switches {
public:
    virtual bool readsTags() const = 0;
    virtual bool clearsAfterSave() const = 0;
    virtual bool asksToPlay() const = 0;
    // The player's command.
    virtual QString player() const = 0;

protected:
    ~Switches() = default;
};

} // namespace tb
