#pragma once

#include "app/Settings.h"
#include "platform/ErrorReport.h"
#include "playlist/PlaylistEditing.h"

#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <exception>
#include <memory>
#include <utility>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;
class QRadioButton;
class QTimer;

class TAboutBox;
class TBaloonHint;
class TDigits;
class TDirectoryListBox;
class TDriveBox;
class TFileListBox;
class TFilterComboBox;
class TLCD99;
class TPlaylistView;
class TProgress;
class TSetup;
class TSplash;
class TTips;
class TTransparentButton;
class PlaylistModel;
class DriveSearch;
class FileBrowser;
class PlaylistCurating;
class PlaylistFiles;
class PlaylistFind;
class PlaylistKeeper;
class RenameDelete;
class TagPanel;

namespace tb {
class Dialogs;
class Launcher;
class SettingsStore;
class Volumes;
} // namespace tb

// The outside world as the main window sees it; tests pass fakes.
struct AppServices {
    tb::Dialogs& dialogs;
    tb::SettingsStore& settingsStore;
    tb::Volumes& volumes;
    tb::Launcher& launcher;
};

// The program's other windows, created after the main window and living as long.
struct AppWindows {
    TSplash* splash = nullptr;
    TSetup* setup = nullptr;
    TTips* tips = nullptr;
    TAboutBox* aboutBox = nullptr;
};

// The main window. Its controls are public fields, and each user event has one
// handler named after the control and the event. The window's jobs (file browser,
// tag panel, playlist editing, playlist files, rename and delete, drive search) are
// classes of their own in src/filetools and src/playlist; their handlers here hand
// the event on.
class TForm1 : public QWidget, public tb::ErrorReport {
    Q_OBJECT

public:
    // The most entries that the add actions accept.
    static constexpr quint16 ItemLimit = PlaylistEditing::ItemLimit;

    TForm1(AppServices services, AppSettings& settings, QWidget* parent = nullptr);
    ~TForm1() override;

    // --- Controls, top to bottom ---
    QPushButton* Button4 = nullptr; // "Uložit playlist"
    QPushButton* BitBtn3 = nullptr; // "Otevřít playlist"
    QPushButton* BitBtn2 = nullptr; // "KONEC"
    QLabel* Image1 = nullptr;
    TLCD99* LCD991 = nullptr;
    TProgress* PG1 = nullptr;
    QLabel* StaticText1 = nullptr; // the item limit label
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr; // "Kompletní cestu"
    QRadioButton* RadioButton2 = nullptr; // "Cestu bez disku"
    QRadioButton* RadioButton3 = nullptr; // "Pouze poslední adresář"
    QRadioButton* RadioButton4 = nullptr; // "Text"
    QLineEdit* Edit1 = nullptr;
    QRadioButton* RadioButton5 = nullptr; // "Nic"
    QLabel* Label7 = nullptr;
    TFilterComboBox* FilterComboBox1 = nullptr;
    TDirectoryListBox* DirectoryListBox1 = nullptr;
    TFileListBox* FileListBox1 = nullptr;
    QPushButton* Button1 = nullptr; // ">>> Přidat >>>"
    QPushButton* Button3 = nullptr; // "Odebrat <<<"
    QPushButton* Button2 = nullptr; // "Odebrat vše"
    QLabel* Label8 = nullptr;
    QPushButton* BitBtn1 = nullptr;   // "Přehrát"
    QPushButton* PrejmenBt = nullptr; // "Přejmenovat"
    QPushButton* SmazatBt = nullptr;  // "Smazat"
    TPlaylistView* ListBox1 = nullptr;
    TDigits* Digits1 = nullptr;
    TDriveBox* Disk = nullptr;
    QPushButton* Button7 = nullptr; // "Vyber vše"
    QPushButton* Button8 = nullptr; // "Přidat všechny MP3 na aktuálním disku"
    QLabel* StaticText2 = nullptr;  // "HLEDÁM"
    QGroupBox* GroupBox3 = nullptr; // "MP3 TAG"
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* FileNameTag = nullptr;
    QLabel* TitleTag = nullptr;
    QLabel* ArtistTag = nullptr;
    QLabel* AlbumTag = nullptr;
    QLabel* YearTag = nullptr;
    QLabel* CommentTag = nullptr;
    QLabel* GenreTag = nullptr;
    TTransparentButton* TransparentButton2 = nullptr; // help
    QFrame* Panel1 = nullptr;
    TTransparentButton* TransparentButton1 = nullptr; // settings
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    TBaloonHint* BaloonHint1 = nullptr;
    QMenu* Pop1 = nullptr;
    QAction* Pridat1 = nullptr;
    QAction* Vyberve1 = nullptr;
    QAction* Prehraj1 = nullptr;
    QAction* Prejmen = nullptr;
    QAction* Smazat1 = nullptr;
    QMenu* POP2 = nullptr;
    QAction* Odebrat1 = nullptr;
    QAction* OdebratAll = nullptr;
    QAction* AllMP3 = nullptr;
    QAction* SaveList = nullptr;
    QAction* OpenList = nullptr;
    QAction* Pamatuj1 = nullptr; // "Pamatovat si playlist", checkable
    // "Cesty v uloženém playlistu": one checked action per path mode, in the enum's order.
    QMenu* SavePaths = nullptr;
    QList<QAction*> SavePathModes;
    // "Hledat na disku": "jen MP3" and "všechny hudební soubory", beside AllMP3.
    QMenu* HledatNaDisku = nullptr;
    QList<QAction*> HledatVse;
    // Shaping the playlist; the moves act while the playlist has the focus.
    QAction* Zpet1 = nullptr;      // "Zpět: …", Ctrl+Z
    QAction* Znovu1 = nullptr;     // "Znovu: …", Ctrl+Shift+Z and Ctrl+Y
    QAction* Nahoru1 = nullptr;    // "Posunout nahoru", Alt+Up
    QAction* Dolu1 = nullptr;      // "Posunout dolů", Alt+Down
    QAction* NaZacatek1 = nullptr; // "Posunout na začátek", Alt+Home
    QAction* NaKonec1 = nullptr;   // "Posunout na konec", Alt+End
    QMenu* Seradit = nullptr;      // "Seřadit"
    // By the entry's text, the file's name, its folder and name, its artist and title.
    QList<QAction*> SeraditPodle;
    QAction* Obratit1 = nullptr;   // "Obrátit pořadí"
    QAction* Zamichat1 = nullptr;  // "Zamíchat"
    QAction* Duplicity1 = nullptr; // "Odebrat duplicity"
    QAction* Chybejici1 = nullptr; // "Odebrat chybějící soubory"

    // The other windows; set before the window is first shown.
    void setWindows(const AppWindows& windows);
    const AppWindows& windows() const { return windows_; }

    // The playlist's entries, shown by ListBox1.
    PlaylistModel* playlist() const { return playlist_; }
    // Keeps the playlist between runs in a store in `folder`, and starts reading it back
    // now, while the splash screen stands; until it is in, the window takes no commands.
    void keepPlaylistIn(const QString& folder);
    PlaylistKeeper& playlistKeeper() const { return *playlistKeeper_; }

    // --- Start-up, timers, shut-down (src/app/Unit1.cpp) ---
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void Timer1Timer();
    void Timer2Timer();
    void BitBtn2Click();
    void TransparentButton1Click();
    void TransparentButton2Click();

    // --- Playlist editing (PlaylistEditing) ---
    // name: the file's name as bytes, as the file list holds it.
    void Pridat(const QByteArray& name);
    // The same for a file of another folder (its bytes, and the root of its drive); false
    // when the item limit refused it.
    bool Pridat(const QByteArray& name, const QByteArray& directory, const QByteArray& driveRoot);
    // Files and folders dropped from another program: each matching file, in the order
    // dropped, and the matching files of each folder, in the file list's order.
    void ListBox1DropFiles(const QMimeData* data);
    void Button1Click();
    void FileListBox1DblClick();
    void FileListBox1KeyPress(int key);
    void FileListBox1EndDrag(QObject* target);
    bool ListBox1DragOver(QObject* source) const;
    void Button3Click();
    void Button2Click();
    void ListBox1KeyDown(int key);
    void Button7Click();
    void RadioButton4Click();
    void POP2Popup();

    // --- Shaping the playlist (PlaylistCurating) ---
    void Zpet1Click();
    void Znovu1Click();
    void Nahoru1Click();
    void Dolu1Click();
    void NaZacatek1Click();
    void NaKonec1Click();
    // The selected entries were dragged inside the playlist and dropped before row.
    void ListBox1DragDrop(int row);
    void SeraditClick(int key);
    void Obratit1Click();
    void Zamichat1Click();
    void Duplicity1Click();
    void Chybejici1Click();
    // Each command is enabled only where it can act; undo and redo name their change.
    void updateCurateActions();
    PlaylistCurating& playlistCurating() const { return *playlistCurating_; }

    // --- Playlist files (PlaylistFiles) ---
    void Button4Click();
    void BitBtn3Click();
    void BitBtn1Click();

    // --- File browser (FileBrowser) ---
    void DiskChange();
    void FileListBox1Click();

    // --- Tag panel (TagPanel) ---
    void DrawTAG(const QByteArray& name);

    // --- Rename and delete (RenameDelete) ---
    void PrejmenBtClick();
    void SmazatBtClick();
    void PrejmenClick();
    void Smazat1Click();

    // --- Whole-drive search (DriveSearch) ---
    void Button8Click();
    void Hledej_smudlo(const QString& directoryPath);
    bool driveSearchRunning() const;

    // --- Shared state ---
    AppSettings& settings() const { return settings_; }
    // The path's bytes, by which the current file is reached.
    const QByteArray& currentFilePath() const;
    const QString& cacheFolderPath() const { return cacheFolder_; }
    // Shows and runs the LCD display and the gauge, or stops and hides them.
    void setDecorativeDisplaysOn(bool on);

    // Runs a user action and shows any error it raises in the application-wide
    // error box, so that no exception reaches the event loop.
    template <typename Action> void guarded(Action&& action);
    void showError(const std::exception& error) override;
    // Runs the handler, guarded, whenever the sender emits the signal.
    template <typename Sender, typename Signal>
    void onEvent(Sender* sender, Signal signal, void (TForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createTagPanel();
    void createMenus();
    void createCurateActions();
    void createSearchChoice();
    void connectCurating();
    // Names for screen readers where a control shows no text of its own.
    void nameControlsForReaders();
    // Keys for the buttons that take no focus, and for saving and opening.
    void createShortcuts();
    void createJobs();
    void connectHandlers();
    void connectFileBrowser();
    void connectPlaylistFiles();
    void connectTagsAndFileTools();
    void connectDriveSearch();

    AppServices services_;
    AppSettings& settings_;
    AppWindows windows_;
    SettingsSwitches switches_;
    PlaylistModel* playlist_ = nullptr;
    QString cacheFolder_;
    bool shown_ = false;
    QRandomGenerator random_;
    // The jobs, made once the controls are; the search goes first, stopping its worker.
    std::unique_ptr<TagPanel> tagPanel_;
    std::unique_ptr<FileBrowser> fileBrowser_;
    std::unique_ptr<PlaylistCurating> playlistCurating_;
    std::unique_ptr<PlaylistEditing> playlistEditing_;
    std::unique_ptr<PlaylistFiles> playlistFiles_;
    std::unique_ptr<RenameDelete> renameDelete_;
    std::unique_ptr<DriveSearch> driveSearch_;
    std::unique_ptr<PlaylistFind> playlistFind_;
    std::unique_ptr<PlaylistKeeper> playlistKeeper_;
};

template <typename Action> void TForm1::guarded(Action&& action) {
    tb::guarded(*this, std::forward<Action>(action));
}
