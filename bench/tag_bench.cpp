// Reads the tags of 10,000 files through the main window's DrawTAG, half of them with
// an ID3v1 tag only and half with an ID3v2 tag only, against the same loop reading
// just the last 128 bytes of each; and the longest read of two large ID3v2 tags: one
// declared as 256 MB, and one whose 900 kB picture comes before its texts; and 1,000
// FLAC and 1,000 M4A files as their encoders write them.
#include "BenchSupport.h"

#include "app/Unit1.h"
#include "platform/FileTail.h"
#include "support/Id3v2Bytes.h"
#include "support/MainWindowFixture.h"
#include "support/MusicFiles.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

namespace v2 = tb::test::id3v2;
using v2::Encoding;

const QByteArray kAudio(4096, '\xFF');

QByteArray id3v1Tag(int i) {
    const auto field = [](const QByteArray& text) {
        return text.leftJustified(30, '\0', true);
    };
    return "TAG" + field("Track " + QByteArray::number(i)) + field("Kryl") + field("Bratříčku") +
           "1969" + field("") + char(17);
}

QByteArray id3v2Tag(int i, const std::string& before = {}) {
    const std::string frames =
        before + v2::textFrame(4, "TIT2", Encoding::Utf8, {"Píseň " + std::to_string(i)}) +
        v2::textFrame(4, "TPE1", Encoding::Utf8, {"Karel Kryl"}) +
        v2::textFrame(4, "TALB", Encoding::Utf8, {"Bratříčku, zavírej vrátka"}) +
        v2::textFrame(4, "TDRC", Encoding::Utf8, {"1969"}) +
        v2::commentFrame(4, Encoding::Utf8, "", "Kódováno") +
        v2::textFrame(4, "TCON", Encoding::Utf8, {"17"});
    return QByteArray::fromStdString(v2::tag(4, frames, 0, 1024));
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct Figures {
    double medianUs = 0;
    double longestUs = 0;
};

// Times each call once, after one untimed pass that brings the files into the cache.
Figures timeEach(int count, const std::function<void(int)>& call) {
    for (int i = 0; i < count; ++i)
        call(i);
    std::vector<double> us(static_cast<std::size_t>(count));
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        call(i);
        us[static_cast<std::size_t>(i)] = static_cast<double>(timer.nsecsElapsed()) / 1e3;
    }
    const double longest = *std::max_element(us.begin(), us.end());
    std::nth_element(us.begin(), us.begin() + count / 2, us.end());
    return {us[static_cast<std::size_t>(count / 2)], longest};
}

} // namespace

int main(int argc, char* argv[]) {
    bench::useOffscreenPlatform();
    QApplication app(argc, argv);
    constexpr int kFiles = 10'000;

    QTemporaryDir dir;
    QList<QByteArray> names;
    for (int i = 0; i < kFiles; ++i) {
        const QString name = QStringLiteral("Track %1.mp3").arg(i, 5, 10, QLatin1Char('0'));
        if (!write(dir.filePath(name), i % 2 == 0 ? kAudio + id3v1Tag(i) : id3v2Tag(i) + kAudio))
            return 2;
        names.append(QFile::encodeName(name));
    }
    QByteArray huge = id3v2Tag(0);
    huge[6] = huge[7] = huge[8] = huge[9] = 0x7F;
    const std::string picture =
        v2::frame(4, "APIC", "\x03image/jpeg\0\x03\0" + std::string(900'000, '\xAB'));
    if (!write(dir.filePath("huge.mp3"), huge) ||
        !QFile::resize(dir.filePath("huge.mp3"), qint64{300} << 20) ||
        !write(dir.filePath("picture.mp3"), id3v2Tag(0, picture) + kAudio))
        return 2;

    constexpr int kMusicFiles = 1'000;
    const QStringList musicKinds{"flac", "m4a"};
    if (!tb::test::makeMusicFiles(dir.filePath("made"), "song", musicKinds))
        return 2;
    for (int i = 0; i < kMusicFiles; ++i) {
        for (const QString& kind : musicKinds) {
            const QString name = QStringLiteral("Song %1.%2").arg(i).arg(kind);
            if (!QFile::copy(dir.filePath("made/song." + kind), dir.filePath(name)))
                return 2;
        }
    }

    tb::test::MainWindowFixture fx;
    fx.show();
    fx.browse(dir.path());
    TForm1& form = *fx.form;
    const auto clearFields = [&] {
        for (QLabel* field : {form.TitleTag, form.ArtistTag, form.AlbumTag, form.YearTag,
                              form.CommentTag, form.GenreTag})
            field->clear();
    };
    // Each call runs twice, once untimed to bring the file into the cache.
    int shown = 0;
    const auto drawTag = [&](const QByteArray& name) {
        form.DrawTAG(name);
        shown += form.ArtistTag->text().isEmpty() ? 0 : 1;
        clearFields();
    };
    const Figures tags = timeEach(kFiles, [&](int i) { drawTag(names[i]); });
    const Figures id3v1Only = timeEach(kFiles / 2, [&](int i) { drawTag(names[2 * i]); });
    const Figures id3v2Only = timeEach(kFiles / 2, [&](int i) { drawTag(names[2 * i + 1]); });
    const QByteArray directory = QFile::encodeName(dir.path()) + '/';
    qint64 tailBytes = 0;
    const Figures tails = timeEach(
        kFiles, [&](int i) { tailBytes += tb::readFileTail(directory + names[i], 128).size(); });
    const Figures large =
        timeEach(20, [&](int i) { drawTag(i % 2 == 0 ? "huge.mp3" : "picture.mp3"); });

    Figures music[2];
    for (int kind = 0; kind < 2; ++kind)
        music[kind] = timeEach(kMusicFiles, [&](int i) {
            drawTag(QStringLiteral("Song %1.%2").arg(i).arg(musicKinds[kind]).toUtf8());
        });

    bench::report("drawtag_median_us", tags.medianUs);
    bench::report("drawtag_longest_us", tags.longestUs);
    bench::report("drawtag_id3v1_median_us", id3v1Only.medianUs);
    bench::report("drawtag_id3v2_median_us", id3v2Only.medianUs);
    bench::report("drawtag_id3v2_longest_us", id3v2Only.longestUs);
    bench::report("tail128_median_us", tails.medianUs);
    bench::report("tail128_longest_us", tails.longestUs);
    bench::report("large_id3v2_median_us", large.medianUs);
    bench::report("large_id3v2_longest_us", large.longestUs);
    bench::report("drawtag_flac_median_us", music[0].medianUs);
    bench::report("drawtag_flac_longest_us", music[0].longestUs);
    bench::report("drawtag_m4a_median_us", music[1].medianUs);
    bench::report("drawtag_m4a_longest_us", music[1].longestUs);
    bench::reportCount("files", kFiles);
    // Every file's artist was shown, the large tags' too.
    shown /= 2;
    bench::reportCount("tags_shown", shown);
    return shown == 2 * kFiles + 20 + 2 * kMusicFiles && tailBytes == 2 * 128LL * kFiles ? 0 : 1;
}
