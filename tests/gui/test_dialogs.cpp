#include "platform/Dialogs.h"
#include "support/QtTests.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <functional>

namespace {

// Acts on the next box that opens, from within its own event loop; looks again until it
// is up, so that a box shown late is still answered instead of hanging the run.
template <typename Box> void whenShown(std::function<void(Box*)> act, int triesLeft = 500) {
    QTimer::singleShot(10, [act, triesLeft] {
        auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
        if (box && box->isVisible())
            act(box);
        else if (triesLeft > 0)
            whenShown<Box>(act, triesLeft - 1);
        else
            QFAIL("no box opened");
    });
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void realBoxesShowPlainTextAndEscapeAnswersNo() {
        tb::QtDialogs dialogs;
        const QString name = "<b>a</b>.mp3";
        Qt::TextFormat format = Qt::RichText;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            format = box->textFormat();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(dialogs.confirm(nullptr, name), tb::Dialogs::Answer::No);
        QCOMPARE(format, Qt::PlainText);
        // The window's own close button is no answer; the exit question tells them apart.
        whenShown<QMessageBox>([](QMessageBox* box) { box->close(); });
        QCOMPARE(dialogs.confirm(nullptr, name), tb::Dialogs::Answer::Closed);

        whenShown<QInputDialog>([&](QInputDialog* box) {
            format = box->findChild<QLabel*>()->textFormat();
            box->reject();
        });
        QCOMPARE(dialogs.inputText(nullptr, "Změna jména souboru", name, name, 255), std::nullopt);
        QCOMPARE(format, Qt::PlainText);
    }

    // The real box says why it will not take a name of 256 bytes and keeps it open with the
    // text; 255 bytes, or a long path ending in a short name, it takes.
    void boxRefusesANameLongerThanTheFileSystemHolds() {
        tb::QtDialogs dialogs;
        const QString tooLong = QString(126, u'ž') + ".mp3", fits = QString(125, u'ž') + "a.mp3";
        QString warning, keptText;
        bool stayedOpen = false;
        whenShown<QInputDialog>([&](QInputDialog* box) {
            box->setTextValue(tooLong);
            whenShown<QMessageBox>([&](QMessageBox* refusal) {
                warning = refusal->text();
                refusal->button(QMessageBox::Ok)->click();
            });
            box->accept();
            stayedOpen = box->isVisible();
            keptText = box->textValue();
            box->setTextValue(fits);
            box->accept();
        });
        QCOMPARE(dialogs.inputText(nullptr, "Změna jména souboru", "a.mp3", "a.mp3", 255), fits);
        QCOMPARE(warning, QStringLiteral(
                              "Jméno souboru je příliš dlouhé: má 256 bajtů, smí mít nejvýše 255. "
                              "Zkraťte je, prosím."));
        QVERIFY(stayedOpen);
        QCOMPARE(keptText, tooLong);

        const QString longPath = QString("/tmp/%1/").arg(QString(250, 'd')) + "a.mp3";
        whenShown<QInputDialog>([&](QInputDialog* box) { box->accept(); });
        QCOMPARE(dialogs.inputText(nullptr, "Změna jména souboru", "a.mp3", longPath, 255),
                 longPath);
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
