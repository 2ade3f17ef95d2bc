#include "filetools/FilterComboBox.h"
#include "support/QtTests.h"

class TestFilterComboBox : public QObject {
    Q_OBJECT

private slots:
    void filterBoxHandsOnMaskString() {
        TFilterComboBox box;
        QSignalSpy masks(&box, &TFilterComboBox::maskChanged);
        box.setFilter("Soubory MP3|*.mp3|Video|*.mpg; *.mpeg|Vše|*.*");
        QCOMPARE(box.itemText(2), QStringLiteral("Vše"));
        box.setCurrentIndex(1);
        QCOMPARE(masks.count(), 2);
        QCOMPARE(masks.last().at(0).toString(), QStringLiteral("*.mpg; *.mpeg"));
    }
};

QTEST_MAIN(TestFilterComboBox)
#include "test_filtercombobox.moc"
