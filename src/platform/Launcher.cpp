#include "platform/Launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace tb {

CommandLine splitCommandLine(const QString& commandLine,
                             const std::function<bool(const QString&)>& fileExists) {
    const QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        return {};
    // An unquoted program path with blanks was split into several words.
    const QStringList plain = commandLine.split(QLatin1Char(' '));
    for (qsizetype count = plain.size() - 1; count > 1; --count) {
        const QString candidate = plain.first(count).join(QLatin1Char(' '));
        if (candidate.contains(QLatin1Char('"')) || !fileExists(candidate))
            continue;
        const QString rest = plain.sliced(count).join(QLatin1Char(' '));
        return {candidate, QProcess::splitCommand(rest)};
    }
    if (!commandLine.contains(QLatin1Char('"')) && plain.size() > 1 && fileExists(commandLine))
        return {commandLine, {}};
    return {words.first(), words.sliced(1)};
}

bool SystemLauncher::startCommandLine(const QString& commandLine) {
    const CommandLine split =
        splitCommandLine(commandLine, [](const QString& path) { return QFileInfo(path).isFile(); });
    return !split.program.isEmpty() && QProcess::startDetached(split.program, split.arguments);
}

void SystemLauncher::openDocument(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void SystemLauncher::openUrl(const QString& target) {
    // Bare addresses such as "www.example.com" or a path are read as the user means them.
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

} // namespace tb
