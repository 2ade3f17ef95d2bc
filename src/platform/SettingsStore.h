#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace tb {

// The per-user store in which the program keeps its string settings between runs.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or nothing when the value is missing or the store cannot be read.
    virtual std::optional<QString> read(const QString& name) = 0;
    virtual void write(const QString& name, const QString& text) = 0;
};

// The real store: the registry key Software\Brivola\Trackbinder on Windows,
// ~/.config/Brivola/Trackbinder.conf on Linux. Every access opens the store anew.
class QtSettingsStore final : public SettingsStore {
public:
    std::optional<QString> read(const QString& name) override;
    void write(const QString& name, const QString& text) override;
};

// A store in memory, for tests; it remembers the order of the writes.
class MemorySettingsStore final : public SettingsStore {
public:
    std::optional<QString> read(const QString& name) override;
    void write(const QString& name, const QString& text) override;

    QHash<QString, QString> values;
    QStringList writeOrder;
};

} // namespace tb
