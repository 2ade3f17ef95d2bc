#pragma once

#include <QComboBox>

// The file-type filter box: shows the labels of a "label|masks|..." filter and
// hands the chosen entry's mask string to the file list.
class TFilterComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TFilterComboBox(QWidget* parent = nullptr);

    // Fills the entries and chooses the first; emits maskChanged() when that
    // changes the mask string.
    void setFilter(const QString& filter);
    // The mask string of the chosen entry, such as "*.mpg; *.mpeg".
    QString Mask() const;

signals:
    void maskChanged(const QString& maskString);

private:
    bool filling_ = false;
};
