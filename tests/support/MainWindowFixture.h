#pragma once

#include "app/Unit1.h"
#include "app/Unit5.h"
#include "filetools/DirectoryListBox.h"
#include "platform/SettingsStore.h"
#include "playlist/PlaylistModel.h"
#include "support/Fakes.h"
#include "support/TestFiles.h"
#include "windows/Unit2.h"
#include "windows/Unit4.h"
#include "windows/Unit6.h"

#include <QTemporaryDir>
#include <memory>

namespace tb::test {

// A main window over fakes: scripted boxes, settings in memory, one volume "/"
// (or the given ones), and a launcher that only records.
struct MainWindowFixture {
    // Closing asks; the window goes without a question left unanswered.
    ~MainWindowFixture() {
        if (form)
            form->hide();
    }

    // Creates the window and the program's other windows; settings and volumes set
    // before this are what it sees. Modal windows go through the scripted dialogs, and
    // the splash's clock runs a second per reading, so that nothing waits.
    TForm1& create();
    // Creates, shows (running the first-show steps) and waits until it is exposed.
    TForm1& show();
    // Shows the window browsing a new directory that holds these empty files.
    TForm1& showIn(const QString& directory, const QStringList& files);
    // Shows the window browsing a new directory of a.mp3, b.mp3, ... with these contents
    // and a directory named like a song.
    TForm1& showSongs(const QString& directory, const QList<QByteArray>& files);
    // Points the browser at a directory; the file list reads it at once.
    void browse(const QString& directory) { form->DirectoryListBox1->setDirectory(directory); }
    // The playlist's entries, decoded as UTF-8 or byte for byte.
    QStringList entries() const;
    QList<QByteArray> entryBytes() const;
    // Selects these rows of the file list and no others, or clicks one as the user does.
    void selectFiles(std::initializer_list<int> rows);
    void clickFile(int row, Qt::KeyboardModifiers modifiers = {});

    ScriptedDialogs dialogs;
    MemorySettingsStore settingsStore;
    FakeVolumes volumes;
    FakeLauncher launcher;
    AppSettings settings;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TSplash> splash;
    std::unique_ptr<TSetup> setup;
    std::unique_ptr<TTips> tips;
    std::unique_ptr<TAboutBox> aboutBox;
};

} // namespace tb::test
