#pragma once

#include "filetools/Switches.h"
#include "playlist/formats/SavedPaths.h"

#include <QString>

namespace tb {
class SettingsStore;
}

// The six settings as the program holds them while it runs, shared by the main
// window and the settings dialog. They are read once at first show and written
// once at shut-down; only the store's texts say "ANO" and "NE".
struct AppSettings {
    QString lastDir;
    QString rgPlay;
    bool cistTag = true;
    bool blikatka = true;
    bool askRun = true;
    bool delAfter = true;
    // "PamatujPlaylist": the playlist is kept between runs. Written only once the user
    // has switched it, as "SavePaths" is.
    bool pamatujPlaylist = true;
    bool pamatujPlaylistChosen = false;

    // "SavePaths", how a saved playlist names its files: written only once the user has
    // chosen, so that it stays empty (as entered) until then.
    QString savePaths;
    // "Filtr", the file list's filter entry by its label (the first one where empty), and
    // "HledatVse", whether the drive search takes every music kind ("ANO") or MP3 files
    // alone: like SavePaths, written only once the user has chosen.
    QString filtr;
    QString hledatVse;
    bool searchesAllMusic() const { return hledatVse == QStringLiteral("ANO"); }
    void readChoices(tb::SettingsStore& store);
    void writeChoices(tb::SettingsStore& store) const;

    // Reads "RgPlay", "CistTag", "Blikatka", "AskRun" and "DelAfter", in this order.
    void readSwitchesAndPlayer(tb::SettingsStore& store);
    // Writes "LastDir", "RgPlay", "CistTag", "AskRun", "DelAfter" and "Blikatka", in
    // this order.
    void writeAll(tb::SettingsStore& store) const;
};

// The "SavePaths" texts; anything else is as entered.
tb::SavedPathMode savedPathModeOf(const QString& setting);
QString savedPathSetting(tb::SavedPathMode mode);

QString readSetting(tb::SettingsStore& store, const QString& name, const QString& fallback);
// A switch is stored as "ANO" or "NE"; a missing one is on, and any other text ("ano"
// too) is off.
bool readSwitch(tb::SettingsStore& store, const QString& name);
void writeSwitch(tb::SettingsStore& store, const QString& name, bool on);

// "LastDir" holds a folder as its text, as it always has. A folder whose name is not
// text in the file-name encoding (one named in Windows-1250 on Linux) has no such text
// that leads back to it; it is kept as a file: URL, which keeps every byte and which no
// absolute path is taken for.
QString folderSetting(const QByteArray& folder);
QByteArray folderOfSetting(const QString& setting);

// The switches as the jobs of the main window ask for them, read from the settings
// each time.
class SettingsSwitches final : public tb::Switches {
public:
    explicit SettingsSwitches(const AppSettings& settings) : settings_(settings) {}
    bool readsTags() const override { return settings_.cistTag; }
    bool clearsAfterSave() const override { return settings_.delAfter; }
    bool asksToPlay() const override { return settings_.askRun; }
    QString player() const override { return settings_.rgPlay; }

private:
    const AppSettings& settings_;
};
