#include "filetools/DirectoryListBox.h"

#include "filetools/DirectoryText.h"
#include "platform/DroppedFiles.h"
#include "platform/Paths.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

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
QStringList pathFromRoot(const QString& directoryText) {
    QStringList chain;
    QString path = QDir::fromNativeSeparators(directoryText);
    for (;;) {
        chain.prepend(tb::directoryText(path));
        const QString parent = QFileInfo(path).path();
        if (parent == path || parent.isEmpty() || parent == QLatin1String("."))
            break;
        path = parent;
    }
    return chain;
}

std::vector<std::string> encodedList(const QStringList& texts) {
    std::vector<std::string> encoded;
    encoded.reserve(texts.size());
    for (const QString& text : texts)
        encoded.push_back(QFile::encodeName(text).toStdString());
    return encoded;
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
    directory_ = tb::directoryText(QDir::currentPath());
    lastDirectoryOfDrive_.insert(Drive(), directory_);
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
    lastDirectoryOfDrive_.insert(Drive(), directory_);
}

void TDirectoryListBox::setDirectory(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    const QString text = tb::directoryText(path);
    if (text == directory_) {
        fill();
        return;
    }
    directory_ = text;
    lastDirectoryOfDrive_.insert(Drive(), directory_);
    fill();
    emit directoryChanged(directory_);
}

QString TDirectoryListBox::Drive() const {
    return driveOf(directory_);
}

QString TDirectoryListBox::driveOf(const QString& directory) const {
    const std::string root =
        tb::driveRootOf(QFile::encodeName(directory).toStdString(), encodedList(driveRoots_),
                        QDir::separator().toLatin1());
    if (root.empty())
        return pathFromRoot(directory).constFirst();
    return QFile::decodeName(QByteArray::fromStdString(root));
}

void TDirectoryListBox::setDrive(const QString& root) {
    if (root == Drive())
        return;
    const QString last = lastDirectoryOfDrive_.value(root);
    if (!last.isEmpty() && driveOf(last) == root && QFileInfo(last).isDir())
        setDirectory(last);
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
        setDirectory(QFile::decodeName(items.first().directory));
}

void TDirectoryListBox::openEntry(QListWidgetItem* item) {
    if (item == nullptr)
        return;
    // Copied first: setDirectory() clears the list and deletes the item.
    const QString path = item->data(Qt::UserRole).toString();
    setDirectory(path);
}

void TDirectoryListBox::fill() {
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = pathFromRoot(directory_);
    const QStringList subdirectories =
        QDir(directory_)
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);

    auto addRow = [this](const QString& text, const QString& path, int depth, const QIcon& icon) {
        auto* item = new QListWidgetItem(icon, text, this);
        item->setData(Qt::UserRole, path);
        item->setData(DepthRole, depth);
        return item;
    };

    setUpdatesEnabled(false);
    clear();
    QListWidgetItem* current = nullptr;
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString& path = chain.at(depth);
        const QString name = depth == 0 ? path : QFileInfo(path).fileName();
        current = addRow(name, path, depth, openIcon);
    }
    const QDir here(directory_);
    for (const QString& name : subdirectories)
        addRow(name, tb::directoryText(here.filePath(name)), chain.size(), closedIcon);
    setCurrentItem(current);
    setUpdatesEnabled(true);
}
