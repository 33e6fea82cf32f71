#include "base/Status.h"

#include <cerrno>
#include <cstring>

namespace quillet {

std::string_view StatusCodeName(StatusCode code) {
    switch (code) {
        case StatusCode::Ok:
            return "ok";
        case StatusCode::Incomplete:
            return "incomplete";
        case StatusCode::Cancelled:
            return "cancelled";
        case StatusCode::NotFound:
            return "not-found";
        case StatusCode::FolderMissing:
            return "folder-missing";
        case StatusCode::PermissionDenied:
            return "permission-denied";
        case StatusCode::ReadOnlyFileSystem:
            return "read-only-file-system";
        case StatusCode::DiskFull:
            return "disk-full";
        case StatusCode::NotRegularFile:
            return "not-regular-file";
        case StatusCode::IoError:
            return "io-error";
        case StatusCode::UnknownFormat:
            return "unknown-format";
        case StatusCode::FormatNotWritable:
            return "format-not-writable";
        case StatusCode::Unsupported:
            return "unsupported";
        case StatusCode::Corrupt:
            return "corrupt";
        case StatusCode::Truncated:
            return "truncated";
        case StatusCode::TooLarge:
            return "too-large";
        case StatusCode::OutOfMemory:
            return "out-of-memory";
        case StatusCode::Failed:
            return "failed";
    }
    return "failed";
}

StatusCode StatusCodeFromErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return StatusCode::PermissionDenied;
        case EROFS:
            return StatusCode::ReadOnlyFileSystem;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return StatusCode::DiskFull;
        case ENOENT:
            return StatusCode::NotFound;
        case ENOTDIR:
            return StatusCode::FolderMissing;
        case EISDIR:
            return StatusCode::NotRegularFile;
        case ENOMEM:
            return StatusCode::OutOfMemory;
        default:
            return StatusCode::IoError;
    }
}

Status StatusFromErrno(int error, std::string_view what) {
    std::string message(what);
    message += ": ";
    message += std::strerror(error);
    return {StatusCodeFromErrno(error), std::move(message)};
}

}  // namespace quillet
