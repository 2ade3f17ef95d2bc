#pragma once

#include "platform/Volumes.h"

#include <QComboBox>

// The drive box: one entry per mounted volume. It has no link of its own to the
// directory list; the file browser moves each after the other.
class TDriveBox : public QComboBox {
    Q_OBJECT

public:
    explicit TDriveBox(QWidget* parent = nullptr);

    // Refills the entries and keeps the chosen volume when it is still there, else
    // chooses the first. Emits nothing: the caller decides what a refill means.
    void setVolumes(const QList<tb::Volume>& volumes);
    const QList<tb::Volume>& volumes() const { return volumes_; }
    QStringList driveRoots() const;

    // The root of the chosen volume ("/", "/media/usb", "c:\").
    QString Drive() const;
    // Chooses the volume with this root; emits driveChanged() when the choice changes.
    void setDrive(const QString& root);

signals:
    // The user or the program chose another volume.
    void driveChanged();

private:
    int indexOfRoot(const QString& root) const;

    QList<tb::Volume> volumes_;
    bool filling_ = false;
};
