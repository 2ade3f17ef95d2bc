#include "app/Unit1.h"

#include "app/Unit5.h"
#include "controls/BalHint.h"
#include "controls/Centring.h"
#include "controls/Digits.h"
#include "controls/Lcd99.h"
#include "controls/Progress.h"
#include "controls/TransBtn.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/DriveBox.h"
#include "filetools/FileBrowser.h"
#include "filetools/FileListBox.h"
#include "filetools/FilterComboBox.h"
#include "filetools/RenameDelete.h"
#include "filetools/TagPanel.h"
#include "platform/Dialogs.h"
#include "platform/DroppedFiles.h"
#include "platform/FileNames.h"
#include "platform/Fonts.h"
#include "platform/IoError.h"
#include "platform/Launcher.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/Volumes.h"
#include "platform/Windows1250.h"
#include "playlist/DriveSearch.h"
#include "playlist/PlaylistCurating.h"
#include "playlist/PlaylistEditing.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistFind.h"
#include "playlist/PlaylistKeeper.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "playlist/Prefix.h"
#include "windows/Unit2.h"
#include "windows/Unit4.h"
#include "windows/Unit6.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPen>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QSignalBlocker>
#include <QTimer>
#include <new>
#include <stdexcept>

namespace {

const QString kDesignFont = QStringLiteral("MS Sans Serif");

// The LCD display's value until Timer2's first tick: a jumble of letters that reads as
// no number, so that the display looks busy before it counts.
const QString kLcdValueBeforeFirstTick = QStringLiteral("QRQWDRQWEDQW");
// The end (excluded) of Timer2's numbers for the display's ten cells: 10^10 wrapped to
// 32 bits, as the draw has always been made; it keeps every number to ten digits.
constexpr int kLcdNumberEnd = static_cast<int>(10'000'000'000LL % (1LL << 32));
static_assert(kLcdNumberEnd == 1'410'065'408);

void setTextColor(QWidget* widget, const QColor& color,
                  QPalette::ColorRole role = QPalette::WindowText) {
    QPalette pal = widget->palette();
    pal.setColor(role, color);
    widget->setPalette(pal);
}

QLabel* makeLabel(QWidget* parent, const QString& text, int x, int y, int pixelSize, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setFont(tb::pixelFont(kDesignFont, pixelSize, bold));
    setTextColor(label, Qt::white);
    label->adjustSize();
    label->move(x, y);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& text, const QRect& geometry,
                        const QString& hint = QString()) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    button->setToolTip(hint);
    return button;
}

QPushButton* makeBitmapButton(QWidget* parent, const QString& text, const QRect& geometry,
                              QStyle::StandardPixmap glyph) {
    QPushButton* button = makeButton(parent, text, geometry);
    button->setIcon(parent->style()->standardIcon(glyph));
    button->setIconSize(QSize(14, 14));
    return button;
}

QRadioButton* makeRadio(QWidget* parent, const QString& text, const QRect& geometry,
                        const QString& hint) {
    auto* radio = new QRadioButton(text, parent);
    radio->setGeometry(geometry);
    radio->setToolTip(hint);
    return radio;
}

} // namespace

TForm1::TForm1(AppServices services, AppSettings& settings, QWidget* parent)
    : QWidget(parent), services_(services), settings_(settings), switches_(settings) {
    TBaloonHint::setMainWindow(this); // its balloon component styles every hint
    setWindowTitle(QStringLiteral("Trackbinder by Brivola 2000"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(730, 492);
    setFont(tb::pixelFont(kDesignFont, 11));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    createControls();
    createTagPanel();
    createMenus();
    createJobs();
    nameControlsForReaders();
    createShortcuts();
    connectHandlers();
    connectFileBrowser();
    connectPlaylistFiles();
    connectTagsAndFileTools();
    connectDriveSearch();
    connectCurating();

    tb::centreOnScreen(*this);
}

TForm1::~TForm1() = default;

void TForm1::setWindows(const AppWindows& windows) {
    windows_ = windows;
    TSetup* setup = windows_.setup;
    if (!setup)
        return;
    // The dialog's changes take effect at once; the settings are written at shut-down.
    connect(setup, &TSetup::valueChanged, this, [this, setup](SetupValues::Field field) {
        const SetupValues values = setup->values();
        switch (field) {
        case SetupValues::Field::Player:
            settings_.rgPlay = values.player;
            break;
        case SetupValues::Field::Displays:
            settings_.blikatka = values.displays;
            setDecorativeDisplaysOn(values.displays);
            break;
        case SetupValues::Field::ReadTags:
            settings_.cistTag = values.readTags;
            break;
        case SetupValues::Field::ClearAfterSave:
            settings_.delAfter = values.clearAfterSave;
            break;
        case SetupValues::Field::AskToPlay:
            settings_.askRun = values.askToPlay;
            break;
        }
    });
}

void TForm1::createControls() {
    Button4 = makeBitmapButton(this, QStringLiteral("Uložit playlist"), {4, 8, 97, 25},
                               QStyle::SP_DialogSaveButton);
    BitBtn3 = makeBitmapButton(this, QStringLiteral("Otevřít playlist"), {4, 40, 97, 25},
                               QStyle::SP_DialogOpenButton);
    BitBtn2 = makeBitmapButton(this, QStringLiteral("KONEC"), {4, 80, 97, 25},
                               QStyle::SP_DialogCloseButton);

    Image1 = new QLabel(this);
    Image1->setGeometry(116, 4, 117, 109);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(QStringLiteral(":/image1.png")));

    LCD991 = new TLCD99(this);
    LCD991->setGeometry(246, 8, 157, 25);
    LCD991->setDigitNum(10);
    LCD991->setAnimation(TLCDAnimation::anRandom);
    LCD991->setAnimationDelay(250);
    LCD991->setValue(kLcdValueBeforeFirstTick);
    LCD991->hide();

    PG1 = new TProgress(this);
    PG1->setGeometry(264, 45, 121, 12);
    PG1->setBackColor(Qt::black);
    PG1->setBorderColor(Qt::black);
    PG1->setTextFont(tb::pixelFont(kDesignFont, 16, true)); // white: text shows inverted anyway

    StaticText1 = new QLabel(QStringLiteral("Maximální počet položek je 65535!"), this);
    StaticText1->setGeometry(112, 60, 269, 17);
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setFrameStyle(QFrame::Box | QFrame::Plain);
    StaticText1->setAutoFillBackground(true);
    QPalette navy = StaticText1->palette();
    navy.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80));
    navy.setColor(QPalette::WindowText, Qt::white);
    StaticText1->setPalette(navy);
    StaticText1->hide();

    GroupBox1 = new QGroupBox(QStringLiteral("Přidávat před jméno souboru ..."), this);
    GroupBox1->setGeometry(416, 4, 309, 105);
    GroupBox1->setToolTip(
        QStringLiteral("Text, který se přidá před jméno každého souboru vloženého do playlistu"));
    setTextColor(GroupBox1, Qt::white);
    RadioButton1 = makeRadio(GroupBox1, QStringLiteral("Kompletní cestu"), {8, 16, 113, 17},
                             QStringLiteral("Přidá se kompletní cesta (C:\\DATA\\MP3\\)"));
    RadioButton2 = makeRadio(GroupBox1, QStringLiteral("Cestu bez disku"), {8, 32, 113, 17},
                             QStringLiteral("Přidá se cesta bez disku (DATA\\MP3\\)"));
    RadioButton3 = makeRadio(GroupBox1, QStringLiteral("Pouze poslední adresář"), {8, 48, 189, 17},
                             QStringLiteral("Přidá se pouze poslední adresář (MP3\\)"));
    RadioButton4 = makeRadio(GroupBox1, QStringLiteral("Text"), {8, 64, 49, 17},
                             QStringLiteral("Přidá se zvolený text"));
    Edit1 = new QLineEdit(tb::defaultPrefixText(), GroupBox1);
    Edit1->setGeometry(52, 64, 249, 21);
    setTextColor(Edit1, Qt::red, QPalette::Text);
    Edit1->setEnabled(false);
    RadioButton5 = makeRadio(GroupBox1, QStringLiteral("Nic"), {8, 88, 113, 13},
                             QStringLiteral("Nepřidá se vůbec nic"));
    RadioButton3->setChecked(true);

    Label7 = makeLabel(this, QStringLiteral("Playlist"), 336, 116, 13, true);

    FilterComboBox1 = new TFilterComboBox(this);
    FilterComboBox1->setGeometry(164, 116, 145, 21);
    DirectoryListBox1 = new TDirectoryListBox(this);
    DirectoryListBox1->setGeometry(4, 117, 157, 213);
    FileListBox1 = new TFileListBox(this);
    FileListBox1->setGeometry(164, 140, 145, 189);

    Button1 = makeButton(this, QStringLiteral(">>> Přidat >>>"), {313, 135, 100, 25},
                         QStringLiteral("Přidá položku/položky do playlistu"));
    Button3 = makeButton(this, QStringLiteral("Odebrat <<<"), {313, 162, 100, 25},
                         QStringLiteral("Odebere položku/položky z playlistu"));
    Button2 = makeButton(this, QStringLiteral("Odebrat vše"), {313, 188, 100, 25},
                         QStringLiteral("Smaže obsah playlistu"));
    Label8 = makeLabel(this, QStringLiteral("MP3 Soubory"), 316, 232, 13, true);
    BitBtn1 = makeBitmapButton(this, QStringLiteral("Přehrát"), {313, 253, 100, 25},
                               QStyle::SP_MediaPlay);
    PrejmenBt = makeBitmapButton(this, QStringLiteral("Přejmenovat"), {313, 279, 100, 25},
                                 QStyle::SP_FileDialogContentsView);
    SmazatBt =
        makeBitmapButton(this, QStringLiteral("Smazat"), {313, 304, 100, 25}, QStyle::SP_TrashIcon);
    BitBtn1->setEnabled(false);
    PrejmenBt->setEnabled(false);
    SmazatBt->setEnabled(false);

    playlist_ = new PlaylistModel(this);
    ListBox1 = new TPlaylistView(this);
    ListBox1->setGeometry(416, 116, 309, 185);
    ListBox1->setItemHeight(13);
    ListBox1->setModel(playlist_);

    Digits1 = new TDigits(this);
    Digits1->move(528, 304);
    Digits1->setBmpDigits(QImage(QStringLiteral(":/digitstrip.bmp")));
    Digits1->setShowLeadingZeros(true);
    Digits1->setIncDecSpeed(25);
    Digits1->setIncDecSteps(8);
    Digits1->setToolTip(QStringLiteral("Počet položek PlayListu"));

    Disk = new TDriveBox(this);
    Disk->setGeometry(3, 336, 158, 19);
    Button7 = makeButton(this, QStringLiteral("Vyber vše"), {192, 336, 89, 17},
                         QStringLiteral("Vybere všechny soubory v adresáři"));
    Button8 = makeButton(
        this, QStringLiteral("Přidat všechny MP3 na aktuálním disku"), {476, 336, 205, 17},
        QStringLiteral("Do PlayListu přidá jméno a kompletní cestu všech MP3 na aktuálním disku"));

    StaticText2 = new QLabel(QStringLiteral("HLEDÁM"), this);
    StaticText2->setGeometry(527, 99, 107, 26);
    StaticText2->setFont(tb::pixelFont(QStringLiteral("PosterBodoni BT"), 19, true));
    StaticText2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText2->setAlignment(Qt::AlignCenter);
    setTextColor(StaticText2, Qt::red);
    StaticText2->hide();

    TransparentButton2 = new TTransparentButton(this);
    TransparentButton2->setGeometry(688, 364, 40, 40);
    TransparentButton2->setGlyph(QPixmap(QStringLiteral(":/help.png")));

    Panel1 = new QFrame(this);
    Panel1->setGeometry(688, 404, 40, 84);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    TransparentButton1 = new TTransparentButton(Panel1);
    TransparentButton1->setGeometry(2, 4, 35, 83);
    TransparentButton1->setTransparent(false);
    TransparentButton1->setGlyph(QPixmap(QStringLiteral(":/settings.png")));
    TransparentButton1->setToolTip(QStringLiteral("Nastavení parametrů programu"));

    Timer1 = new QTimer(this);
    Timer1->setInterval(10);
    Timer2 = new QTimer(this);
    Timer2->setInterval(3000);

    BaloonHint1 = new TBaloonHint(this);
    BaloonHint1->setHintPauseTime(500);
    BaloonHint1->setHintHidePause(5000);
    BaloonHint1->setAlignment(tb::TAlignment::taCenter);
    BaloonHint1->setPen(QPen(Qt::white, 2));
    BaloonHint1->setBrush(Qt::red);
    BaloonHint1->setFont(tb::pixelFont(kDesignFont, 13, true));
}

void TForm1::createTagPanel() {
    GroupBox3 = new QGroupBox(QStringLiteral("MP3 TAG"), this);
    GroupBox3->setGeometry(6, 364, 677, 121);
    GroupBox3->setFont(tb::pixelFont(kDesignFont, 11, true));
    setTextColor(GroupBox3, Qt::white);

    const auto label = [this](const QString& text, int x, int y) {
        auto* l = new QLabel(text, GroupBox3);
        l->setFont(tb::pixelFont(kDesignFont, 11));
        setTextColor(l, Qt::white);
        l->adjustSize();
        l->move(x, y);
        return l;
    };
    Label1 = label(QStringLiteral("Title: "), 8, 36);
    Label2 = label(QStringLiteral("Artist: "), 8, 66);
    Label3 = label(QStringLiteral("Album: "), 8, 96);
    Label4 = label(QStringLiteral("Year:"), 332, 36);
    Label5 = label(QStringLiteral("Comment:"), 332, 66);
    Label6 = label(QStringLiteral("Genre:"), 332, 96);

    const auto field = [this](const QRect& geometry, const QColor& color, const QString& hint) {
        auto* f = new QLabel(GroupBox3);
        f->setGeometry(geometry);
        f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        f->setFont(tb::pixelFont(kDesignFont, 11, true));
        setTextColor(f, color);
        f->setToolTip(hint);
        f->setTextFormat(Qt::PlainText);
        return f;
    };
    FileNameTag =
        field({10, 12, 657, 17}, QColor(0x80, 0x80, 0x80), QStringLiteral("Název skladby"));
    FileNameTag->setAlignment(Qt::AlignCenter);
    TitleTag = field({48, 35, 277, 17}, Qt::red, QStringLiteral("Název skladby"));
    ArtistTag = field({48, 66, 277, 17}, QColor(0x00, 0xFF, 0x00),
                      QStringLiteral("Tvůrce skladby (skupina, skladatel)"));
    AlbumTag =
        field({48, 96, 277, 17}, Qt::yellow, QStringLiteral("Album, na kterém se skladba nachází"));
    YearTag = field({392, 35, 277, 17}, Qt::magenta, QStringLiteral("Rok vydání"));
    CommentTag = field({392, 66, 277, 17}, QColor(0xC0, 0xC0, 0xC0), QStringLiteral("Komentář"));
    GenreTag = field({392, 96, 277, 17}, QColor(0x00, 0x80, 0x80),
                     QStringLiteral("Druh hudby (Rock, Pop, Klasika, ...)"));
}

void TForm1::createMenus() {
    QStyle* st = style();
    Pop1 = new QMenu(this);
    Pridat1 = Pop1->addAction(st->standardIcon(QStyle::SP_ArrowRight), QStringLiteral("Přidat"));
    Vyberve1 = Pop1->addAction(st->standardIcon(QStyle::SP_DialogApplyButton),
                               QStringLiteral("Vyber vše"));
    Prehraj1 = Pop1->addAction(st->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("Přehraj"));
    Prejmen = Pop1->addAction(st->standardIcon(QStyle::SP_FileDialogContentsView),
                              QStringLiteral("Přejmenovat"));
    Smazat1 = Pop1->addAction(st->standardIcon(QStyle::SP_TrashIcon), QStringLiteral("Smazat"));

    POP2 = new QMenu(this);
    Odebrat1 = POP2->addAction(st->standardIcon(QStyle::SP_ArrowLeft), QStringLiteral("Odebrat"));
    OdebratAll = POP2->addAction(st->standardIcon(QStyle::SP_DialogDiscardButton),
                                 QStringLiteral("Odebrat vše"));
    AllMP3 = POP2->addAction(st->standardIcon(QStyle::SP_DriveHDIcon),
                             QStringLiteral("Přidat všechny MP3 na disku"));
    SaveList = POP2->addAction(st->standardIcon(QStyle::SP_DialogSaveButton),
                               QStringLiteral("Uložit playlist"));
    SavePaths = POP2->addMenu(QStringLiteral("Cesty v uloženém playlistu"));
    auto* pathModes = new QActionGroup(SavePaths);
    for (const char* text : {"jak jsou v playlistu", "relativně k playlistu", "úplné"}) {
        QAction* action = SavePaths->addAction(QString::fromUtf8(text));
        action->setCheckable(true);
        pathModes->addAction(action);
        SavePathModes.append(action);
    }
    SavePathModes.first()->setChecked(true);
    OpenList = POP2->addAction(st->standardIcon(QStyle::SP_DialogOpenButton),
                               QStringLiteral("Přidat ze souboru (otevřít playlist)"));
    Pamatuj1 = POP2->addAction(QStringLiteral("Pamatovat si playlist"));
    Pamatuj1->setCheckable(true);
    Pamatuj1->setChecked(true);
    createCurateActions();

    FileListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FileListBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Pop1->popup(FileListBox1->viewport()->mapToGlobal(at)); });
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { POP2->popup(ListBox1->viewport()->mapToGlobal(at)); });
    connect(POP2, &QMenu::aboutToShow, this, [this] { POP2Popup(); });
}

void TForm1::createSearchChoice() {
    HledatNaDisku = new QMenu(QStringLiteral("Hledat na disku"), POP2);
    POP2->insertMenu(SaveList, HledatNaDisku);
    auto* kinds = new QActionGroup(HledatNaDisku);
    for (const bool all : {false, true}) {
        QAction* action = HledatNaDisku->addAction(all ? QStringLiteral("všechny hudební soubory")
                                                       : QStringLiteral("jen MP3"));
        action->setCheckable(true);
        action->setChecked(all == settings_.searchesAllMusic());
        kinds->addAction(action);
        HledatVse.append(action);
        connect(action, &QAction::triggered, this, [this, all] {
            settings_.hledatVse = all ? QStringLiteral("ANO") : QStringLiteral("NE");
            driveSearch_->setAllMusic(all);
        });
    }
}

void TForm1::createCurateActions() {
    // A key shown in the menu; the moves' keys act in the playlist only, so that the
    // file list keeps its own.
    const auto action = [this](const char* text, QList<QKeySequence> keys, QWidget* scope) {
        QAction* made = POP2->addAction(QString::fromUtf8(text));
        made->setShortcuts(keys);
        made->setShortcutContext(scope == this ? Qt::WindowShortcut
                                               : Qt::WidgetWithChildrenShortcut);
        scope->addAction(made);
        return made;
    };
    POP2->addSeparator();
    Zpet1 = action("Zpět", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, this);
    Znovu1 = action(
        "Znovu",
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}, this);
    POP2->addSeparator();
    Nahoru1 = action("Posunout nahoru", {QKeySequence(Qt::ALT | Qt::Key_Up)}, ListBox1);
    Dolu1 = action("Posunout dolů", {QKeySequence(Qt::ALT | Qt::Key_Down)}, ListBox1);
    NaZacatek1 = action("Posunout na začátek", {QKeySequence(Qt::ALT | Qt::Key_Home)}, ListBox1);
    NaKonec1 = action("Posunout na konec", {QKeySequence(Qt::ALT | Qt::Key_End)}, ListBox1);
    Seradit = POP2->addMenu(QStringLiteral("Seřadit"));
    for (const char* text : {"podle textu položky", "podle názvu souboru",
                             "podle složky a názvu souboru", "podle interpreta a názvu skladby"})
        SeraditPodle.append(Seradit->addAction(QString::fromUtf8(text)));
    Obratit1 = POP2->addAction(QStringLiteral("Obrátit pořadí"));
    Zamichat1 = POP2->addAction(QStringLiteral("Zamíchat"));
    POP2->addSeparator();
    Duplicity1 = POP2->addAction(QStringLiteral("Odebrat duplicity"));
    Chybejici1 = POP2->addAction(QStringLiteral("Odebrat chybějící soubory"));
}

void TForm1::nameControlsForReaders() {
    // Controls without a text of their own; the others are read by their captions.
    const std::pair<QWidget*, const char*> names[] = {
        {Image1, "Obrázek Trackbinder"},
        {LCD991, "Displej"},
        {PG1, "Ukazatel"},
        {Edit1, "Vlastní text před jménem souboru"},
        {FilterComboBox1, "Typ souborů"},
        {DirectoryListBox1, "Adresáře"},
        {FileListBox1, "Soubory"},
        {ListBox1, "Playlist"},
        {Digits1, "Počet položek PlayListu"},
        {Disk, "Disk"},
        {FileNameTag, "Soubor"},
        {TitleTag, "Title"},
        {ArtistTag, "Artist"},
        {AlbumTag, "Album"},
        {YearTag, "Year"},
        {CommentTag, "Comment"},
        {GenreTag, "Genre"},
        {TransparentButton2, "Nápověda"},
        {Panel1, "Nastavení"},
        {TransparentButton1, "Nastavení"},
        {Pop1, "Nabídka souborů"},
        {POP2, "Nabídka playlistu"},
    };
    for (const auto& [widget, name] : names)
        widget->setAccessibleName(QString::fromUtf8(name));
    // A drop-down box is read by its current text on Linux (Qt's way there); its name
    // goes into the description, and into the list that it opens.
    for (QComboBox* box : findChildren<QComboBox*>()) {
        box->setAccessibleDescription(box->accessibleName());
        box->view()->setAccessibleName(box->accessibleName());
    }
    TransparentButton2->setAccessibleDescription(QStringLiteral("F1"));
    TransparentButton1->setAccessibleDescription(QStringLiteral("Ctrl+, nebo F9"));
}

void TForm1::createShortcuts() {
    // The settings and help buttons take no focus; these keys click them, and the save and
    // open keys click their buttons, which does nothing while a button is disabled.
    const auto shortcut = [this](const QList<QKeySequence>& keys, auto click) {
        for (const QKeySequence& key : keys) {
            auto* action = new QAction(this);
            action->setShortcut(key);
            action->setShortcutContext(Qt::WindowShortcut);
            addAction(action);
            connect(action, &QAction::triggered, this, click);
        }
    };
    shortcut({QKeySequence(Qt::Key_F1)}, [this] { TransparentButton2->click(); });
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_Comma), QKeySequence(Qt::Key_F9)},
             [this] { TransparentButton1->click(); });
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { Button4->click(); });
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_O)}, [this] { BitBtn3->click(); });
}

void TForm1::connectHandlers() {
    onEvent(Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
    onEvent(Timer2, &QTimer::timeout, &TForm1::Timer2Timer);
    onEvent(BitBtn2, &QPushButton::clicked, &TForm1::BitBtn2Click);
    onEvent(TransparentButton1, &TTransparentButton::OnClick, &TForm1::TransparentButton1Click);
    onEvent(TransparentButton2, &TTransparentButton::OnClick, &TForm1::TransparentButton2Click);

    onEvent(Button1, &QPushButton::clicked, &TForm1::Button1Click);
    onEvent(Button3, &QPushButton::clicked, &TForm1::Button3Click);
    onEvent(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    onEvent(Button7, &QPushButton::clicked, &TForm1::Button7Click);
    for (QRadioButton* radio :
         {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5})
        onEvent(radio, &QRadioButton::clicked, &TForm1::RadioButton4Click);
    onEvent(Pridat1, &QAction::triggered, &TForm1::Button1Click);
    onEvent(Vyberve1, &QAction::triggered, &TForm1::Button7Click);
    onEvent(Odebrat1, &QAction::triggered, &TForm1::Button3Click);
    onEvent(OdebratAll, &QAction::triggered, &TForm1::Button2Click);

    connect(ListBox1, &TPlaylistView::keyDown, this,
            [this](int key, Qt::KeyboardModifiers) { guarded([&] { ListBox1KeyDown(key); }); });
    // Besides the file list's own drags, files dropped from other programs (a file manager).
    ListBox1->setDropFilter([this](QObject* source, const QMimeData* data) {
        return ListBox1DragOver(source) || (source == nullptr && tb::holdsLocalAddresses(data));
    });
    ListBox1->setDropHandler([this](QObject* source, const QMimeData* data) {
        if (source == nullptr)
            guarded([&] { ListBox1DropFiles(data); });
    });

    Timer1->start();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    guarded([this] { FormShow(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool mayClose = true;
    guarded([&] { mayClose = FormCloseQuery(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    driveSearch_->stop();
    guarded([this] { FormClose(); });
    event->accept();
}

void TForm1::FormShow() {
    random_.seed(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));

    // The counter's look: one of four strips from the working directory, else from beside
    // the program or its installed data; otherwise the built-in strip stays.
    const QString skin = QStringLiteral("digits%1.bmp").arg(random_.bounded(1, 5));
    const QString skinFile = QFileInfo(skin).isFile() ? skin : tb::findDataFile(skin);
    if (!skinFile.isEmpty())
        Digits1->loadBmpDigits(skinFile);

    const QString lastDir =
        readSetting(services_.settingsStore, QStringLiteral("LastDir"), tb::firstRunDirectory());
    const QByteArray lastFolder = folderOfSetting(lastDir);
    if (tb::isFolder(lastFolder)) {
        DirectoryListBox1->setDirectoryBytes(lastFolder);
        Disk->setDrive(DirectoryListBox1->Drive());
    }
    settings_.lastDir = lastDir;
    settings_.readSwitchesAndPlayer(services_.settingsStore);
    settings_.savePaths = readSetting(services_.settingsStore, QStringLiteral("SavePaths"), {});
    const tb::SavedPathMode pathMode = savedPathModeOf(settings_.savePaths);
    SavePathModes.at(static_cast<int>(pathMode))->setChecked(true);
    playlistFiles_->setSavedPathMode(pathMode);
    settings_.readChoices(services_.settingsStore);
    if (const int filter = FilterComboBox1->findText(settings_.filtr); filter >= 0)
        FilterComboBox1->setCurrentIndex(filter);
    HledatVse.at(settings_.searchesAllMusic() ? 1 : 0)->setChecked(true);
    driveSearch_->setAllMusic(settings_.searchesAllMusic());

    // Each box that changes announces it, and its setting in memory follows.
    TSetup* setup = windows_.setup;
    if (setup)
        setup->setValues({settings_.rgPlay, settings_.blikatka, settings_.cistTag,
                          settings_.delAfter, settings_.askRun});

    cacheFolder_ = tb::cacheFolder();
    playlistFiles_->setCacheFolder(cacheFolder_);

    if (settings_.blikatka)
        setDecorativeDisplaysOn(true);

    // The splash holds until it has been up long enough; this window shows only after
    // the tips window is closed.
    if (windows_.splash)
        windows_.splash->close();
    if (windows_.tips)
        services_.dialogs.showModal(*windows_.tips);
    playlistKeeper_->windowShown();
}

void TForm1::setDecorativeDisplaysOn(bool on) {
    if (on) {
        Timer2->start();
        PG1->show();
        LCD991->show();
    } else {
        Timer2->stop();
        PG1->hide();
        LCD991->hide();
    }
}

bool TForm1::FormCloseQuery() {
    const auto answer =
        services_.dialogs.confirm(this, QStringLiteral("Opravdu chcete ukončit Trackbinder ?"));
    if (answer == tb::Dialogs::Answer::No)
        return false;
    if (windows_.aboutBox)
        services_.dialogs.showModal(*windows_.aboutBox);
    return true;
}

void TForm1::FormClose() {
    settings_.lastDir = folderSetting(DirectoryListBox1->DirectoryBytes());
    settings_.writeAll(services_.settingsStore);
    if (!settings_.filtr.isEmpty() || FilterComboBox1->currentIndex() != 0)
        settings_.filtr = FilterComboBox1->currentText();
    settings_.writeChoices(services_.settingsStore);
    if (!settings_.savePaths.isEmpty())
        services_.settingsStore.write(QStringLiteral("SavePaths"), settings_.savePaths);
    if (settings_.pamatujPlaylistChosen)
        writeSwitch(services_.settingsStore, QStringLiteral("PamatujPlaylist"),
                    settings_.pamatujPlaylist);
}

void TForm1::Timer1Timer() {
    const bool haveFiles = FileListBox1->count() > 0;
    Button1->setEnabled(haveFiles);
    Button7->setEnabled(haveFiles);
    Pridat1->setEnabled(haveFiles);
    Prehraj1->setEnabled(haveFiles);
    Vyberve1->setEnabled(haveFiles);

    const std::size_t entries = playlist_->count();
    Button3->setEnabled(entries > 0);
    Button2->setEnabled(entries > 0);
    Button4->setEnabled(entries > 0);

    const bool haveCurrentFile = !currentFilePath().isEmpty();
    BitBtn1->setEnabled(haveCurrentFile);
    PrejmenBt->setEnabled(haveCurrentFile);
    SmazatBt->setEnabled(haveCurrentFile);
    Prejmen->setEnabled(haveCurrentFile);
    Smazat1->setEnabled(haveCurrentFile);

    StaticText1->setVisible(entries >= ItemLimit);
}

void TForm1::Timer2Timer() {
    LCD991->setValue(QString::number(random_.bounded(1, kLcdNumberEnd)));
    PG1->setProgress(random_.bounded(0, 101));
    PG1->setToColor(random_.bounded(2) ? QColor(0xFF, 0x00, 0x00) : QColor(0x00, 0x00, 0xFF));
    PG1->setFromColor(random_.bounded(2) ? QColor(0x00, 0xFF, 0x00) : QColor(0xFF, 0xFF, 0x00));
}

void TForm1::BitBtn2Click() {
    close();
}

void TForm1::TransparentButton1Click() {
    if (windows_.setup)
        services_.dialogs.showModal(*windows_.setup);
}

void TForm1::TransparentButton2Click() {
    // An installed copy keeps its help page in the data folder; when none is found the page is
    // asked for beside the program all the same, and the viewer tells the user it is missing.
    QString helpPage = tb::findDataFile(QStringLiteral("index.htm"));
    if (helpPage.isEmpty())
        helpPage = tb::programDirectory() + QStringLiteral("index.htm");
    // An opener that finds no viewer gives up at once; the user is told, as for a player.
    QPointer<TForm1> alive(this);
    services_.launcher.openDocument(helpPage, [alive, helpPage] {
        if (alive)
            alive->services_.dialogs.message(
                alive, tb::Dialogs::Kind::Warning, QString(),
                QStringLiteral("Nápovědu \"%1\" nelze otevřít.").arg(helpPage),
                tb::Dialogs::Buttons::Ok);
    });
}

void TForm1::showError(const std::exception& error) {
    // Running out of memory says so in the user's words, never the library's.
    const bool tooLarge = dynamic_cast<const std::bad_alloc*>(&error) != nullptr ||
                          dynamic_cast<const std::length_error*>(&error) != nullptr;
    const QString text = tooLarge
                             ? QStringLiteral("Operace je příliš rozsáhlá, nestačí na ni paměť.")
                             : QString::fromStdString(tb::errorBoxText(error.what()));
    services_.dialogs.message(this, tb::Dialogs::Kind::Error, QStringLiteral("Trackbinder"), text,
                              tb::Dialogs::Buttons::Ok);
}

void TForm1::createJobs() {
    tagPanel_ = std::make_unique<TagPanel>(
        TagPanel::Fields{*TitleTag, *ArtistTag, *AlbumTag, *YearTag, *CommentTag, *GenreTag});
    fileBrowser_ = std::make_unique<FileBrowser>(
        FileBrowser::Widgets{*Disk, *DirectoryListBox1, *FilterComboBox1, *FileListBox1,
                             *FileNameTag},
        *tagPanel_, switches_, services_.dialogs, services_.volumes, *this, *this);
    playlistCurating_ =
        std::make_unique<PlaylistCurating>(PlaylistCurating::Widgets{*ListBox1, *Digits1},
                                           *playlist_, services_.dialogs, *this, *this);
    playlistEditing_ = std::make_unique<PlaylistEditing>(
        PlaylistEditing::Widgets{*ListBox1, *Digits1, *FileListBox1, *DirectoryListBox1, *Disk,
                                 *Button3, *RadioButton1, *RadioButton2, *RadioButton3,
                                 *RadioButton4, *RadioButton5, *Edit1},
        *playlist_, *fileBrowser_, *playlistCurating_, services_.dialogs, *this);
    playlistFiles_ = std::make_unique<PlaylistFiles>(
        PlaylistFiles::Widgets{*Digits1, *DirectoryListBox1, *FileListBox1, *RadioButton3},
        *playlist_, *fileBrowser_, switches_, services_.dialogs, *this, services_.launcher, random_,
        *this);
    renameDelete_ = std::make_unique<RenameDelete>(*FileListBox1, *fileBrowser_, *tagPanel_,
                                                   switches_, services_.dialogs, *this);
    driveSearch_ = std::make_unique<DriveSearch>(
        DriveSearch::Widgets{*Disk, *StaticText2, *Button8, *AllMP3, *Digits1}, *playlist_,
        services_.dialogs, *this, *this);
    playlistKeeper_ =
        std::make_unique<PlaylistKeeper>(*playlist_, services_.dialogs, *this, QString());
    createSearchChoice();
    // Find in the playlist: its commands come last in the playlist's menu.
    playlistFind_ = std::make_unique<PlaylistFind>(*ListBox1, *playlist_, *this);
    POP2->addSeparator();
    POP2->addActions(playlistFind_->actions());
}

void TForm1::connectFileBrowser() {
    onEvent(Disk, &TDriveBox::driveChanged, &TForm1::DiskChange);
    onEvent(FileListBox1, &TFileListBox::userClicked, &TForm1::FileListBox1Click);
    onEvent(FileListBox1, &TFileListBox::userDoubleClicked, &TForm1::FileListBox1DblClick);
    connect(FileListBox1, &TFileListBox::keyPressed, this,
            [this](int key) { guarded([&] { FileListBox1KeyPress(key); }); });
    connect(FileListBox1, &TFileListBox::dragEnded, this,
            [this](QObject* target) { guarded([&] { FileListBox1EndDrag(target); }); });
}

void TForm1::connectPlaylistFiles() {
    onEvent(Button4, &QPushButton::clicked, &TForm1::Button4Click);
    onEvent(BitBtn3, &QPushButton::clicked, &TForm1::BitBtn3Click);
    onEvent(BitBtn1, &QPushButton::clicked, &TForm1::BitBtn1Click);
    onEvent(SaveList, &QAction::triggered, &TForm1::Button4Click);
    onEvent(OpenList, &QAction::triggered, &TForm1::BitBtn3Click);
    for (int i = 0; i < SavePathModes.size(); ++i)
        connect(SavePathModes.at(i), &QAction::triggered, this, [this, i] {
            const auto mode = static_cast<tb::SavedPathMode>(i);
            settings_.savePaths = savedPathSetting(mode);
            playlistFiles_->setSavedPathMode(mode);
        });
    onEvent(Prehraj1, &QAction::triggered, &TForm1::BitBtn1Click);
    connect(Pamatuj1, &QAction::toggled, this, [this](bool on) {
        settings_.pamatujPlaylist = on;
        settings_.pamatujPlaylistChosen = true;
        playlistKeeper_->setOn(on);
    });
}

void TForm1::keepPlaylistIn(const QString& folder) {
    settings_.pamatujPlaylist =
        readSwitch(services_.settingsStore, QStringLiteral("PamatujPlaylist"));
    const QSignalBlocker quiet(Pamatuj1);
    Pamatuj1->setChecked(settings_.pamatujPlaylist);
    playlistKeeper_ =
        std::make_unique<PlaylistKeeper>(*playlist_, services_.dialogs, *this, folder);
    connect(playlistKeeper_.get(), &PlaylistKeeper::restored, this, [this] {
        Digits1->setValue(static_cast<int>(playlist_->count()));
        setEnabled(true);
    });
    playlistKeeper_->start(settings_.pamatujPlaylist);
    if (playlistKeeper_->restoring())
        setEnabled(false);
}

void TForm1::connectTagsAndFileTools() {
    onEvent(PrejmenBt, &QPushButton::clicked, &TForm1::PrejmenBtClick);
    onEvent(SmazatBt, &QPushButton::clicked, &TForm1::SmazatBtClick);
    onEvent(Prejmen, &QAction::triggered, &TForm1::PrejmenClick);
    onEvent(Smazat1, &QAction::triggered, &TForm1::Smazat1Click);
}

void TForm1::connectDriveSearch() {
    onEvent(Button8, &QPushButton::clicked, &TForm1::Button8Click);
    onEvent(AllMP3, &QAction::triggered, &TForm1::Button8Click);
}

void TForm1::connectCurating() {
    onEvent(Zpet1, &QAction::triggered, &TForm1::Zpet1Click);
    onEvent(Znovu1, &QAction::triggered, &TForm1::Znovu1Click);
    onEvent(Nahoru1, &QAction::triggered, &TForm1::Nahoru1Click);
    onEvent(Dolu1, &QAction::triggered, &TForm1::Dolu1Click);
    onEvent(NaZacatek1, &QAction::triggered, &TForm1::NaZacatek1Click);
    onEvent(NaKonec1, &QAction::triggered, &TForm1::NaKonec1Click);
    for (int key = 0; key < SeraditPodle.size(); ++key)
        connect(SeraditPodle.at(key), &QAction::triggered, this,
                [this, key] { guarded([&] { SeraditClick(key); }); });
    onEvent(Obratit1, &QAction::triggered, &TForm1::Obratit1Click);
    onEvent(Zamichat1, &QAction::triggered, &TForm1::Zamichat1Click);
    onEvent(Duplicity1, &QAction::triggered, &TForm1::Duplicity1Click);
    onEvent(Chybejici1, &QAction::triggered, &TForm1::Chybejici1Click);
    connect(ListBox1, &TPlaylistView::selectionDropped, this,
            [this](int row) { guarded([&] { ListBox1DragDrop(row); }); });

    const auto update = [this] {
        updateCurateActions();
    };
    connect(ListBox1, &TPlaylistView::selectionChanged, this, update);
    connect(playlist_, &PlaylistModel::historyChanged, this, update);
    connect(playlist_, &QAbstractItemModel::rowsInserted, this, update);
    connect(playlist_, &QAbstractItemModel::modelReset, this, update);
    connect(playlistCurating_.get(), &PlaylistCurating::busyChanged, this, update);
    connect(AllMP3, &QAction::changed, this, update); // a drive search starts or ends
    updateCurateActions();
}

void TForm1::updateCurateActions() {
    // While a command or a drive search runs, nothing else reshapes the playlist.
    const bool idle = !playlistCurating_->busy() && !driveSearchRunning();
    const std::size_t count = playlist_->count();
    const auto selected = static_cast<std::size_t>(ListBox1->selectedCount());
    const bool canUndo = idle && playlist_->canUndo();
    const bool canRedo = idle && playlist_->canRedo();
    Zpet1->setEnabled(canUndo);
    Zpet1->setText(canUndo ? QStringLiteral("Zpět: ") + playlist_->undoName()
                           : QStringLiteral("Zpět"));
    Znovu1->setEnabled(canRedo);
    Znovu1->setText(canRedo ? QStringLiteral("Znovu: ") + playlist_->redoName()
                            : QStringLiteral("Znovu"));
    for (QAction* move : {Nahoru1, Dolu1, NaZacatek1, NaKonec1})
        move->setEnabled(idle && selected > 0 && selected < count);
    for (QAction* order : {Obratit1, Zamichat1})
        order->setEnabled(idle && count > 1);
    Seradit->setEnabled(idle && count > 1);
    Duplicity1->setEnabled(idle && count > 1);
    Chybejici1->setEnabled(idle && count > 0);
}

const QByteArray& TForm1::currentFilePath() const {
    return fileBrowser_->currentFilePath();
}

void TForm1::POP2Popup() {
    Odebrat1->setEnabled(Button3->isEnabled());
    OdebratAll->setEnabled(Button2->isEnabled());
    AllMP3->setEnabled(Button8->isEnabled());
    SaveList->setEnabled(Button4->isEnabled());
    OpenList->setEnabled(BitBtn3->isEnabled());
    updateCurateActions();
}

// --- The jobs' handlers ---

void TForm1::Pridat(const QByteArray& name) {
    playlistEditing_->add(name);
}
bool TForm1::Pridat(const QByteArray& name, const QByteArray& directory,
                    const QByteArray& driveRoot) {
    return playlistEditing_->add(name, directory, driveRoot);
}
void TForm1::ListBox1DropFiles(const QMimeData* data) {
    playlistEditing_->addDropped(data);
}
void TForm1::Button1Click() {
    playlistEditing_->addSelected();
}
void TForm1::FileListBox1DblClick() {
    playlistEditing_->addFocused();
}
void TForm1::FileListBox1KeyPress(int key) {
    playlistEditing_->fileListKeyPressed(key);
}
void TForm1::FileListBox1EndDrag(QObject* target) {
    playlistEditing_->fileListDragEnded(target);
}
bool TForm1::ListBox1DragOver(QObject* source) const {
    return playlistEditing_->acceptsDragFrom(source);
}
void TForm1::Button3Click() {
    playlistEditing_->removeSelected();
}
void TForm1::Button2Click() {
    playlistEditing_->removeAll();
}
void TForm1::ListBox1KeyDown(int key) {
    playlistEditing_->playlistKeyDown(key);
}
void TForm1::Button7Click() {
    playlistEditing_->selectAllFiles();
}
void TForm1::RadioButton4Click() {
    playlistEditing_->prefixChoiceChanged();
}

void TForm1::Zpet1Click() {
    playlistCurating_->undo();
}
void TForm1::Znovu1Click() {
    playlistCurating_->redo();
}
void TForm1::Nahoru1Click() {
    playlistCurating_->moveUp();
}
void TForm1::Dolu1Click() {
    playlistCurating_->moveDown();
}
void TForm1::NaZacatek1Click() {
    playlistCurating_->moveToTop();
}
void TForm1::NaKonec1Click() {
    playlistCurating_->moveToBottom();
}
void TForm1::ListBox1DragDrop(int row) {
    if (!driveSearchRunning())
        playlistCurating_->moveBefore(row);
}
void TForm1::SeraditClick(int key) {
    playlistCurating_->sort(static_cast<PlaylistCurating::SortKey>(key));
}
void TForm1::Obratit1Click() {
    playlistCurating_->reverse();
}
void TForm1::Zamichat1Click() {
    playlistCurating_->shuffle();
}
void TForm1::Duplicity1Click() {
    playlistCurating_->removeDuplicates();
}
void TForm1::Chybejici1Click() {
    playlistCurating_->removeMissing();
}

void TForm1::Button4Click() {
    playlistFiles_->save();
}
void TForm1::BitBtn3Click() {
    playlistFiles_->open();
}
void TForm1::BitBtn1Click() {
    playlistFiles_->playSelected();
}

void TForm1::DiskChange() {
    fileBrowser_->driveChanged();
}
void TForm1::FileListBox1Click() {
    fileBrowser_->fileClicked();
}

void TForm1::DrawTAG(const QByteArray& name) {
    tagPanel_->showTagOf(fileBrowser_->pathInShownDirectory(name));
}

void TForm1::PrejmenBtClick() {
    PrejmenClick();
}
void TForm1::SmazatBtClick() {
    Smazat1Click();
}
void TForm1::PrejmenClick() {
    renameDelete_->renameSelected();
}
void TForm1::Smazat1Click() {
    renameDelete_->deleteSelected();
}

void TForm1::Button8Click() {
    driveSearch_->askAndSearchDrive();
}
void TForm1::Hledej_smudlo(const QString& directoryPath) {
    driveSearch_->start(directoryPath);
}
bool TForm1::driveSearchRunning() const {
    return driveSearch_->running();
}
