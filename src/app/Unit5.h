#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TKPanel;

namespace tb {
class Dialogs;
class ErrorReport;
} // namespace tb

// What the settings dialog shows and the user changes.
struct SetupValues {
    QString player;
    bool displays = false;      // "Blikatka"
    bool readTags = true;       // "CistTag"
    bool clearAfterSave = true; // "DelAfter"
    bool askToPlay = true;      // "AskRun"

    enum class Field { Player, Displays, ReadTags, ClearAfterSave, AskToPlay };
};

// The settings dialog: the player program and four switches. Each change is
// announced at once, so that it takes effect in memory; the main window writes the
// settings at shut-down.
class TSetup : public QDialog {
    Q_OBJECT

public:
    // The player is chosen through the dialogs; errors of its handlers go to errors.
    TSetup(tb::Dialogs& dialogs, tb::ErrorReport& errors, QWidget* parent = nullptr);
    ~TSetup() override;

    // Shows the values; each box whose state changes announces it.
    void setValues(const SetupValues& values);
    SetupValues values() const;

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

signals:
    // A box changed state, by the user's click or through setValues, or the user chose
    // a player (setValues announces no player).
    void valueChanged(SetupValues::Field field);

private:
    tb::Dialogs& dialogs_;
    tb::ErrorReport& errors_;
};
