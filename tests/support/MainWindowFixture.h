#pragma once

#include "app/Unit1.h"
#include "platform/SettingsStore.h"
#include "support/Fakes.h"

#include <QTemporaryDir>
#include <memory>

namespace tb::test {

// A main window over fakes: scripted boxes, settings in memory, one volume "/"
// (or the given ones), and a launcher that only records.
struct MainWindowFixture {
    MainWindowFixture();
    ~MainWindowFixture();

    // Creates the window; settings and volumes set before this are what it sees.
    TForm1& create();
    // Creates, shows (running the first-show steps) and waits until it is exposed.
    TForm1& show();
    // Points the browser at a directory and waits until the file list has read it.
    void browse(const QString& directory);

    ScriptedDialogs dialogs;
    MemorySettingsStore settingsStore;
    FakeVolumes volumes;
    FakeLauncher launcher;
    AppSettings settings;
    std::unique_ptr<TForm1> form;
};

// Creates empty files (and the directories they need) below a directory.
void makeFiles(const QString& directory, const QStringList& relativeNames);

} // namespace tb::test
