#include "platform/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/file_names.h"

namespace lum::platform {

namespace {

std::wstring Reason(const char* what, int error) {
    std::wstring text(what, what + std::strlen(what));
    const char* reason = std::strerror(error);
    text += L": ";
    text.append(reason, reason + std::strlen(reason));
    return text;
}

}  // namespace

tReplacingFile::~tReplacingFile() { Discard(); }

void tReplacingFile::Discard() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

bool tReplacingFile::Open(const std::wstring& target, std::wstring& error) {
    Discard();
    m_target = ToFileSystemName(target);
    const std::filesystem::path path(m_target);
    std::error_code code;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), code);
    if (code) {
        error = Reason("cannot make the directory", code.value());
        return false;
    }
    std::string pattern = m_target + ".lum-XXXXXX";
    m_fd = ::mkstemp(pattern.data());
    if (m_fd < 0) {
        error = Reason("cannot create a temporary file", errno);
        return false;
    }
    m_temporary = pattern;
    // The new file gets the target's permissions, or the usual ones.
    struct stat status;
    if (::stat(m_target.c_str(), &status) == 0) ::fchmod(m_fd, status.st_mode & 07777);
    else ::fchmod(m_fd, 0644);
    return true;
}

bool tReplacingFile::Write(const char* bytes, std::size_t count, std::wstring& error) {
    while (count > 0) {
        const ssize_t written = ::write(m_fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            error = Reason("cannot write", errno);
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

bool tReplacingFile::Commit(bool flushToDisk, std::wstring& error) {
    if (flushToDisk && ::fsync(m_fd) != 0) {
        error = Reason("cannot flush", errno);
        return false;
    }
    if (::close(m_fd) != 0) {
        m_fd = -1;
        error = Reason("cannot close", errno);
        return false;
    }
    m_fd = -1;
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        error = Reason("cannot replace the file", errno);
        return false;
    }
    m_temporary.clear();
    return true;
}

bool FileIdentityOf(const std::wstring& name, std::pair<unsigned long long, unsigned long long>& identity) {
    struct stat status;
    if (::stat(ToFileSystemName(name).c_str(), &status) != 0) return false;
    identity = {static_cast<unsigned long long>(status.st_dev), static_cast<unsigned long long>(status.st_ino)};
    return true;
}

}  // namespace lum::platform
