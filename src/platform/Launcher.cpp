#include "platform/Launcher.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <memory>

namespace tb {

namespace {

#ifndef Q_OS_WIN
// Whether the program can be run: a path to an executable file, or a name on the PATH.
bool runnable(const QString& program) {
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo file(program);
        return file.isFile() && file.isExecutable();
    }
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// Starts the program as a child that shares this program's output, as a detached start
// would, and watches it from the event loop without waiting: a failed start, or an error
// status within the watch time, calls failedSoon. The QProcess belongs to nobody and
// deletes itself once the program has ended; destroying it earlier would kill a player
// that runs on, also when this program ends first.
void startWatched(const QString& program, const QStringList& arguments,
                  Launcher::FailedSoon failedSoon) {
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    auto sinceStart = std::make_shared<QElapsedTimer>();
    const auto report = [failedSoon = std::move(failedSoon), sinceStart] {
        if (failedSoon && sinceStart->elapsed() < SystemLauncher::kWatchMs)
            failedSoon();
    };
    QObject::connect(process, &QProcess::finished, process,
                     [process, report](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0)
                             report();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, report](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return; // a crash ends in finished() as well
                         report();
                         process->deleteLater();
                     });
    sinceStart->start();
    process->start();
}
#endif

} // namespace

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

bool SystemLauncher::startCommand(const QString& commandLine, const QStringList& arguments,
                                  FailedSoon failedSoon) {
    CommandLine split =
        splitCommandLine(commandLine, [](const QString& path) { return QFileInfo(path).isFile(); });
    if (split.program.isEmpty())
        return false;
    // Only the user's text is split; the rest is joined afterwards, so nothing in it
    // (quotes, blanks, backslashes) is read as quoting.
    split.arguments += arguments;
#ifdef Q_OS_WIN
    // Windows programs (explorer among them) end with any status; only the start counts.
    (void)failedSoon;
    return QProcess::startDetached(split.program, split.arguments);
#else
    if (!runnable(split.program))
        return false;
    startWatched(split.program, split.arguments, std::move(failedSoon));
    return true;
#endif
}

void SystemLauncher::openDocument(const QString& path, FailedSoon failedSoon) {
#ifndef Q_OS_WIN
    // The desktop's opener, watched: it ends with an error when no application takes the file.
    const QString opener = QStringLiteral("xdg-open");
    if (runnable(opener)) {
        startWatched(opener, {path}, std::move(failedSoon));
        return;
    }
#endif
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)) && failedSoon)
        failedSoon();
}

void SystemLauncher::openUrl(const QString& target) {
    // Bare addresses such as "www.example.com" or a path are read as the user means them.
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

} // namespace tb
