#include "playlist/PlaylistModel.h"
#include "support/QtTests.h"

class TestPlaylistModel : public QObject {
    Q_OBJECT

private slots:
    void entriesDecodeForDisplayOnly() {
        const std::string_view cp1250 = "Hudba/\x9elu\x9dou\xe8k\xfd.mp3"; // Windows-1250
        PlaylistModel model;
        model.append("Hudba/žluťoučký.mp3");
        model.append(cp1250);
        for (int row : {0, 1})
            QCOMPARE(model.data(model.index(row), Qt::DisplayRole).toString(),
                     QStringLiteral("Hudba/žluťoučký.mp3"));
        QCOMPARE(model.entry(1), cp1250);
        // A valid entry after an invalid one decodes as UTF-8 again.
        QCOMPARE(model.displayText("č"), QStringLiteral("č"));
        // A huge entry shows its beginning, cut between characters.
        std::string huge(1, 'a');
        huge += QString(5000, QChar(0x17E)).toStdString();
        QCOMPARE(model.displayText(huge), QStringLiteral("a") + QString(2047, QChar(0x17E)));
    }
};

QTEST_MAIN(TestPlaylistModel)
#include "test_playlistmodel.moc"
