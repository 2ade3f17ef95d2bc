#include "platform/CheckedFile.h"

#include "platform/IoError.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <vector>

namespace tb {

bool CheckedFile::copyToNew(const QByteArray& source, const QByteArray& target) {
    try {
        RegularFile in(source);
        CheckedFile out(QFile::decodeName(target), CheckedFile::Mode::CreateNew, in.permissions());
        std::vector<char> piece(256 * 1024);
        for (;;) {
            const qint64 got = in.read(piece.data(), static_cast<qint64>(piece.size()));
            if (got < 0)
                throw RegularFile::ioError(in.error());
            if (got == 0)
                break;
            out.write(std::string_view(piece.data(), static_cast<std::size_t>(got)));
        }
        out.commit();
    } catch (const IoError&) {
        return false;
    }
    return true;
}

CheckedFile::CheckedFile(const QString& path, Mode mode, unsigned permissions) {
    setTarget(path);
    try {
        open(mode, permissions);
    } catch (...) {
        discard();
        throw;
    }
}

CheckedFile::~CheckedFile() {
    if (!committed_)
        discard();
}

} // namespace tb
