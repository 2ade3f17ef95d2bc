#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tb {

// Starts other programs. Nobody waits for them: only whether they started is known.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Runs a command line such as `player "/music/list.m3u"` detached; false when
    // its program could not be started.
    virtual bool startCommandLine(const QString& commandLine) = 0;
    // Opens a local file with the program the desktop associates with it.
    virtual void openDocument(const QString& path) = 0;
    // Opens a web or mail address (or a path) with the desktop's handler for it.
    virtual void openUrl(const QString& target) = 0;
};

class SystemLauncher final : public Launcher {
public:
    bool startCommandLine(const QString& commandLine) override;
    void openDocument(const QString& path) override;
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
