#include "support/Fakes.h"

namespace tb::test {

Dialogs::Answer ScriptedDialogs::message(QWidget*, Kind kind, const QString& title,
                                         const QString& text, Buttons buttons) {
    shown.append({kind, title, text});
    if (!answers.isEmpty())
        return answers.takeFirst();
    ++unexpected;
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
}

namespace {
std::optional<QString> takeFileName(ScriptedDialogs& dialogs, const Dialogs::FileRequest& request) {
    dialogs.fileRequests.append(request);
    if (dialogs.fileNames.isEmpty()) {
        ++dialogs.unexpected;
        return std::nullopt;
    }
    return dialogs.fileNames.takeFirst();
}
} // namespace

std::optional<QString> ScriptedDialogs::openFileName(QWidget*, const FileRequest& request) {
    return takeFileName(*this, request);
}

std::optional<QString> ScriptedDialogs::saveFileName(QWidget*, const FileRequest& request) {
    return takeFileName(*this, request);
}

std::optional<QString> ScriptedDialogs::inputText(QWidget*, const QString& caption,
                                                  const QString& prompt, const QString& text,
                                                  int maxLength) {
    inputRequests.append({caption, prompt, text, maxLength});
    if (inputs.isEmpty()) {
        ++unexpected;
        return std::nullopt;
    }
    return inputs.takeFirst();
}

QStringList ScriptedDialogs::texts() const {
    QStringList result;
    for (const Shown& box : shown)
        result.append(box.text);
    return result;
}

} // namespace tb::test
