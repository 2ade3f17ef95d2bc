#pragma once

#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "platform/Volumes.h"

#include <QDialog>
#include <QSet>
#include <QStringList>
#include <functional>
#include <optional>

namespace tb::test {

// Answers every box, file dialog and input box from its script, in order, and records
// what was asked. Beyond the script a box answers Ok / Yes, a dialog Cancel, and the
// request counts as unexpected.
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        Kind kind;
        QString title;
        QString text;
    };
    struct Input {
        QString prompt;
        QString text;
        int maxNameBytes;
    };

    Answer message(QWidget*, Kind kind, const QString& title, const QString& text,
                   Buttons buttons) override {
        shown.append({kind, title, text});
        if (answers.isEmpty()) {
            ++unexpected;
            return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
        }
        return answers.takeFirst();
    }
    std::optional<QString> openFileName(QWidget*, const FileRequest& request) override {
        fileRequests.append(request);
        return nextText(fileNames);
    }
    std::optional<QString> saveFileName(QWidget* parent, const FileRequest& request,
                                        QString* chosenFilter = nullptr) override {
        // The filter at the scripted place, else the one the request chose, else the first.
        if (chosenFilter) {
            *chosenFilter = saveFilterIndex >= 0
                                ? request.filter.section(";;", saveFilterIndex, saveFilterIndex)
                            : !request.selectedFilter.isEmpty()
                                ? request.selectedFilter
                                : request.filter.section(";;", 0, 0);
        }
        return openFileName(parent, request);
    }
    std::optional<QString> inputText(QWidget*, const QString&, const QString& prompt,
                                     const QString& text, int maxNameBytes) override {
        inputRequests.append({prompt, text, maxNameBytes});
        return nextText(inputs);
    }

    // The window is shown, handed to onModal (which may work it as the user would),
    // and closed, without a nested event loop.
    void showModal(QDialog& window) override {
        modalWindows.append(window.windowTitle());
        window.show();
        if (onModal)
            onModal(window);
        window.close();
    }

    QStringList texts() const {
        QStringList result;
        for (const Shown& box : shown)
            result.append(box.text);
        return result;
    }

    QList<Answer> answers;
    QList<Shown> shown;
    QList<std::optional<QString>> fileNames; // nothing stands for Cancel
    QList<FileRequest> fileRequests;
    int saveFilterIndex = -1; // the filter the save dialog answers with, if set
    QList<std::optional<QString>> inputs;
    QList<Input> inputRequests;
    int unexpected = 0;
    QStringList modalWindows; // titles, in the order shown
    std::function<void(QDialog&)> onModal;

private:
    // Returns std::nullopt itself: a defaulted `{}` through a template made GCC's optimiser
    // warn of an uninitialised QString (-Wmaybe-uninitialized, a false positive).
    std::optional<QString> nextText(QList<std::optional<QString>>& script) {
        if (script.isEmpty()) {
            ++unexpected;
            return std::nullopt;
        }
        return script.takeFirst();
    }
};

// Volumes whose readiness a test decides.
class FakeVolumes final : public Volumes {
public:
    QList<Volume> mounted() override { return volumes; }
    bool isReady(const QString& root) override { return !notReady.contains(root); }

    QList<Volume> volumes{{QStringLiteral("/"), QString()}};
    QSet<QString> notReady;
};

class FakeLauncher final : public Launcher {
public:
    // Recorded as the command line a user would type: `player "path"`.
    bool startCommand(const QString& commandLine, const QStringList& arguments,
                      FailedSoon failedSoon = {}) override {
        QString line = commandLine;
        for (const QString& argument : arguments)
            line += QStringLiteral(" \"") + argument + QLatin1Char('"');
        commandLines.append(line);
        failures.append(std::move(failedSoon));
        return starts;
    }
    void openDocument(const QString& path, FailedSoon failedSoon = {}) override {
        documents.append(path);
        failures.append(std::move(failedSoon));
    }
    void openUrl(const QString& target) override { urls.append(target); }

    // The program started last gives up at once, as an opener that finds no application.
    void failLastStart() {
        if (!failures.isEmpty() && failures.last())
            failures.last()();
    }

    QStringList commandLines;
    QStringList documents;
    QStringList urls;
    QList<FailedSoon> failures; // one per command line or document, in the order started
    bool starts = true;         // whether the player's program is there to start
};

} // namespace tb::test
