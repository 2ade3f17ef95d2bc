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

QStringList ScriptedDialogs::texts() const {
    QStringList result;
    for (const Shown& box : shown)
        result.append(box.text);
    return result;
}

} // namespace tb::test
