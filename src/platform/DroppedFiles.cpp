#include "platform/DroppedFiles.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace tb {

namespace {

bool isLocal(const QUrl& url) {
    const QString host = url.host();
    return url.isLocalFile() &&
           (host.isEmpty() || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0);
}

#ifndef Q_OS_WIN
// The path's own bytes: percent-decoding keeps a name that is not UTF-8 whole, where
// toLocalFile() would put replacement characters in its place. Separators doubled or
// left at the end go, so that the last part is the name.
QByteArray pathBytes(const QUrl& url) {
    QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    QByteArray cleaned;
    cleaned.reserve(path.size());
    for (char c : std::as_const(path)) {
        if (c == '/' && cleaned.endsWith('/'))
            continue;
        cleaned.append(c);
    }
    while (cleaned.size() > 1 && cleaned.endsWith('/'))
        cleaned.chop(1);
    return cleaned;
}
#endif

} // namespace

bool holdsLocalAddresses(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.cbegin(), urls.cend(), isLocal);
}

bool acceptWithoutMove(QDropEvent* event) {
    // A file manager told "moved" might delete the dropped files: a copy where one is offered.
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event->possibleActions() & action) {
            event->setDropAction(action);
            event->accept();
            return true;
        }
    }
    if (event->proposedAction() == Qt::IgnoreAction) {
        event->ignore();
        return false;
    }
    event->acceptProposedAction();
    return true;
}

QList<DroppedItem> droppedItems(const QMimeData* data) {
    QList<DroppedItem> items;
    if (!data || !data->hasUrls())
        return items;
    for (const QUrl& url : data->urls()) {
        if (!isLocal(url))
            continue;
#ifdef Q_OS_WIN
        const QFileInfo info(url.toLocalFile());
        if (info.isDir()) {
            items.append({DroppedItem::Kind::Folder,
                          QFile::encodeName(QDir::toNativeSeparators(info.absoluteFilePath())),
                          {}});
        } else if (info.isFile()) {
            items.append({DroppedItem::Kind::File,
                          QFile::encodeName(QDir::toNativeSeparators(info.absolutePath())),
                          QFile::encodeName(info.fileName())});
        }
#else
        const QByteArray path = pathBytes(url);
        struct stat status {};
        if (!path.startsWith('/') || ::stat(path.constData(), &status) != 0)
            continue;
        if (S_ISDIR(status.st_mode)) {
            items.append({DroppedItem::Kind::Folder, path, {}});
        } else if (S_ISREG(status.st_mode)) {
            const qsizetype slash = path.lastIndexOf('/');
            items.append({DroppedItem::Kind::File, slash == 0 ? QByteArray("/") : path.left(slash),
                          path.mid(slash + 1)});
        }
#endif
    }
    return items;
}

} // namespace tb
