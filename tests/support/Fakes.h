#pragma once

#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "platform/Volumes.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace tb::test {

// Answers every box from a script, in order, and records what was asked.
// A box beyond the script is answered Ok / Yes and counted as unexpected.
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        Kind kind;
        QString title;
        QString text;
    };

    Answer message(QWidget* parent, Kind kind, const QString& title, const QString& text,
                   Buttons buttons) override;
    std::optional<QString> openFileName(QWidget* parent, const FileRequest& request) override;
    std::optional<QString> saveFileName(QWidget* parent, const FileRequest& request) override;
    std::optional<QString> inputText(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& text, int maxLength) override;

    QList<Answer> answers;
    QList<Shown> shown;
    int unexpected = 0;

    // Scripted file dialogs and input boxes: nothing stands for Cancel.
    QList<std::optional<QString>> fileNames;
    QList<FileRequest> fileRequests;
    struct Input {
        QString caption;
        QString prompt;
        QString text;
        int maxLength;
    };
    QList<std::optional<QString>> inputs;
    QList<Input> inputRequests;

    QStringList texts() const;
};

// Volumes whose readiness a test decides.
class FakeVolumes final : public Volumes {
public:
    QList<Volume> mounted() override { return volumes; }
    bool isReady(const QString& root) override { return !notReady.contains(root); }

    QList<Volume> volumes;
    QSet<QString> notReady;
};

class FakeLauncher final : public Launcher {
public:
    void startCommandLine(const QString& commandLine) override { commandLines.append(commandLine); }
    void openDocument(const QString& path) override { documents.append(path); }

    QStringList commandLines;
    QStringList documents;
};

} // namespace tb::test
