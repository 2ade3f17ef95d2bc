#include "support/MainWindowFixture.h"

#include "filetools/DirectoryListBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace tb::test {

MainWindowFixture::MainWindowFixture() {
    volumes.volumes = {{QStringLiteral("/"), QString()}};
}

MainWindowFixture::~MainWindowFixture() {
    if (form) {
        // Closing asks; let the window go without a question left unanswered.
        form->hide();
        form.reset();
    }
}

TForm1& MainWindowFixture::create() {
    form =
        std::make_unique<TForm1>(AppServices{dialogs, settingsStore, volumes, launcher}, settings);
    return *form;
}

TForm1& MainWindowFixture::show() {
    if (!form)
        create();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("the main window was not exposed");
    return *form;
}

void MainWindowFixture::browse(const QString& directory) {
    form->DirectoryListBox1->setDirectory(directory);
}

void makeFiles(const QString& directory, const QStringList& relativeNames) {
    for (const QString& name : relativeNames) {
        const QString path = QDir(directory).filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(path));
    }
}

} // namespace tb::test
