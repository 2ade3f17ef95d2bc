#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tb {

// Starts other programs; results are not checked, as nobody waits for them.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Runs a command line such as `player "/music/list.m3u"` detached.
    virtual void startCommandLine(const QString& commandLine) = 0;
    // Opens a local file with the program the desktop associates with it.
    virtual void openDocument(const QString& path) = 0;
    // Opens a web or mail address (or a path) with the desktop's handler for it.
    virtual void openUrl(const QString& target) = 0;
};

class SystemLauncher final : public Launcher {
public:
    void startCommandLine(const QString& commandLine) override;
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
