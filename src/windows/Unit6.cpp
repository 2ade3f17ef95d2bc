#include "windows/Unit6.h"

#include "controls/Centring.h"
#include "controls/TransBtn.h"
#include "controls/X2000RC.h"
#include "platform/Fonts.h"
#include "platform/Pictures.h"

#include <QDateTime>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QShowEvent>
#include <QTextEdit>
#include <QTextOption>
#include <QToolButton>

namespace {

// Central-European fonts: the faces where installed, else ones of the same widths.
QFont tipFont(const QString& family, const QString& lookAlike, int pixelSize) {
    QFont font;
    font.setFamilies({family, lookAlike});
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

TTransparentButton* makeButton(QWidget* parent, const QRect& geometry, const QString& strip) {
    auto* button = new TTransparentButton(parent);
    button->setGeometry(geometry);
    // A normal and a gray cell; the count comes before the glyph, which is cut by it.
    button->setNumGlyphs(2);
    button->setGlyph(tb::readPicture(strip));
    return button;
}

} // namespace

const QStringList& TTips::tips() {
    static const QStringList table{
        QStringLiteral("Kliknutí pravým tlačítkem myši na seznam souborů v adresáři nebo na "
                       "obsah playlistu vyvolá Pop-up menu s různými funkcemi ?"),
        QStringLiteral("Na trhu existuje spousta konkurenčních programů na tvorbu playlistů ?"),
        QStringLiteral("Počítadlo položek mění svůj vzhled při každém spuštění programu ?"),
    };
    return table;
}

TTips::TTips(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Víte že ..."));
    setFixedSize(361, 149);
    setAttribute(Qt::WA_QuitOnClose, false);

    StaticText1 = new QLabel(windowTitle(), this);
    StaticText1->setGeometry(0, 0, 361, 23);
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setFont(tipFont(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), 16));
    StaticText1->setAutoFillBackground(true);
    QPalette yellow = StaticText1->palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    yellow.setColor(QPalette::WindowText, Qt::black);
    StaticText1->setPalette(yellow);
    StaticText1->setFocusPolicy(Qt::StrongFocus);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 23, 53, 126);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    SpeedButton1 = new QToolButton(Panel1);
    SpeedButton1->setGeometry(9, 10, 32, 103);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    const QPixmap bulb = tb::readPicture(QStringLiteral(":/bulb.png"));
    const int cell = bulb.width() / 2;
    QIcon bulbIcon;
    bulbIcon.addPixmap(bulb.copy(0, 0, cell, bulb.height()), QIcon::Normal);
    bulbIcon.addPixmap(bulb.copy(cell, 0, cell, bulb.height()), QIcon::Disabled);
    SpeedButton1->setIcon(bulbIcon);
    SpeedButton1->setIconSize(QSize(cell, bulb.height()));

    Memo1 = new QTextEdit(this);
    Memo1->setGeometry(52, 24, 282, 131);
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFont(
        tipFont(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), 16));
    QTextOption centred(Qt::AlignHCenter);
    centred.setWrapMode(QTextOption::WordWrap);
    Memo1->document()->setDefaultTextOption(centred);

    TransparentButton1 = makeButton(this, {336, 24, 22, 22}, QStringLiteral(":/next.png"));
    TransparentButton2 = makeButton(this, {336, 48, 22, 22}, QStringLiteral(":/previous.png"));
    TransparentButton3 = makeButton(this, {337, 76, 22, 70}, QStringLiteral(":/ok.png"));
    // For screen readers, which see no text on these.
    SpeedButton1->setAccessibleName(QStringLiteral("Tip"));
    Memo1->setAccessibleName(QStringLiteral("Tip"));
    TransparentButton1->setAccessibleName(QStringLiteral("Další tip"));
    TransparentButton2->setAccessibleName(QStringLiteral("Předchozí tip"));
    TransparentButton3->setAccessibleName(QStringLiteral("OK"));
    connect(TransparentButton1, &TTransparentButton::OnClick, this,
            &TTips::TransparentButton1Click);
    connect(TransparentButton2, &TTransparentButton::OnClick, this,
            &TTips::TransparentButton2Click);
    connect(TransparentButton3, &TTransparentButton::OnClick, this,
            &TTips::TransparentButton3Click);

    RemoveCaption2000X1 = new TRemoveCaption2000X(this);
    RemoveCaption2000X1->setEnabled(true);

    tb::centreOnScreen(*this);
}

TTips::~TTips() = default;

void TTips::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TTips::FormShow() {
    random_.seed(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
    tipIndex_ = static_cast<unsigned>(random_.bounded(1, static_cast<int>(tips().size()) + 1));
    showTip();
    StaticText1->setFocus();
}

void TTips::showTip() {
    Memo1->clear();
    Memo1->append(tips().at(static_cast<qsizetype>(tipIndex_) - 1));
}

void TTips::TransparentButton1Click() {
    tipIndex_ = tipIndex_ >= static_cast<unsigned>(tips().size()) ? 1 : tipIndex_ + 1;
    showTip();
}

void TTips::TransparentButton2Click() {
    tipIndex_ = tipIndex_ <= 1 ? static_cast<unsigned>(tips().size()) : tipIndex_ - 1;
    showTip();
}

void TTips::TransparentButton3Click() {
    // Escape and a close request close the window the same way, by the dialog's own keys.
    accept();
}
