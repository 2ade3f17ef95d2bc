#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class TProgress;

// What a screen reader sees of the gauge: a progress bar from 0 to 100 whose value is
// Progress, named by its text or else by the name its window gives it.
class TProgressAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TProgressAccessible(TProgress* gauge);

    void* interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {} // shown, not set, by its readers
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    const TProgress* gauge() const;
};
