#include "platform/SettingsStore.h"

#include <QSettings>

namespace tb {

std::optional<QString> QtSettingsStore::read(const QString& name) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brivola"),
                    QStringLiteral("Trackbinder"));
    if (store.status() != QSettings::NoError)
        return std::nullopt;
    const QVariant value = store.value(name);
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

void QtSettingsStore::write(const QString& name, const QString& text) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brivola"),
                    QStringLiteral("Trackbinder"));
    store.setValue(name, text);
}

std::optional<QString> MemorySettingsStore::read(const QString& name) {
    const auto it = values.constFind(name);
    if (it == values.constEnd())
        return std::nullopt;
    return *it;
}

void MemorySettingsStore::write(const QString& name, const QString& text) {
    values.insert(name, text);
    writeOrder.append(name);
}

} // namespace tb
