#include "app/Unit5.h"

#include "controls/Centring.h"
#include "controls/KPanel.h"
#include "platform/Dialogs.h"
#include "platform/ErrorReport.h"
#include "platform/Fonts.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSetup::TSetup(tb::Dialogs& dialogs, tb::ErrorReport& errors, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      dialogs_(dialogs), errors_(errors) {
    setWindowTitle(QStringLiteral("Nastavení Trackbinder"));
    setFixedSize(395, 195);
    setFont(tb::pixelFont(QStringLiteral("MS Sans Serif"), 11));
    setAttribute(Qt::WA_QuitOnClose, false);
    // A window is always filled with its palette's window colour.
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    KPanel1 = new TKPanel(this);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(KPanel1);
    KPanel1->setBeginColor(Qt::red);
    KPanel1->setEndColor(Qt::black);
    KPanel1->setGradientStyle(gsVertical);
    KPanel1->setBevelInner(bvLowered);
    KPanel1->setBevelOuter(bvLowered);
    KPanel1->setBevelWidth(3);

    Edit1 = new QLineEdit(QStringLiteral("explorer"), KPanel1);
    Edit1->setGeometry(8, 12, 285, 21);
    Edit1->setReadOnly(true);
    Button1 = new QPushButton(QStringLiteral("MP3 přehrávač"), KPanel1);
    Button1->setGeometry(300, 13, 83, 21);

    const auto checkBox = [this](const QString& text, int top, bool checked) {
        auto* box = new QCheckBox(text, KPanel1);
        box->setGeometry(12, top, 370, 17);
        box->setChecked(checked);
        QPalette whiteOnBlack = box->palette();
        whiteOnBlack.setColor(QPalette::WindowText, Qt::white);
        whiteOnBlack.setColor(QPalette::Window, Qt::black);
        box->setPalette(whiteOnBlack);
        box->setBackgroundRole(QPalette::Window);
        box->setAutoFillBackground(true);
        return box;
    };
    CheckBox1 = checkBox(QStringLiteral("Zobrazovat podivná čísílka"), 48, false);
    CheckBox2 = checkBox(QStringLiteral("Otevírat MP3 a načítat TAG (informace)"), 72, true);
    CheckBox3 =
        checkBox(QStringLiteral("Smazat playlist (obsah tabulky) po uložení souboru"), 96, true);
    CheckBox4 =
        checkBox(QStringLiteral("Ptát se na spuštění playlistu po jeho uložení"), 120, true);

    Button2 = new QPushButton(QStringLiteral("Zavřít"), KPanel1);
    Button2->setGeometry(160, 156, 75, 25);

    // For screen readers: the panel and the field show no text that names them.
    KPanel1->setAccessibleName(windowTitle());
    Edit1->setAccessibleName(QStringLiteral("Příkaz přehrávače"));

    // The boxes report every change of state, also the program's own, as toggled().
    const auto handle = [this](auto* sender, auto signal, void (TSetup::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { tb::guarded(errors_, [&] { (this->*handler)(); }); });
    };
    handle(Button1, &QPushButton::clicked, &TSetup::Button1Click);
    handle(CheckBox1, &QCheckBox::toggled, &TSetup::CheckBox1Click);
    handle(CheckBox2, &QCheckBox::toggled, &TSetup::CheckBox2Click);
    handle(CheckBox3, &QCheckBox::toggled, &TSetup::CheckBox3Click);
    handle(CheckBox4, &QCheckBox::toggled, &TSetup::CheckBox4Click);
    handle(Button2, &QPushButton::clicked, &TSetup::Button2Click);

    tb::centreOnScreen(*this);
}

TSetup::~TSetup() = default;

void TSetup::setValues(const SetupValues& values) {
    Edit1->setText(values.player);
    CheckBox1->setChecked(values.displays);
    CheckBox2->setChecked(values.readTags);
    CheckBox3->setChecked(values.clearAfterSave);
    CheckBox4->setChecked(values.askToPlay);
}

SetupValues TSetup::values() const {
    return {Edit1->text(), CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox3->isChecked(),
            CheckBox4->isChecked()};
}

void TSetup::Button1Click() {
    tb::Dialogs::FileRequest request;
#ifdef Q_OS_WIN
    request.filter = QStringLiteral("Programy (*.exe)");
    request.proposedName = QStringLiteral("*.exe");
#else
    // Programs here carry no name extension: every file is offered.
    request.filter = QStringLiteral("Programy (*)");
#endif
    const std::optional<QString> chosen = dialogs_.openFileName(this, request);
    if (!chosen)
        return;
    const QString player = QDir::toNativeSeparators(*chosen);
    Edit1->setText(player);
    emit valueChanged(SetupValues::Field::Player);
}

void TSetup::CheckBox1Click() {
    emit valueChanged(SetupValues::Field::Displays);
}

void TSetup::CheckBox2Click() {
    emit valueChanged(SetupValues::Field::ReadTags);
}

void TSetup::CheckBox3Click() {
    emit valueChanged(SetupValues::Field::ClearAfterSave);
}

void TSetup::CheckBox4Click() {
    emit valueChanged(SetupValues::Field::AskToPlay);
}

void TSetup::Button2Click() {
    close();
}
