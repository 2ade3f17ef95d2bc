#pragma once

#include <QAccessibleWidget>

class TKPanel;

// What a screen reader sees of the gradient panel: a pane named by its caption, or else by
// the name its window gives it, holding the controls placed on it.
class TKPanelAccessible : public QAccessibleWidget {
public:
    explicit TKPanelAccessible(TKPanel* panel);

    QString text(QAccessible::Text t) const override;
};
