#pragma once

#include <QByteArray>
#include <QList>

class QDropEvent;
class QMimeData;

namespace tb {

// A local file or folder dropped from another program (a file manager's text/uri-list),
// as the platform's bytes: the folder that holds it, as a directory text, and its name.
// A dropped folder has the folder itself as directory and an empty name.
struct DroppedItem {
    enum class Kind { File, Folder };
    Kind kind;
    QByteArray directory;
    QByteArray name;
};

// The local files and folders among the dropped addresses, in the order dropped. Remote
// addresses, files of another host, and paths that name nothing (or a device, FIFO or
// socket) are left out.
QList<DroppedItem> droppedItems(const QMimeData* data);

// Whether the data holds any local address at all; asked while a drag is over a control,
// without touching the disk.
bool holdsLocalAddresses(const QMimeData* data);

// Accepts a drag or drop from a file manager with a copy where it offers one, else a
// link, else the action it proposes: some (xfe) offer a plain drag as a move alone, and
// such a source deletes nothing itself. Nothing here moves or deletes a dropped file.
// False, the event refused, when the source proposes no action at all.
bool acceptWithoutMove(QDropEvent* event);

} // namespace tb
