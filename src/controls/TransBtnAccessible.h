#pragma once

#include <QAccessibleWidget>

class TTransparentButton;

// What a screen reader sees of a transparent button: a push button named by its caption,
// else by its hint, else by the name its window gives it, that can be pressed while enabled.
class TTransparentButtonAccessible : public QAccessibleWidget {
public:
    explicit TTransparentButtonAccessible(TTransparentButton* button);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    TTransparentButton* button() const;
};
