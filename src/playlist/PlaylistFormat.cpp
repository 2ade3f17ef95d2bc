#include "playlist/PlaylistFormat.h"

#include "platform/FileSystems.h"
#include "platform/RegularFile.h"
#include "playlist/EntryFile.h"
#include "playlist/M3u.h"
#include "playlist/M3u8.h"
#include "playlist/Pls.h"
#include "playlist/Xspf.h"

#include <QFile>
#include <QFileInfo>

namespace tb {

namespace {
struct FormatName {
    PlaylistFormat format;
    const char* suffix;
    const char* filter;
};
const FormatName kFormats[] = {
    {PlaylistFormat::M3u, "m3u", "Playlist M3U (*.m3u)"},
    {PlaylistFormat::M3u8, "m3u8", "Playlist M3U8 s popisky (*.m3u8)"},
    {PlaylistFormat::Pls, "pls", "Playlist PLS (*.pls)"},
    {PlaylistFormat::Xspf, "xspf", "Playlist XSPF (*.xspf)"},
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

std::vector<PlaylistItem> m3uItems(std::string_view bytes) {
    M3uSplitter splitter;
    std::vector<std::string_view> lines;
    const std::string_view open = splitter.split(bytes, lines);
    std::vector<PlaylistItem> items(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        items[i].text.assign(lines[i]);
    if (splitter.openLineCounts())
        items.emplace_back().text = std::string(splitter.heldBack()) + std::string(open);
    return items;
}
} // namespace

QStringList playlistSaveFilters() {
    QStringList filters;
    for (const FormatName& name : kFormats)
        filters.append(QString::fromUtf8(name.filter));
    return filters;
}

PlaylistFormat formatOfFilter(const QString& filter) {
    for (const FormatName& name : kFormats) {
        if (filter == QString::fromUtf8(name.filter))
            return name.format;
    }
    return PlaylistFormat::M3u;
}

std::optional<PlaylistFormat> formatOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    for (const FormatName& name : kFormats) {
        if (suffix.compare(QLatin1String(name.suffix), Qt::CaseInsensitive) == 0)
            return name.format;
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
    return formatOfName(path).value_or(PlaylistFormat::M3u);
}

std::vector<PlaylistItem> readPlaylistBytes(std::string_view bytes, PlaylistFormat format,
                                            std::string_view playlistFolder) {
    std::vector<PlaylistItem> items;
    switch (format) {
    case PlaylistFormat::M3u:
        items = m3uItems(bytes);
        break;
    case PlaylistFormat::M3u8:
        items = readM3u8(bytes);
        break;
    case PlaylistFormat::Pls:
        items = readPls(bytes);
        break;
    case PlaylistFormat::Xspf:
        items = readXspf(bytes);
        break;
    }
    for (PlaylistItem& item : items)
        item.file = resolveEntryFile(item.text, playlistFolder, entryFileExists);
    return items;
}

std::vector<PlaylistItem> readPlaylistFile(const QString& path, PlaylistFormat format) {
    const std::string bytes = wholeFile(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return readPlaylistBytes(bytes, format, std::string_view(folder.constData(), folder.size()));
}

} // namespace tb
