#include "playlist/formats/Xspf.h"

#include "playlist/formats/EntryFile.h"
#include "playlist/formats/TextLines.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <charconv>

namespace tb {

namespace {
const QString kNamespace = QStringLiteral("http://xspf.org/ns/0/");
// The input goes to the XML reader in pieces, so that it decodes no more than a piece
// ahead of what it has parsed.
constexpr qsizetype kPiece = qsizetype{1} << 16;

// The text with the characters that XML 1.0 cannot hold as blanks.
QString xmlText(const std::string& utf8) {
    QString text = QString::fromUtf8(utf8);
    for (QChar& c : text) {
        const char16_t unit = c.unicode();
        if ((unit < 0x20 && unit != '\t' && unit != '\n') || unit == 0xFFFE || unit == 0xFFFF)
            c = QLatin1Char(' ');
    }
    return text;
}

void writeText(QXmlStreamWriter& writer, const QString& name, const std::string& utf8) {
    if (!utf8.empty())
        writer.writeTextElement(kNamespace, name, xmlText(utf8));
}

[[noreturn]] void fail(const QXmlStreamReader& reader, const std::string& what) {
    throw PlaylistFormatError("Chybný playlist XSPF, řádek " + std::to_string(reader.lineNumber()) +
                              ": " + what);
}

class XspfReader {
public:
    XspfReader(std::string_view bytes, const EntryFileLookup& fileOf)
        : bytes_(bytes), fileOf_(fileOf) {
        reader_.setNamespaceProcessing(true);
        // No document type is read at all; this only bounds what a reader that did
        // would expand.
        reader_.setEntityExpansionLimit(0);
        feed();
    }

    std::vector<PlaylistItem> read() {
        refuseLongRuns();
        nextStart();
        if (reader_.name() != u"playlist" ||
            (!reader_.namespaceUri().isEmpty() && reader_.namespaceUri() != kNamespace))
            fail(reader_, "kořenový prvek je <" + reader_.qualifiedName().toString().toStdString() +
                              ">, ne <playlist>");
        while (nextChildOf(1)) {
            if (isXspf(u"trackList"))
                readTrackList();
            else
                skip();
        }
        while (next() != QXmlStreamReader::EndDocument) {
        }
        return std::move(items_);
    }

private:
    // Refuses a text or a tag longer than the most text read before the XML reader
    // sees it: the reader gathers a whole run of text before handing it on, which for
    // a run of 200 MB took gigabytes and many seconds.
    void refuseLongRuns() const {
        EitherByte markup(bytes_, '<', '>');
        for (std::size_t start = 0; start < bytes_.size();) {
            const std::size_t end = markup.from(start);
            if (end - start > kXspfMostTextBytes) {
                const auto line = 1 + std::count(bytes_.begin(), bytes_.begin() + start, '\n');
                throw PlaylistFormatError("Chybný playlist XSPF, řádek " + std::to_string(line) +
                                          ": " + tooLong());
            }
            start = end + 1;
        }
    }

    static std::string tooLong() {
        return "text prvku je delší než " + std::to_string(kXspfMostTextBytes >> 20) + " MB";
    }

    void feed() {
        const auto piece = static_cast<qsizetype>(
            std::min<std::size_t>(bytes_.size() - fed_, static_cast<std::size_t>(kPiece)));
        if (piece > 0) {
            reader_.addData(QByteArray(bytes_.data() + fed_, piece));
            fed_ += static_cast<std::size_t>(piece);
        }
    }

    // The next token, with more input fed while the reader asks for it; throws for
    // any error and for a document type.
    QXmlStreamReader::TokenType next() {
        for (;;) {
            const QXmlStreamReader::TokenType token = reader_.readNext();
            if (token == QXmlStreamReader::DTD)
                fail(reader_, "deklarace typu dokumentu (DTD) a entity se nepřijímají");
            if (reader_.error() == QXmlStreamReader::PrematureEndOfDocumentError &&
                fed_ < bytes_.size()) {
                feed();
                continue;
            }
            if (reader_.hasError()) {
                const std::string what =
                    reader_.error() == QXmlStreamReader::PrematureEndOfDocumentError
                        ? std::string(rootSeen_ ? "soubor je useknutý"
                                                : "soubor neobsahuje žádný prvek")
                        : reader_.errorString().toStdString();
                fail(reader_, what);
            }
            if (token == QXmlStreamReader::StartElement) {
                ++depth_;
                rootSeen_ = true;
            } else if (token == QXmlStreamReader::EndElement)
                --depth_;
            return token;
        }
    }

    // The root element; a document without one ends early, which next() reports.
    void nextStart() {
        while (next() != QXmlStreamReader::StartElement) {
        }
    }

    // The next child element of the element open at this depth; false at its end.
    bool nextChildOf(int parentDepth) {
        for (;;) {
            const QXmlStreamReader::TokenType token = next();
            if (token == QXmlStreamReader::StartElement && depth_ == parentDepth + 1)
                return true;
            if (token == QXmlStreamReader::EndElement && depth_ < parentDepth)
                return false;
        }
    }

    void skip() {
        const int depth = depth_;
        while (depth_ >= depth)
            next();
    }

    bool isXspf(QStringView name) const {
        return reader_.name() == name &&
               (reader_.namespaceUri().isEmpty() || reader_.namespaceUri() == kNamespace);
    }

    // The text of the element just opened, which must hold no elements.
    std::string text() {
        const int depth = depth_;
        QString text;
        for (;;) {
            const QXmlStreamReader::TokenType token = next();
            if (token == QXmlStreamReader::Characters ||
                token == QXmlStreamReader::EntityReference) {
                text += reader_.text();
                // A UTF-16 unit is at most three bytes of UTF-8.
                if (static_cast<std::size_t>(text.size()) > kXspfMostTextBytes &&
                    static_cast<std::size_t>(text.toUtf8().size()) > kXspfMostTextBytes)
                    fail(reader_, tooLong());
            } else if (token == QXmlStreamReader::StartElement) {
                fail(reader_, "prvek <" + reader_.qualifiedName().toString().toStdString() +
                                  "> nemá obsahovat další prvky");
            } else if (token == QXmlStreamReader::EndElement && depth_ < depth) {
                return text.toStdString();
            }
        }
    }

    // Other players write plain paths as locations too ("01 Rock & Roll #1 (100%).mp3"
    // beside the playlist): a location that is no URI reference is one, and so is one
    // whose decoded path names no file while the text as written does.
    std::string entryOf(std::string location) const {
        std::optional<std::string> decoded = entryFromLocation(location);
        if (!decoded)
            return location;
        if (fileOf_ && *decoded != location && fileOf_(*decoded).empty() &&
            !fileOf_(location).empty())
            return location;
        return std::move(*decoded);
    }

    void readTrackList() {
        const int depth = depth_;
        while (nextChildOf(depth)) {
            if (isXspf(u"track"))
                readTrack();
            else
                skip();
        }
    }

    void readTrack() {
        const int depth = depth_;
        const std::size_t number = items_.size() + 1;
        PlaylistItem item;
        bool located = false;
        while (nextChildOf(depth)) {
            if (isXspf(u"location") && !located) {
                item.text = entryOf(text());
                located = true;
            } else if (isXspf(u"title")) {
                item.title = text();
            } else if (isXspf(u"creator")) {
                item.artist = text();
            } else if (isXspf(u"album")) {
                item.album = text();
            } else if (isXspf(u"duration")) {
                // A number of XML Schema: blanks around it are allowed.
                std::string duration = text();
                duration.erase(0, duration.find_first_not_of(" \t\r\n"));
                duration.erase(duration.find_last_not_of(" \t\r\n") + 1);
                std::int64_t milliseconds = -1;
                const auto [end, error] = std::from_chars(
                    duration.data(), duration.data() + duration.size(), milliseconds);
                if (error != std::errc() || end != duration.data() + duration.size() ||
                    milliseconds < 0)
                    fail(reader_, "délka skladby " + std::to_string(number) + " není číslo");
                item.milliseconds = milliseconds;
            } else {
                skip();
            }
        }
        if (!located)
            fail(reader_, "skladba " + std::to_string(number) + " nemá umístění (location)");
        items_.push_back(std::move(item));
    }

    std::string_view bytes_;
    const EntryFileLookup& fileOf_;
    std::size_t fed_ = 0;
    QXmlStreamReader reader_;
    int depth_ = 0;
    bool rootSeen_ = false;
    std::vector<PlaylistItem> items_;
};
} // namespace

std::string writeXspf(const std::vector<PlaylistItem>& items) {
    QByteArray out;
    QXmlStreamWriter writer(&out);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(2);
    writer.writeStartDocument();
    writer.writeDefaultNamespace(kNamespace);
    writer.writeStartElement(kNamespace, QStringLiteral("playlist"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("1"));
    writer.writeStartElement(kNamespace, QStringLiteral("trackList"));
    for (const PlaylistItem& item : items) {
        writer.writeStartElement(kNamespace, QStringLiteral("track"));
        writer.writeTextElement(kNamespace, QStringLiteral("location"),
                                QString::fromLatin1(locationFromEntry(item.text)));
        const bool named = !item.title.empty() || !item.artist.empty();
        writeText(writer, QStringLiteral("title"), named ? item.title : item.info);
        writeText(writer, QStringLiteral("creator"), item.artist);
        writeText(writer, QStringLiteral("album"), item.album);
        if (item.milliseconds >= 0)
            writer.writeTextElement(kNamespace, QStringLiteral("duration"),
                                    QString::number(item.milliseconds));
        writer.writeEndElement();
    }
    writer.writeEndDocument();
    return out.toStdString();
}

std::vector<PlaylistItem> readXspf(std::string_view bytes, const EntryFileLookup& fileOf) {
    return XspfReader(bytes, fileOf).read();
}

} // namespace tb
