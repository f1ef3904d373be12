#include "common/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/errors.h"

namespace tavrelo {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, const char* what, int error) {
    throw FileError("Cannot write " + path.string() + ": " + what + ": " + std::strerror(error));
}

// Closes the descriptor and removes the temporary file unless the rename has taken it over.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string pattern) : name_(std::move(pattern)) {
        fd_ = ::mkstemp(name_.data());
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    int Close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }
    void Commit() { committed_ = true; }

  private:
    std::string name_;
    int fd_ = -1;
    bool committed_ = false;
};

AtomicWriteHook write_hook = nullptr;

}  // namespace

void SetAtomicWriteHookForTesting(AtomicWriteHook hook) { write_hook = hook; }

void WriteFileAtomically(const std::filesystem::path& path, std::string_view data) {
    WriteFileAtomically(path, std::span<const std::string_view>(&data, 1));
}

void WriteFileAtomically(const std::filesystem::path& path,
                         const std::vector<std::string>& pieces) {
    std::vector<std::string_view> views(pieces.begin(), pieces.end());
    WriteFileAtomically(path, std::span<const std::string_view>(views));
}

void WriteFileAtomically(const std::filesystem::path& path,
                         std::span<const std::string_view> pieces) {
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    TemporaryFile tmp((folder / ("." + path.filename().string() + ".XXXXXX")).string());
    if (tmp.fd() < 0) Fail(path, "create temporary file", errno);

    // mkstemp creates the file for the owner only; give it the usual mode of a new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask);
    if (::fchmod(tmp.fd(), mode) != 0) Fail(path, "set mode", errno);

    std::size_t total = 0;
    for (const std::string_view data : pieces) {
        std::size_t written = 0;
        while (written < data.size()) {
            std::size_t piece = data.size() - written;
            if (write_hook != nullptr) {
                if (const int error = write_hook(AtomicWriteStep::kWrite, total)) {
                    Fail(path, "write", error);
                }
                if (piece > kAtomicWriteHookPiece) piece = kAtomicWriteHookPiece;
            }
            const ssize_t n = ::write(tmp.fd(), data.data() + written, piece);
            if (n < 0) {
                if (errno == EINTR) continue;
                Fail(path, "write", errno);
            }
            written += static_cast<std::size_t>(n);
            total += static_cast<std::size_t>(n);
        }
    }
    if (::fsync(tmp.fd()) != 0) Fail(path, "flush", errno);
    if (tmp.Close() != 0) Fail(path, "close", errno);
    if (write_hook != nullptr) {
        if (const int error = write_hook(AtomicWriteStep::kRename, total)) {
            Fail(path, "rename", error);
        }
    }
    if (::rename(tmp.name().c_str(), path.c_str()) != 0) Fail(path, "rename", errno);
    tmp.Commit();

    // Make the rename itself durable.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

std::string JoinLines(const std::vector<std::string>& lines, std::string_view terminator) {
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + terminator.size();
    std::string out;
    out.reserve(size);
    for (const auto& line : lines) {
        out += line;
        out += terminator;
    }
    return out;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        throw FileError("Cannot read " + path.string() + ": it is a folder");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError("Cannot open " + path.string() + ": " + std::strerror(errno));
    // A regular file goes straight into a string of its size: a stream buffer growing by doubling
    // would hold up to twice a large tape for a moment. What else the file holds by the time it
    // is read (or all of a pipe or device) follows through the stream.
    std::string content;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > 0 && size < content.max_size()) {
        content.resize(static_cast<std::size_t>(size));
        in.read(content.data(), static_cast<std::streamsize>(size));
        content.resize(static_cast<std::size_t>(in.gcount()));
        if (in.bad()) throw FileError("Cannot read " + path.string());
        if (!in) return content;  // the end came first
    }
    std::ostringstream rest;
    rest << in.rdbuf();
    if (in.bad()) throw FileError("Cannot read " + path.string());
    if (content.empty()) return std::move(rest).str();
    content += std::move(rest).str();
    return content;
}

}  // namespace tavrelo
