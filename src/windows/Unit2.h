#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class TTransparentButton;
class TURLLabel;

namespace tb {
class Launcher;
}

// The About box: the program's name and version, the maker's logo, a mail link and a
// web link. It is shown once, as the program ends.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    // The links open through the launcher.
    explicit TAboutBox(tb::Launcher& launcher, QWidget* parent = nullptr);
    ~TAboutBox() override;

    QFrame* Panel1 = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* Label1 = nullptr; // the credit
    QLabel* Label2 = nullptr; // "E-mail:"
    TURLLabel* URLLabel1 = nullptr;
    QLabel* Label3 = nullptr; // "URL:"
    TURLLabel* URLLabel2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    TTransparentButton* TransparentButton1 = nullptr;

    void TransparentButton1Click();
};
