#pragma once

#include <QString>
#include <optional>

class QDialog;
class QWidget;

namespace tb {

// Every modal box of the program goes through this seam, so that tests can
// answer with a script instead of waiting on a real dialog.
class Dialogs {
public:
    // Plain: no icon, the application's title.
    enum class Kind { Error, Warning, Confirmation, Information, Plain };
    enum class Buttons { Ok, YesNo };
    // Closed: the box was dismissed by its window's own close button. Escape
    // answers No.
    enum class Answer { Ok, Yes, No, Closed };

    struct FileRequest {
        QString title;
        QString filter;         // Qt's form: "Playlists (*.m3u);;All files (*)"
        QString directory;      // where the dialog starts
        QString proposedName;   // the name in the name field
        QString defaultSuffix;  // added when the chosen name has none
        QString selectedFilter; // the filter chosen at first; empty: the first
    };

    virtual ~Dialogs() = default;

    // title empty: the box takes the title of its kind.
    virtual Answer message(QWidget* parent, Kind kind, const QString& title, const QString& text,
                           Buttons buttons) = 0;

    // The chosen file's full path, or nothing when the user cancelled. Neither asks
    // before overwriting, nor changes the process's working directory.
    virtual std::optional<QString> openFileName(QWidget* parent, const FileRequest& request) = 0;
    // chosenFilter, where given, gets the filter the user chose the name with.
    virtual std::optional<QString> saveFileName(QWidget* parent, const FileRequest& request,
                                                QString* chosenFilter = nullptr) = 0;
    // A one-line input box for a file name, or a path ending in one; nothing when
    // cancelled. OK with a name of more than maxNameBytes bytes in the file system's
    // encoding (nameBytes) is refused with a word why, the text kept for shortening.
    virtual std::optional<QString> inputText(QWidget* parent, const QString& caption,
                                             const QString& prompt, const QString& text,
                                             int maxNameBytes) = 0;

    // Shows one of the program's own windows modally and returns once it is closed.
    virtual void showModal(QDialog& window) = 0;

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
    std::optional<QString> openFileName(QWidget* parent, const FileRequest& request) override;
    std::optional<QString> saveFileName(QWidget* parent, const FileRequest& request,
                                        QString* chosenFilter = nullptr) override;
    std::optional<QString> inputText(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& text, int maxNameBytes) override;
    void showModal(QDialog& window) override;
};

} // namespace tb
