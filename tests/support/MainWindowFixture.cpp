#include "support/MainWindowFixture.h"

#include "controls/AccessibleFactory.h"
#include "filetools/FileListBox.h"
#include "playlist/PlaylistViewAccessible.h"
#include "support/QtTests.h"

#include <QDir>

namespace tb::test {

TForm1& MainWindowFixture::create() {
    installAccessibleFactory();
    installPlaylistAccessibleFactory();
    form =
        std::make_unique<TForm1>(AppServices{dialogs, settingsStore, volumes, launcher}, settings);
    splash = std::make_unique<TSplash>();
    splash->setClock([tick = 0u]() mutable { return tick += 1000; }, [](std::uint32_t) {});
    setup = std::make_unique<TSetup>(dialogs, *form);
    tips = std::make_unique<TTips>();
    aboutBox = std::make_unique<TAboutBox>(launcher);
    form->setWindows({splash.get(), setup.get(), tips.get(), aboutBox.get()});
    return *form;
}

TForm1& MainWindowFixture::show() {
    if (!form)
        create();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        QTest::qFail("the main window was not exposed", __FILE__, __LINE__);
    return *form;
}

TForm1& MainWindowFixture::showIn(const QString& directory, const QStringList& files) {
    QDir().mkpath(directory);
    makeFiles(directory, files);
    show();
    browse(directory);
    return *form;
}

TForm1& MainWindowFixture::showSongs(const QString& directory, const QList<QByteArray>& files) {
    QDir().mkpath(directory + "/folder.mp3");
    for (int i = 0; i < files.size(); ++i)
        writeFile(directory + '/' + QChar('a' + i) + ".mp3", files[i]);
    return showIn(directory, {});
}

QStringList MainWindowFixture::entries() const {
    QStringList out;
    for (const QByteArray& entry : entryBytes())
        out.append(QString::fromUtf8(entry));
    return out;
}

QList<QByteArray> MainWindowFixture::entryBytes() const {
    QList<QByteArray> out;
    for (std::size_t i = 0; i < form->playlist()->count(); ++i)
        out.append(QByteArray::fromStdString(std::string(form->playlist()->entry(i))));
    return out;
}

void MainWindowFixture::selectFiles(std::initializer_list<int> rows) {
    TFileListBox* files = form->FileListBox1;
    files->clearSelection();
    for (int row : rows)
        files->selectionModel()->select(files->model()->index(row, 0), QItemSelectionModel::Select);
}

void MainWindowFixture::clickFile(int row, Qt::KeyboardModifiers modifiers) {
    clickRow(*form->FileListBox1, row, modifiers);
}

} // namespace tb::test
