#include "filetools/DirectoryListBox.h"

#include "filetools/CollatedOrder.h"
#include "filetools/DirectoryText.h"
#include "platform/DroppedFiles.h"
#include "platform/FileNames.h"
#include "platform/Paths.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {
constexpr int RowHeight = 16;
constexpr int IndentPerLevel = 10;
constexpr int DepthRole = Qt::UserRole + 1;

// Draws each row shifted right by its depth, so the list reads like a tree.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shifted = option;
        shifted.rect.setLeft(shifted.rect.left() + indentOf(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize natural = QStyledItemDelegate::sizeHint(option, index);
        return {natural.width() + indentOf(index), RowHeight};
    }

private:
    static int indentOf(const QModelIndex& index) {
        return index.data(DepthRole).toInt() * IndentPerLevel;
    }
};

// The directory texts from the root of the file system down to the directory.
QList<QByteArray> pathFromRoot(const QByteArray& directory) {
    QList<QByteArray> chain;
#ifdef Q_OS_WIN
    // Drive letters and shares: Qt knows where their roots end.
    QString path = QDir::fromNativeSeparators(QFile::decodeName(directory));
    for (;;) {
        chain.prepend(QFile::encodeName(tb::directoryText(path)));
        const QString parent = QFileInfo(path).path();
        if (parent == path || parent.isEmpty() || parent == QLatin1String("."))
            break;
        path = parent;
    }
#else
    // By the bytes, which the next folder's name may not spell in UTF-8.
    chain.append(QByteArrayLiteral("/"));
    for (qsizetype slash = directory.indexOf('/', 1); slash > 0;
         slash = directory.indexOf('/', slash + 1))
        chain.append(directory.left(slash));
    if (directory.size() > 1)
        chain.append(directory);
#endif
    return chain;
}

// The folder's directory text: absolute, without "." and "..", doubled or trailing
// separators.
QByteArray directoryTextOf(const QByteArray& path) {
#ifdef Q_OS_WIN
    return QFile::encodeName(tb::directoryText(QFile::decodeName(path)));
#else
    // Kept to bytes, as QDir::cleanPath() would garble a name that is not UTF-8.
    const QByteArray absolute =
        path.startsWith('/') ? path : QFile::encodeName(QDir::currentPath()) + '/' + path;
    QList<QByteArray> parts;
    for (const QByteArray& part : absolute.split('/')) {
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (!part.isEmpty() && part != ".") {
            parts.append(part);
        }
    }
    return '/' + parts.join('/');
#endif
}

QByteArray lastPart(const QByteArray& directory) {
    const qsizetype at = directory.lastIndexOf(QDir::separator().toLatin1());
    return at < 0 ? directory : directory.mid(at + 1);
}

QByteArray joined(const QByteArray& directory, const QByteArray& name) {
    const char separator = QDir::separator().toLatin1();
    return directory.endsWith(separator) ? directory + name : directory + separator + name;
}

std::vector<std::string> encodedList(const QStringList& texts) {
    std::vector<std::string> encoded;
    encoded.reserve(texts.size());
    for (const QString& text : texts)
        encoded.push_back(QFile::encodeName(text).toStdString());
    return encoded;
}

// A subfolder: how it is shown, and its name's bytes.
struct Subfolder {
    QString shown;
    QByteArray bytes;
};

// In Czech order as shown, as the file list sorts; names the collation holds equal by
// their bytes.
std::vector<Subfolder> sortedSubfolders(const QByteArray& directory) {
    std::vector<Subfolder> folders;
    for (QByteArray& name : tb::subfolderNames(directory)) {
        QString shown = tb::withVisibleControls(tb::shownPath(name));
        folders.push_back({std::move(shown), std::move(name)});
    }
    tb::CollatedOrderRun run;
    run.tieLess = [&folders](std::uint32_t a, std::uint32_t b) {
        return folders[a].bytes < folders[b].bytes;
    };
    const std::vector<std::uint32_t> order = tb::collatedOrder(
        folders.size(),
        [&folders](std::size_t index, std::u16string& text, std::u16string&) {
            const QString& shown = folders[index].shown;
            text.assign(reinterpret_cast<const char16_t*>(shown.utf16()),
                        static_cast<std::size_t>(shown.size()));
        },
        run);
    std::vector<Subfolder> sorted;
    sorted.reserve(folders.size());
    for (const std::uint32_t index : order)
        sorted.push_back(std::move(folders[index]));
    return sorted;
}
} // namespace

TDirectoryListBox::TDirectoryListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setIconSize(QSize(RowHeight, RowHeight));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    // Double-click only: a style that activates on a single click would move on every click.
    connect(this, &QListWidget::itemDoubleClicked, this, &TDirectoryListBox::openEntry);
    directoryBytes_ = directoryTextOf(QFile::encodeName(QDir::currentPath()));
    directory_ = tb::shownPath(directoryBytes_);
    lastDirectoryOfDrive_.insert(Drive(), directoryBytes_);
    fill();
}

void TDirectoryListBox::setDriveRoots(const QStringList& roots) {
    driveRoots_ = roots;
    // Directories filed before the drives were known may lie on another drive
    // than the one they were filed under.
    for (auto it = lastDirectoryOfDrive_.begin(); it != lastDirectoryOfDrive_.end();) {
        if (driveOf(it.value()) == it.key())
            ++it;
        else
            it = lastDirectoryOfDrive_.erase(it);
    }
    lastDirectoryOfDrive_.insert(Drive(), directoryBytes_);
}

void TDirectoryListBox::setDirectory(const QString& path) {
    setDirectoryBytes(QFile::encodeName(path));
}

void TDirectoryListBox::setDirectoryBytes(const QByteArray& path) {
    if (path.isEmpty() || !tb::isFolder(path))
        return;
    const QByteArray text = directoryTextOf(path);
    if (text == directoryBytes_) {
        fill();
        return;
    }
    directoryBytes_ = text;
    directory_ = tb::shownPath(directoryBytes_);
    lastDirectoryOfDrive_.insert(Drive(), directoryBytes_);
    fill();
    emit directoryChanged(directory_);
}

QString TDirectoryListBox::Drive() const {
    return driveOf(directoryBytes_);
}

QString TDirectoryListBox::driveOf(const QByteArray& directory) const {
    const std::string root = tb::driveRootOf(directory.toStdString(), encodedList(driveRoots_),
                                             QDir::separator().toLatin1());
    if (root.empty())
        return QFile::decodeName(pathFromRoot(directory).constFirst());
    return QFile::decodeName(QByteArray::fromStdString(root));
}

void TDirectoryListBox::setDrive(const QString& root) {
    if (root == Drive())
        return;
    const QByteArray last = lastDirectoryOfDrive_.value(root);
    if (!last.isEmpty() && driveOf(last) == root && tb::isFolder(last))
        setDirectoryBytes(last);
    else
        setDirectory(root);
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openEntry(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

bool TDirectoryListBox::answerDrag(QDropEvent* event) {
    // Only drags from other programs; their files stay where they are.
    const bool fromOutside = event->source() == nullptr;
    if (!fromOutside || !tb::holdsLocalAddresses(event->mimeData())) {
        event->ignore();
        return false;
    }
    return tb::acceptWithoutMove(event);
}

void TDirectoryListBox::dragEnterEvent(QDragEnterEvent* event) {
    answerDrag(event);
}

void TDirectoryListBox::dragMoveEvent(QDragMoveEvent* event) {
    answerDrag(event);
}

void TDirectoryListBox::dropEvent(QDropEvent* event) {
    if (!answerDrag(event))
        return;
    const QList<tb::DroppedItem> items = tb::droppedItems(event->mimeData());
    if (!items.isEmpty())
        setDirectoryBytes(items.first().directory);
}

void TDirectoryListBox::openEntry(QListWidgetItem* item) {
    if (item == nullptr)
        return;
    // Copied first: setDirectory() clears the list and deletes the item.
    const QByteArray path = item->data(Qt::UserRole).toByteArray();
    setDirectoryBytes(path);
}

void TDirectoryListBox::fill() {
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QList<QByteArray> chain = pathFromRoot(directoryBytes_);
    const std::vector<Subfolder> subfolders = sortedSubfolders(directoryBytes_);

    // Each row keeps its folder's bytes, by which it is entered; only the text decodes them.
    auto addRow = [this](const QString& text, const QByteArray& path, int depth,
                         const QIcon& icon) {
        auto* item = new QListWidgetItem(icon, text, this);
        item->setData(Qt::UserRole, path);
        item->setData(DepthRole, depth);
        return item;
    };

    setUpdatesEnabled(false);
    clear();
    QListWidgetItem* current = nullptr;
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QByteArray& path = chain.at(depth);
        const QString name = depth == 0 ? tb::shownPath(path)
                                        : tb::withVisibleControls(tb::shownPath(lastPart(path)));
        current = addRow(name, path, depth, openIcon);
    }
    for (const Subfolder& folder : subfolders)
        addRow(folder.shown, joined(directoryBytes_, folder.bytes), chain.size(), closedIcon);
    setCurrentItem(current);
    setUpdatesEnabled(true);
}
