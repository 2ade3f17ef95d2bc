#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TForm1;
class TKPanel;
struct AppSettings;

namespace tb {
class Dialogs;
}

// The settings dialog: the player program and four switches. Each change takes
// effect in memory at once; the main window writes the settings at shut-down.
class TSetup : public QDialog {
    Q_OBJECT

public:
    // The settings and the main window's displays are the ones it changes; the player
    // is chosen through the dialogs.
    TSetup(TForm1& form, AppSettings& settings, tb::Dialogs& dialogs, QWidget* parent = nullptr);
    ~TSetup() override;

    TKPanel* KPanel1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QCheckBox* CheckBox1 = nullptr; // the displays ("Blikatka")
    QCheckBox* CheckBox2 = nullptr; // "CistTag"
    QCheckBox* CheckBox3 = nullptr; // "DelAfter"
    QCheckBox* CheckBox4 = nullptr; // "AskRun"
    QPushButton* Button2 = nullptr;

    void Button1Click();
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void Button2Click();

private:
    TForm1& form_;
    AppSettings& settings_;
    tb::Dialogs& dialogs_;
};
