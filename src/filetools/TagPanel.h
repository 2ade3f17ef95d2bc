#pragma once

#include <QByteArray>
#include <QString>

class QLabel;

// The main window's tag panel: the six fields that show a file's tag.
class TagPanel {
public:
    struct Fields {
        QLabel& title;
        QLabel& artist;
        QLabel& album;
        QLabel& year;
        QLabel& comment;
        QLabel& genre;
    };

    explicit TagPanel(const Fields& fields) : fields_(fields) {}

    // Shows the tag of the file at path (its bytes); a file without a tag leaves the
    // fields as they are. Throws IoError where the file cannot be read.
    void showTagOf(const QByteArray& path);
    void clear();

    // The texts as the panel shows them, whichever tag they came from.
    QString artist() const;
    QString title() const;

private:
    Fields fields_;
};
