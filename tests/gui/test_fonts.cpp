#include "platform/Fonts.h"
#include "support/QtTests.h"

#include <QFontDatabase>
#include <QFontInfo>

class TestFonts : public QObject {
    Q_OBJECT

private slots:
    // Without the asked face, one of the Windows faces' widths is taken, not the platform's
    // wider default, which would push captions out of their buttons.
    void missingFaceFallsBackToOneOfTheSameWidths() {
        if (!QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")))
            QSKIP("needs Liberation Sans, which scripts/install-deps installs");
        const QFontInfo shown(tb::pixelFont(QStringLiteral("Žádné takové písmo"), 11, true));
        QVERIFY2(QStringList({"Arial", "Liberation Sans"}).contains(shown.family()),
                 qPrintable(shown.family()));
    }
};

QTEST_MAIN(TestFonts)
#include "test_fonts.moc"
