#pragma once
// How a reader, a writer or a document operation went: a code that callers act on (the shell
// maps codes to its own texts) and a message for people. An incomplete picture is a success with
// a warning: the part that was there has been read.
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

enum class StatusCode : uint8_t {
    Ok = 0,
    Incomplete,          // read, but the data ended early; the rest is filled
    Cancelled,           // the user declined
    NotFound,            // the file does not exist
    FolderMissing,       // the folder to write into does not exist
    PermissionDenied,    // no permission to read or write the file or its folder
    ReadOnlyFileSystem,  // the file system is mounted read-only
    DiskFull,            // no space (or quota) left
    NotRegularFile,      // a device, a folder or another kind of special file
    IoError,             // any other failure to read or write
    UnknownFormat,       // nothing recognises the data, or the name is not a picture's
    FormatNotWritable,   // the format is read-only or not coded
    Unsupported,         // a recognised file using something that is not supported
    Corrupt,             // recognised but damaged
    Truncated,           // recognised but cut off before anything usable
    TooLarge,            // more pixels than allowed
    OutOfMemory,         // would not fit in the memory available
    Failed,              // an operation's own refusal (the message says why)
};

class Status {
public:
    Status() = default;
    Status(StatusCode code, std::string message) : code_(code), message_(std::move(message)) {}

    // A warning that the picture is incomplete; still a success.
    static Status Incomplete(std::string message) {
        return {StatusCode::Incomplete, std::move(message)};
    }

    bool ok() const { return code_ == StatusCode::Ok || code_ == StatusCode::Incomplete; }
    explicit operator bool() const { return ok(); }
    bool incomplete() const { return code_ == StatusCode::Incomplete; }
    StatusCode code() const { return code_; }
    const std::string& message() const { return message_; }

private:
    StatusCode code_ = StatusCode::Ok;
    std::string message_;
};

// A stable lower-case name of each code ("permission-denied", ...), for logs and standard error.
std::string_view StatusCodeName(StatusCode code);

// The code of a failed system call's errno: EACCES → PermissionDenied, ENOSPC → DiskFull, ...
StatusCode StatusCodeFromErrno(int error);
// A failure from errno: the code above and `what` followed by the system's text.
Status StatusFromErrno(int error, std::string_view what);

}  // namespace quillet
