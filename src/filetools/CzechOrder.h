#pragma once

#include <QCollator>
#include <QString>
#include <QStringView>

namespace tb {

// Texts in the order a Czech reader expects: "č" after "c", "ch" after "h", case and
// accents weighed only after the letters, and numbers by value ("Track 2" before
// "Track 10"). One object is used by one thread at a time. Many texts are sorted with
// tb::collatedOrder, which gives the same order far faster.
class CzechOrder {
public:
    CzechOrder();

    // Negative, zero or positive as a comes before, with or after b.
    int compare(QStringView a, QStringView b) const { return collator_.compare(a, b); }
    bool less(QStringView a, QStringView b) const { return compare(a, b) < 0; }

private:
    QCollator collator_;
};

} // namespace tb
