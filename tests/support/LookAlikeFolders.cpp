#include "support/LookAlikeFolders.h"

#include "platform/Windows1250.h"

#include <QString>
#include <QTest>
#include <filesystem>
#include <fstream>

namespace tb::test {

void nonUtf8FolderRows() {
    QTest::addColumn<QByteArray>("folder");
    QTest::newRow("Windows-1250") << QByteArray("P\xed"
                                                "se\xf2");
    QTest::newRow("bytes Windows-1250 leaves out") << QByteArray("Mix\x81\x98");
    QTest::newRow("UTF-8, then not") << QByteArray("\xc5\xbdlu\xc5\xa5 \xe9");
}

LookAlikeFolders::~LookAlikeFolders() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(path().toStdString(), ignored))
        std::filesystem::remove_all(entry.path(), ignored);
}

QByteArray LookAlikeFolders::lookAlikeOf(const QByteArray& folder) const {
    return path() + '/' + fromUtf8OrWindows1250(folder).toUtf8();
}

QByteArray LookAlikeFolders::make(const QByteArray& folder) const {
    const QByteArray made = path() + '/' + folder;
    for (const QByteArray& song : {made + "/inside.mp3", lookAlikeOf(folder) + "/decoy.mp3"}) {
        std::filesystem::create_directories(song.left(song.lastIndexOf('/')).toStdString());
        std::ofstream(song.toStdString()).put('x');
    }
    return made;
}

} // namespace tb::test
