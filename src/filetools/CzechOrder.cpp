#include "filetools/CzechOrder.h"

#include <QLocale>

namespace tb {

CzechOrder::CzechOrder() : collator_(QLocale(QLocale::Czech, QLocale::Czechia)) {
    collator_.setNumericMode(true);
}

} // namespace tb
