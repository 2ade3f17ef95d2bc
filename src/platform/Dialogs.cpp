#include "platform/Dialogs.h"

#include <QCoreApplication>
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
    }
    return QMessageBox::NoIcon;
}

} // namespace

Dialogs::Answer QtDialogs::message(QWidget* parent, Kind kind, const QString& title,
                                   const QString& text, Buttons buttons) {
    QMessageBox box(iconOf(kind), title.isEmpty() ? titleOf(kind) : title, text,
                    QMessageBox::NoButton, parent);
    if (buttons == Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return Answer::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    // QMessageBox would treat its close button as No. A hidden escape button
    // keeps "closed" apart from No, which the exit question relies on.
    QPushButton* closeButton = box.addButton(QMessageBox::Cancel);
    closeButton->hide();
    box.setEscapeButton(closeButton);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == box.button(QMessageBox::Yes))
        return Answer::Yes;
    if (clicked == box.button(QMessageBox::No))
        return Answer::No;
    return Answer::Closed;
}

} // namespace tb
