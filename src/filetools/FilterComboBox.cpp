#include "filetools/FilterComboBox.h"

#include "filetools/FileMask.h"

TFilterComboBox::TFilterComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_)
            emit maskChanged(Mask());
    });
}

void TFilterComboBox::setFilter(const QString& filter) {
    const QString previousMask = Mask();
    filling_ = true;
    clear();
    for (const tb::FilterEntry& entry : tb::parseFilter(filter.toStdString()))
        addItem(QString::fromStdString(entry.label), QString::fromStdString(entry.masks));
    setCurrentIndex(count() > 0 ? 0 : -1);
    filling_ = false;
    if (Mask() != previousMask)
        emit maskChanged(Mask());
}

QString TFilterComboBox::Mask() const {
    return currentData().toString();
}
