#pragma once

#include <QDialog>
#include <QTest>

#include "controls/TransBtn.h"

namespace tb::test {

// Its button, Escape and a close request each close the window.
inline void closesEachWay(QDialog& window, TTransparentButton* button) {
    window.show();
    emit button->OnClick();
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    window.show();
    QVERIFY(window.close() && !window.isVisible());
}

} // namespace tb::test
