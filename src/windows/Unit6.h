#pragma once

#include <QDialog>
#include <QRandomGenerator>
#include <QStringList>

class QFrame;
class QLabel;
class QTextEdit;
class QToolButton;
class TRemoveCaption2000X;
class TTransparentButton;

// The tips window: one hint at a time under "Víte že ...", paged by two pointing
// hands and closed by the OK key. It stands without a caption bar.
class TTips : public QDialog {
    Q_OBJECT

public:
    explicit TTips(QWidget* parent = nullptr);
    ~TTips() override;

    // The tips, in the order that the hands page through them.
    static const QStringList& tips();

    QLabel* StaticText1 = nullptr;
    QFrame* Panel1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QTextEdit* Memo1 = nullptr;
    TTransparentButton* TransparentButton1 = nullptr; // next
    TTransparentButton* TransparentButton2 = nullptr; // previous
    TTransparentButton* TransparentButton3 = nullptr; // OK
    TRemoveCaption2000X* RemoveCaption2000X1 = nullptr;

    void FormShow();
    void TransparentButton1Click();
    void TransparentButton2Click();
    void TransparentButton3Click();

    // Position of the tip shown, from 1 to the number of tips.
    unsigned tipIndex() const { return tipIndex_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showTip();

    unsigned tipIndex_ = 1;
    QRandomGenerator random_;
};
