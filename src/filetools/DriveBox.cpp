#include "filetools/DriveBox.h"

namespace {
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity rootCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity rootCase = Qt::CaseSensitive;
#endif

QString entryText(const tb::Volume& volume) {
    QString text = volume.displayText();
#ifdef Q_OS_WIN
    // Drive letters are shown in lower case ("c:\").
    text.replace(0, volume.root.size(), volume.root.toLower());
#endif
    return text;
}
} // namespace

TDriveBox::TDriveBox(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_)
            emit driveChanged();
    });
}

void TDriveBox::setVolumes(const QList<tb::Volume>& volumes) {
    const QString chosen = Drive();
    filling_ = true;
    volumes_ = volumes;
    clear();
    for (const tb::Volume& volume : volumes_)
        addItem(entryText(volume));
    const int keep = indexOfRoot(chosen);
    setCurrentIndex(keep >= 0 ? keep : (volumes_.isEmpty() ? -1 : 0));
    filling_ = false;
}

QStringList TDriveBox::driveRoots() const {
    QStringList roots;
    roots.reserve(volumes_.size());
    for (const tb::Volume& volume : volumes_)
        roots.append(volume.root);
    return roots;
}

QString TDriveBox::Drive() const {
    const int index = currentIndex();
    return index >= 0 && index < volumes_.size() ? volumes_.at(index).root : QString();
}

void TDriveBox::setDrive(const QString& root) {
    const int index = indexOfRoot(root);
    if (index >= 0)
        setCurrentIndex(index); // emits through currentIndexChanged only when it differs
}

int TDriveBox::indexOfRoot(const QString& root) const {
    if (root.isEmpty())
        return -1;
    for (int i = 0; i < volumes_.size(); ++i) {
        if (volumes_.at(i).root.compare(root, rootCase) == 0)
            return i;
    }
    return -1;
}
