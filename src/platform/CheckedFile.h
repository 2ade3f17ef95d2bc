#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

namespace tb {

// Writes a file so that nothing less than all of it ever passes for saved. Qt's
// buffered QSaveFile lets a short write through on commit, so the bytes are
// written here directly: every write's count, the sync to disk and the final size
// are checked, and any shortfall throws IoError ("Disk full" when the disk or the
// file-size limit is reached).
class CheckedFile {
public:
    enum class Mode {
        // Replaces the file only once the new one is whole: the bytes go to a
        // temporary file beside it, which then takes its name, so a failed write
        // leaves the earlier file as it was. Where the folder allows no new file but
        // the file itself may be written, the file is rewritten in place.
        Replace,
        // Creates a file where none is; a writer that fails removes it again.
        CreateNew,
    };

    // Opens for writing; throws IoError. A new file gets these permissions (less
    // the umask; on Windows only whether it is writable); a replaced one keeps its
    // own.
    CheckedFile(const QString& path, Mode mode, unsigned permissions = 0666);
    // Without commit(), removes what it wrote, unless that was the file itself.
    ~CheckedFile();
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    void write(std::string_view bytes);
    // Syncs, checks the size, closes and puts the file in its place.
    void commit();

    // Copies a file to a name where none is, keeping its permissions. False when that
    // failed; what was written is then removed again.
    static bool copyToNew(const QByteArray& source, const QByteArray& target);

private:
    // The file that the path names: where a link leads.
    void setTarget(const QString& path);
    void open(Mode mode, unsigned permissions);
    void openTemporary(unsigned permissions, bool replacing);
    void openInPlace();
    // Closes, and removes what was written unless it is the earlier file itself.
    void discard();

#ifdef Q_OS_WIN
    QString target_;
    QString writing_;              // the temporary file, or the target itself
    void* handle_ = nullptr;       // a HANDLE
    unsigned long attributes_ = 0; // those the temporary file is created with
    bool readOnly_ = false;        // a new file without write permission
#else
    QByteArray target_;
    QByteArray writing_; // the temporary file, or the target itself
    int fd_ = -1;
#endif
    qint64 written_ = 0;
    bool removeOnFailure_ = true;
    bool committed_ = false;
};

// Moves a file, also to another file system, never over an existing name. A copy
// that fails removes what it wrote. False when the file was not moved; both names
// are then as they were. The paths are the names' own bytes, in any encoding.
bool moveFile(const QByteArray& source, const QByteArray& target);

} // namespace tb
