#include "app/FileMessages.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "document/DocumentFiles.h"

namespace quillet {

namespace {

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string quoted(const std::string& path) { return "[" + fileNameOf(path) + "]"; }

std::string withReason(std::string text, const Status& status) {
    if (!status.message().empty()) text += "\n(" + status.message() + ")";
    return text;
}

bool onReadOnlyFileSystem(const std::string& folder) {
    struct statvfs vfs;
    return ::statvfs(folder.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY);
}

// The writer refuses a file the user may not write before it makes anything in the folder: when
// the folder itself can take files, the existing target is what was refused.
bool targetRefused(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(folderOf(path).c_str(), W_OK) == 0;
}

}  // namespace

std::string saveFailureMessage(const std::string& path, const Status& status) {
    const std::string file = quoted(path);
    const std::string readOnlyDevice = "읽기 전용 장치라서 " + file + " 파일을 저장할 수 없습니다.";
    switch (status.code()) {
        case StatusCode::FormatNotWritable: {
            const std::string ext = LowerExtension(path);
            return (ext.empty() ? std::string("확장자가 없는") : "[." + ext + "]") +
                   " 형식으로는 저장할 수 없습니다.\nBMP, JPG, GIF, TIF, VLR 형식 중에서 "
                   "고르십시오.";
        }
        case StatusCode::FolderMissing:
        case StatusCode::NotFound:
            return "[" + folderOf(path) + "] 폴더가 없어서 " + file + " 파일을 저장할 수 없습니다.";
        case StatusCode::PermissionDenied:
            // A read-only mount refuses writing to its files as a missing permission does.
            if (onReadOnlyFileSystem(folderOf(path))) return readOnlyDevice;
            if (targetRefused(path)) return file + " 파일은 읽기 전용이라서 저장할 수 없습니다.";
            return file + " 파일을 저장할 권한이 없습니다.";
        case StatusCode::ReadOnlyFileSystem:
            return readOnlyDevice;
        case StatusCode::DiskFull:
            return "디스크 공간이 부족하여 " + file + " 파일을 저장할 수 없습니다.";
        default:
            return withReason(file + " 파일을 저장할 수 없습니다.", status);
    }
}

std::string openFailureMessage(const std::string& path, const Status& status) {
    std::string headline;
    switch (status.code()) {
        case StatusCode::Cancelled:
            return {};
        case StatusCode::NotFound:
            headline = "해당파일이 존재하지 않습니다.";
            break;
        case StatusCode::TooLarge:
            headline = "그림이 너무 커서 열 수 없습니다.";
            break;
        case StatusCode::OutOfMemory:
            headline = "메모리가 부족하여 그림을 열 수 없습니다.";
            break;
        default:
            headline = "해당 파일을 열 수 없습니다.";
            break;
    }
    return withReason(headline + "\n" + quoted(path), status);
}

}  // namespace quillet
