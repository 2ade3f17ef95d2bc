#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tb {

// Starts other programs. Nobody waits for them; where the platform tells, a program that
// gives up at once (such as a desktop opener that finds no application) is reported.
class Launcher {
public:
    // Called on the window thread, at most once and only within a few seconds of the
    // start, when the started program failed to run or ended with an error status.
    using FailedSoon = std::function<void()>;

    virtual ~Launcher() = default;
    // Runs the user's command line, such as `player --shuffle`, with the arguments after
    // it, each passed as it stands (a path with quotes or blanks stays one argument),
    // independent of this program; false at once when its program cannot be found or started.
    virtual bool startCommand(const QString& commandLine, const QStringList& arguments,
                              FailedSoon failedSoon = {}) = 0;
    // Opens a local file with the program the desktop associates with it.
    virtual void openDocument(const QString& path, FailedSoon failedSoon = {}) = 0;
    // Opens a web or mail address (or a path) with the desktop's handler for it.
    virtual void openUrl(const QString& target) = 0;
};

class SystemLauncher final : public Launcher {
public:
    // How long after its start a program's failure is still reported.
    static constexpr int kWatchMs = 5000;

    bool startCommand(const QString& commandLine, const QStringList& arguments,
                      FailedSoon failedSoon = {}) override;
    void openDocument(const QString& path, FailedSoon failedSoon = {}) override;
    void openUrl(const QString& target) override;
};

struct CommandLine {
    QString program;
    QStringList arguments;
};

// Splits a command line into program and arguments by the shell's quoting rules.
// A program path with blanks need not be quoted when it names an existing file:
// the longest run of leading words that names one is taken as the program.
CommandLine splitCommandLine(const QString& commandLine,
                             const std::function<bool(const QString&)>& fileExists);

} // namespace tb
