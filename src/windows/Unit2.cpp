#include "windows/Unit2.h"

#include "controls/Centring.h"
#include "controls/TransBtn.h"
#include "controls/URLLabel.h"
#include "platform/Fonts.h"
#include "platform/Pictures.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

const QString kDesignFont = QStringLiteral("MS Sans Serif");

QLabel* makeLabel(QWidget* parent, const QString& text, const QRect& geometry, bool bold = false,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setFont(tb::pixelFont(kDesignFont, 11, bold));
    label->setAlignment(alignment);
    return label;
}

TURLLabel* makeLink(QWidget* parent, tb::Launcher& launcher, const QString& text,
                    const QString& url, const QPoint& at) {
    auto* link = new TURLLabel(parent);
    link->setText(text);
    link->setURL(url);
    link->setLauncher(&launcher);
    link->setColorNormal(Qt::blue);
    link->setColorMoveOver(Qt::red);
    link->setColorClick(QColor(0x80, 0x00, 0x80));
    link->adjustSize();
    link->move(at);
    return link;
}

const QStringList& memoLines() {
    static const QStringList lines{
        QStringLiteral("Díky autorům mého přehrávače,"),
        QStringLiteral("divadelnímu spolku za práci,"),
        QStringLiteral("kapele od vedle za muziku,"),
        QStringLiteral("skupině ze sklepa za písničky,"),
        QStringLiteral("dechovce z náměstí za pochody"),
        QStringLiteral("a všem, kdo hrají pro radost."),
        QString(),
        QString(),
        QString(),
        QStringLiteral("Toto je betaverze programu"),
        QStringLiteral("O případných chybách mne "),
        QStringLiteral("prosím informujte"),
    };
    return lines;
}

} // namespace

TAboutBox::TAboutBox(tb::Launcher& launcher, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("O programu"));
    setFixedSize(247, 302);
    setFont(tb::pixelFont(kDesignFont, 11));
    setAttribute(Qt::WA_QuitOnClose, false);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(7, 3, 233, 262);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);

    ProductName = new QLabel(QStringLiteral("Trackbinder"), Panel1);
    ProductName->setGeometry(48, 3, 137, 16);
    ProductName->setFont(tb::pixelFont(kDesignFont, 15, true));
    ProductName->setAlignment(Qt::AlignCenter);
    Version =
        makeLabel(Panel1, QStringLiteral("Verze 1.55"), {60, 21, 112, 13}, false, Qt::AlignCenter);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setGeometry(8, 37, 214, 94);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(tb::readPicture(QStringLiteral(":/logo.jpg")));

    Label1 = makeLabel(Panel1, QStringLiteral("© 2000 Brivola"), {7, 133, 216, 13}, false,
                       Qt::AlignCenter);
    Label2 = makeLabel(Panel1, QStringLiteral("E-mail:"), {20, 155, 45, 13}, true);
    URLLabel1 = makeLink(Panel1, launcher, QStringLiteral("trackbinder@brivola.example"),
                         QStringLiteral("mailto:trackbinder@brivola.example"), {67, 155});
    Label3 = makeLabel(Panel1, QStringLiteral("URL:"), {20, 171, 30, 13}, true);
    URLLabel2 = makeLink(Panel1, launcher, QStringLiteral("brivola.example/trackbinder"),
                         QStringLiteral("https://brivola.example/trackbinder"), {67, 171});

    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setGeometry(10, 193, 212, 63);
    Memo1->setReadOnly(true);
    Memo1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(tb::pixelFont(QStringLiteral("Arial"), 11, true));
    Memo1->setPlainText(memoLines().join(QLatin1Char('\n')));

    TransparentButton1 = new TTransparentButton(this);
    TransparentButton1->setGeometry(108, 272, 40, 29);
    TransparentButton1->setNumGlyphs(2); // the tick and its gray variant
    TransparentButton1->setGlyph(tb::readPicture(QStringLiteral(":/tick.png")));
    connect(TransparentButton1, &TTransparentButton::OnClick, this,
            &TAboutBox::TransparentButton1Click);

    // For screen readers, which see no text on these.
    ProgramIcon->setAccessibleName(QStringLiteral("Logo Trackbinder"));
    Memo1->setAccessibleName(QStringLiteral("Poděkování"));
    TransparentButton1->setAccessibleName(QStringLiteral("OK"));

    tb::centreOnScreen(*this);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::TransparentButton1Click() {
    // Escape and the close box end the box the same way, by the dialog's own keys.
    accept();
}
