// The playlist files driven headless, for the round trips through other players:
//   playlist_peer mp3 <file> <frames> <title> <artist>  writes an MP3, prints its length in ms
//   playlist_peer save <playlist> <as|rel|full> <file>… saves the files, each entry its name
//   playlist_peer resave <playlist> <new playlist>       opens one, prints each entry's file
#include "playlist/PlaylistExport.h"
#include "support/MainWindowFixture.h"
#include "support/Mp3Bytes.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <cstdio>

namespace {

int save(std::vector<tb::PlaylistItem> items, const QString& path, tb::SavedPathMode mode) {
    tb::PlaylistExport job(std::move(items), path, tb::formatToRead(path), tb::readTrackFields);
    job.setPathMode(mode);
    QEventLoop loop;
    QObject::connect(&job, &tb::PlaylistExport::finished, &loop, [&] { loop.exit(0); });
    QObject::connect(&job, &tb::PlaylistExport::failed, &loop, [&](const QString& message) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        loop.exit(1);
    });
    job.start();
    return loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 6 && args[1] == "mp3") {
        const std::size_t frames = args[3].toULong();
        tb::test::writeFile(args[2],
                            QByteArray::fromStdString(tb::test::mp3::file(
                                frames, tb::test::mp3::Tag::Id3v24, {argv[4], argv[5], "Album"})));
        std::printf("%lld\n", static_cast<long long>(tb::test::mp3::lengthMilliseconds(frames)));
        return 0;
    }
    if (args.size() >= 4 && args[1] == "save") {
        std::vector<tb::PlaylistItem> items;
        for (int i = 4; i < argc; ++i)
            items.push_back(
                {tb::nameWithoutExtension(argv[i]) + ".mp3", {}, {}, {}, {}, -1, argv[i]});
        const auto mode = QStringList{"as", "rel", "full"}.indexOf(args[3]);
        return save(std::move(items), args[2],
                    static_cast<tb::SavedPathMode>(std::max<qsizetype>(0, mode)));
    }
    if (args.size() == 4 && args[1] == "resave") {
        try {
            std::vector<tb::PlaylistItem> items =
                tb::readPlaylistFile(args[2], tb::formatToRead(args[2]));
            for (const tb::PlaylistItem& item : items)
                std::printf("%s\n", item.file.empty() ? "-" : item.file.c_str());
            return save(std::move(items), args[3], tb::SavedPathMode::AsEntered);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
    }
    std::fprintf(stderr, "usage: see the top of playlist_peer.cpp\n");
    return 2;
}
