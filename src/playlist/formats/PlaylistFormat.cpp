#include "playlist/formats/PlaylistFormat.h"

#include "platform/FileSystems.h"
#include "platform/RegularFile.h"
#include "platform/Windows1250.h"
#include "playlist/formats/EntryFile.h"
#include "playlist/formats/M3u.h"
#include "playlist/formats/M3u8.h"
#include "playlist/formats/Pls.h"
#include "playlist/formats/Xspf.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <stdexcept>

namespace tb {

namespace {
std::vector<PlaylistItem> readM3u8Whole(std::string_view bytes, const EntryFileLookup&) {
    return readM3u8(bytes);
}
// Bare lines, as the window writes them; the save's worker takes this path when the
// entries' texts are rewritten from their files first.
std::string writeM3u(const std::vector<PlaylistItem>& items) {
    std::string bytes;
    for (const PlaylistItem& item : items)
        appendM3uLine(bytes, item.text);
    return bytes;
}
std::vector<PlaylistItem> readPlsWhole(std::string_view bytes, const EntryFileLookup&) {
    return readPls(bytes);
}

// In the order of the enumeration, which is the order of the save dialog's types.
const PlaylistFormatRow kFormats[] = {
    {PlaylistFormat::M3u, "m3u", "Playlist M3U (*.m3u)", nullptr, writeM3u},
    {PlaylistFormat::M3u8, "m3u8", "Playlist M3U8 s popisky (*.m3u8)", readM3u8Whole, writeM3u8},
    {PlaylistFormat::Pls, "pls", "Playlist PLS (*.pls)", readPlsWhole, writePls},
    {PlaylistFormat::Xspf, "xspf", "Playlist XSPF (*.xspf)", readXspf, writeXspf},
};

} // namespace

bool entryFileExists(const std::string& path) {
#ifdef Q_OS_WIN
    return QFileInfo(QString::fromUtf8(path)).isFile() ||
           QFileInfo(QString::fromLocal8Bit(path)).isFile();
#else
    const FileKind kind = fileKind(path);
    return kind != FileKind::Missing && kind != FileKind::Directory;
#endif
}

bool isEntryFile(const std::string& path) {
#ifdef Q_OS_WIN
    return entryFileExists(path); // only a file is a file there
#else
    // Asked of the name, never by opening it, so a FIFO or a device is not taken.
    return isRegularFile(path);
#endif
}

namespace {

std::string wholeFile(const QString& path) {
    RegularFile file(path);
    std::string bytes;
    const qint64 size = QFileInfo(path).size();
    constexpr qint64 kPiece = qint64{1} << 20;
    bytes.reserve(static_cast<std::size_t>(std::clamp<qint64>(size, 0, qint64{256} << 20)));
    std::string piece(static_cast<std::size_t>(kPiece), '\0');
    for (;;) {
        const qint64 got = file.read(piece.data(), kPiece);
        if (got < 0)
            throw RegularFile::ioError(file.error());
        if (got == 0)
            return bytes;
        bytes.append(piece.data(), static_cast<std::size_t>(got));
    }
}

} // namespace

const PlaylistFormatRow& formatRow(PlaylistFormat format) {
    return kFormats[static_cast<int>(format)];
}

QStringList playlistSaveFilters() {
    QStringList filters;
    for (const PlaylistFormatRow& row : kFormats)
        filters.append(QString::fromUtf8(row.filter));
    return filters;
}

PlaylistFormat formatOfFilter(const QString& filter) {
    for (const PlaylistFormatRow& row : kFormats) {
        if (filter == QString::fromUtf8(row.filter))
            return row.format;
    }
    return PlaylistFormat::M3u;
}

std::optional<PlaylistFormat> formatOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    for (const PlaylistFormatRow& row : kFormats) {
        if (suffix.compare(QLatin1String(row.suffix), Qt::CaseInsensitive) == 0)
            return row.format;
    }
    return std::nullopt;
}

QString formatSuffix(PlaylistFormat format) {
    return QLatin1String(kFormats[static_cast<int>(format)].suffix);
}

SaveTarget saveTarget(const QString& chosenPath, const QString& chosenFilter) {
    if (const std::optional<PlaylistFormat> named = formatOfName(chosenPath))
        return {chosenPath, *named};
    const PlaylistFormat chosen = formatOfFilter(chosenFilter);
    if (!QFileInfo(chosenPath).suffix().isEmpty())
        return {chosenPath, chosen};
    QString path = chosenPath;
    if (!path.endsWith(QLatin1Char('.')))
        path += QLatin1Char('.');
    return {path + formatSuffix(chosen), chosen};
}

PlaylistFormat formatToRead(const QString& path) {
    // Players write extended M3U under .m3u as well; read as plain lines, each #EXTINF
    // would become an entry naming no file.
    const std::optional<PlaylistFormat> named = formatOfName(path);
    if (named && *named != PlaylistFormat::M3u)
        return *named;
    char start[16];
    qint64 got = 0;
    try {
        RegularFile file(path);
        got = std::max<qint64>(file.read(start, sizeof start), 0);
    } catch (const IoError&) {
        return PlaylistFormat::M3u; // which reports the failure when it reads
    }
    return beginsExtendedM3u(std::string_view(start, static_cast<std::size_t>(got)))
               ? PlaylistFormat::M3u8
               : PlaylistFormat::M3u;
}

std::vector<PlaylistItem> readPlaylistBytes(std::string_view bytes, PlaylistFormat format,
                                            std::string_view playlistFolder) {
    const PlaylistFormatRow& row = formatRow(format);
    if (!row.read)
        throw std::invalid_argument(std::string(row.suffix) + " is read line by line");
    const EntryFileLookup fileOf = [playlistFolder](std::string_view entry) {
        return resolveEntryFile(entry, playlistFolder, isEntryFile);
    };
    std::vector<PlaylistItem> items = row.read(bytes, fileOf);
    for (PlaylistItem& item : items) {
        item.file = fileOf(item.text);
        // Extended M3U written by older Windows players holds its infos in Windows-1250.
        if (format == PlaylistFormat::M3u8 && !item.info.empty())
            item.info = fromUtf8OrWindows1250(QByteArrayView(item.info)).toStdString();
    }
    return items;
}

std::vector<PlaylistItem> readPlaylistFile(const QString& path, PlaylistFormat format) {
    const std::string bytes = wholeFile(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return readPlaylistBytes(bytes, format, std::string_view(folder.constData(), folder.size()));
}

} // namespace tb
