#include "platform/Dialogs.h"

#include "platform/NameRules.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace tb {

namespace {

QString titleOf(Dialogs::Kind kind) {
    switch (kind) {
    case Dialogs::Kind::Error:
        return QStringLiteral("Chyba");
    case Dialogs::Kind::Warning:
        return QStringLiteral("Upozornění");
    case Dialogs::Kind::Confirmation:
        return QStringLiteral("Potvrzení");
    case Dialogs::Kind::Information:
        return QStringLiteral("Informace");
    case Dialogs::Kind::Plain:
        break;
    }
    return QCoreApplication::applicationName();
}

QMessageBox::Icon iconOf(Dialogs::Kind kind) {
    switch (kind) {
    case Dialogs::Kind::Error:
        return QMessageBox::Critical;
    case Dialogs::Kind::Warning:
        return QMessageBox::Warning;
    case Dialogs::Kind::Confirmation:
        return QMessageBox::Question;
    case Dialogs::Kind::Information:
        return QMessageBox::Information;
    case Dialogs::Kind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

// A message box that shows its text as it stands, and tells Escape, which
// answers No, from the window's own close button, which closes it unanswered.
class MessageBox : public QMessageBox {
public:
    MessageBox(Icon icon, const QString& title, const QString& text, QWidget* parent)
        : QMessageBox(icon, title, text, NoButton, parent) {
        setTextFormat(Qt::PlainText);
    }
    bool closedByWindow() const { return closedByWindow_; }

protected:
    void closeEvent(QCloseEvent* event) override {
        closedByWindow_ = clickedButton() == nullptr;
        QMessageBox::closeEvent(event);
    }

private:
    bool closedByWindow_ = false;
};

// An input box that will not close on OK while its name is longer than the file system
// holds: it says so, and keeps the text for the user to shorten.
class NameInputBox : public QInputDialog {
public:
    NameInputBox(QWidget* parent, int maxNameBytes)
        : QInputDialog(parent), maxNameBytes_(maxNameBytes) {}

    void done(int result) override {
        const qsizetype bytes = nameBytes(textValue());
        if (result == Accepted && bytes > maxNameBytes_) {
            MessageBox box(QMessageBox::Warning, titleOf(Dialogs::Kind::Warning),
                           QStringLiteral("Jméno souboru je příliš dlouhé: má %1 bajtů, smí mít "
                                          "nejvýše %2. Zkraťte je, prosím.")
                               .arg(bytes)
                               .arg(maxNameBytes_),
                           this);
            box.setStandardButtons(QMessageBox::Ok);
            box.exec();
            return;
        }
        QInputDialog::done(result);
    }

private:
    int maxNameBytes_;
};

std::optional<QString> runFileDialog(QWidget* parent, const Dialogs::FileRequest& request,
                                     QFileDialog::AcceptMode mode,
                                     QString* chosenFilter = nullptr) {
    QFileDialog dialog(parent, request.title, request.directory, request.filter);
    dialog.setAcceptMode(mode);
    // A typed name need not exist, also when opening: the open then reports it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.selectedFilter.isEmpty())
        dialog.selectNameFilter(request.selectedFilter);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    if (chosenFilter)
        *chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> QtDialogs::openFileName(QWidget* parent, const FileRequest& request) {
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::saveFileName(QWidget* parent, const FileRequest& request,
                                               QString* chosenFilter) {
    return runFileDialog(parent, request, QFileDialog::AcceptSave, chosenFilter);
}

std::optional<QString> QtDialogs::inputText(QWidget* parent, const QString& caption,
                                            const QString& prompt, const QString& text,
                                            int maxNameBytes) {
    NameInputBox dialog(parent, maxNameBytes);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    if (auto* label = dialog.findChild<QLabel*>())
        label->setTextFormat(Qt::PlainText); // a file name may look like markup
    dialog.setTextValue(text);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void QtDialogs::showModal(QDialog& window) {
    window.exec();
}

Dialogs::Answer QtDialogs::message(QWidget* parent, Kind kind, const QString& title,
                                   const QString& text, Buttons buttons) {
    QString caption = title.isEmpty() ? titleOf(kind) : title;
    if (caption.isEmpty())
        caption = QCoreApplication::applicationName();
    MessageBox box(iconOf(kind), caption, text, parent);
    if (buttons == Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return Answer::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    if (box.closedByWindow())
        return Answer::Closed;
    return box.clickedButton() == box.button(QMessageBox::Yes) ? Answer::Yes : Answer::No;
}

} // namespace tb
