#pragma once

#include <QString>

class QWidget;

namespace tb {

// Every modal box of the program goes through this seam, so that tests can
// answer with a script instead of waiting on a real dialog.
class Dialogs {
public:
    enum class Kind { Error, Warning, Confirmation, Information };
    enum class Buttons { Ok, YesNo };
    // Closed: the box was dismissed by its own close button or Escape.
    enum class Answer { Ok, Yes, No, Closed };

    virtual ~Dialogs() = default;

    // title empty: the box takes the title of its kind.
    virtual Answer message(QWidget* parent, Kind kind, const QString& title, const QString& text,
                           Buttons buttons) = 0;

    Answer error(QWidget* parent, const QString& text) {
        return message(parent, Kind::Error, QString(), text, Buttons::Ok);
    }
    Answer confirm(QWidget* parent, const QString& text) {
        return message(parent, Kind::Confirmation, QString(), text, Buttons::YesNo);
    }
};

// The real boxes: QMessageBox with the icon of each kind and Qt's standard buttons.
class QtDialogs final : public Dialogs {
public:
    Answer message(QWidget* parent, Kind kind, const QString& title, const QString& text,
                   Buttons buttons) override;
};

} // namespace tb
