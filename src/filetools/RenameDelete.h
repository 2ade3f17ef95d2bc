#pragma once

class FileBrowser;
class QWidget;
class TFileListBox;
class TagPanel;

namespace tb {
class Dialogs;
class Switches;
} // namespace tb

// Renames and deletes the music files selected in the file list, asking the user
// about each; the list is read again at the end.
class RenameDelete {
public:
    // window is the parent of the boxes it shows.
    RenameDelete(TFileListBox& files, FileBrowser& browser, TagPanel& tags,
                 const tb::Switches& switches, tb::Dialogs& dialogs, QWidget& window)
        : files_(files), browser_(browser), tags_(tags), switches_(switches), dialogs_(dialogs),
          window_(window) {}

    // Offers each selected file a new name, made of its tag where tags are read.
    void renameSelected();
    void deleteSelected();

private:
    TFileListBox& files_;
    FileBrowser& browser_;
    TagPanel& tags_;
    const tb::Switches& switches_;
    tb::Dialogs& dialogs_;
    QWidget& window_;
};
