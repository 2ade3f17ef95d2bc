#pragma once

#include <QAccessibleWidget>

class TURLLabel;

// What a screen reader sees of a link label: a link named by its caption, described by
// its target, whose press action opens the target as a click does.
class TURLLabelAccessible : public QAccessibleWidget {
public:
    explicit TURLLabelAccessible(TURLLabel* label);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    TURLLabel* label() const;
};
