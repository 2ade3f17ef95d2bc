#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace tb {

// A mounted volume as the drive box shows it: its root (the mount point, or
// "C:\" on Windows) and the label or device beside it.
struct Volume {
    QString root;   // native directory text
    QString detail; // label, else the device
    QString displayText() const {
        return detail.isEmpty() ? root : root + QStringLiteral("  [") + detail + QLatin1Char(']');
    }
    friend bool operator==(const Volume&, const Volume&) = default;
};

class Volumes {
public:
    virtual ~Volumes() = default;
    // The volumes with a real file system, sorted by root.
    virtual QList<Volume> mounted() = 0;
    // Whether the volume can be read now: it is still mounted there and its total
    // size can be queried.
    virtual bool isReady(const QString& root) = 0;
};

class SystemVolumes final : public Volumes {
public:
    QList<Volume> mounted() override;
    bool isReady(const QString& root) override;

private:
    // The device mounted at each root when the volumes were last listed.
    QHash<QString, QByteArray> devices_;
};

// Pseudo and kernel file systems that hold no user files and stay out of the drive box.
bool isUserVolume(const QString& fileSystemType, const QString& root);

} // namespace tb
