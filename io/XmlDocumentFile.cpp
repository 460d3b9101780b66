// Reading and writing the files of an XmlDocument.
#include "io/XmlDocument.h"
#include "io/XmlEncoding.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }
    int Get() const { return m_fd; }
    bool IsValid() const { return m_fd >= 0; }
    /// Closes now and reports whether everything written reached the file system.
    bool Close() {
        int fd = m_fd;
        m_fd = -1;
        return fd < 0 || close(fd) == 0;
    }

private:
    int m_fd;
};

void RecordFileError(XmlResultLog& log, const char* type, const std::filesystem::path& path,
                     std::string msg) {
    XmlDiagnostic diagnostic;
    diagnostic.type = type;
    diagnostic.msg = path.string() + ": " + msg;
    log.Add(std::move(diagnostic));
}

// Reads a whole regular file of at most `limit` bytes. Opening does not block, so a FIFO or a
// device named by mistake gives a clean failure instead of a hang.
bool ReadWholeFile(const std::filesystem::path& path, uintmax_t limit, std::string& bytes,
                   XmlResultLog& log) {
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status = {};
    if (!file.IsValid() || fstat(file.Get(), &status) != 0) {
        RecordFileError(log, "file_error", path, std::strerror(errno));
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        RecordFileError(log, "file_error", path, "not a regular file");
        return false;
    }
    if (static_cast<uintmax_t>(status.st_size) > limit) {
        RecordFileError(log, "file_error", path, "file too large");
        return false;
    }
    bytes.resize(static_cast<size_t>(status.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t got = read(file.Get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            RecordFileError(log, "read", path, std::strerror(errno));
            return false;
        }
        if (got == 0) {
            break; // the file shrank while we read it
        }
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    return true;
}

// Writes a file beside the target and renames it over the target, so the target is either the
// old file or the complete new one, never a part.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, XmlResultLog& log) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temporary = path;
    temporary += ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    FileDescriptor file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!file.IsValid()) {
        RecordFileError(log, "file_error", path, std::strerror(errno));
        return false;
    }
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        ssize_t wrote = write(file.Get(), bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        ok = wrote > 0;
        done += ok ? static_cast<size_t>(wrote) : 0;
    }
    ok = ok && file.Close();
    if (!ok || rename(temporary.c_str(), path.c_str()) != 0) {
        RecordFileError(log, "write", path, std::strerror(errno));
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

bool XmlDocument::LoadFile(const std::filesystem::path& path, std::u16string& text) {
    text.clear();
    std::string bytes;
    if (!ReadWholeFile(path, kMaxFileSize, bytes, m_log)) {
        return false;
    }
    return DecodeXmlBytes(bytes, text, m_log);
}

bool XmlDocument::SaveFile(std::u16string_view text, const std::filesystem::path& path) {
    std::string bytes;
    if (!EncodeXmlText(text, (m_flags & kXmlWriteByteOrderMark) != 0, bytes, m_log)) {
        return false;
    }
    return ReplaceFile(path, bytes, m_log);
}

} // namespace io
