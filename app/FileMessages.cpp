#include "app/FileMessages.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

// The writers pass the system's text of the error on (in the program's locale): match it.
bool mentions(const std::string& reason, int code) {
    return reason.find(std::strerror(code)) != std::string::npos;
}

bool isFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool onReadOnlyFileSystem(const std::string& folder) {
    struct statvfs vfs;
    return ::statvfs(folder.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY);
}

std::string quoted(const std::string& path) { return "[" + fileNameOf(path) + "]"; }

}  // namespace

bool isReadOnlyFile(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // The permission bits say what the owner meant, even to a user who could override them.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

std::string saveRefusalMessage(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (!KindWritable(FileKindOfPath(path)))
        return (ext.empty() ? std::string("확장자가 없는") : "[." + ext + "]") +
               " 형식으로는 저장할 수 없습니다.\nBMP, JPG, GIF, TIF, VLR 형식 중에서 고르십시오.";
    const std::string folder = folderOf(path);
    if (!isFolder(folder))
        return "[" + folder + "] 폴더가 없어서 " + quoted(path) + " 파일을 저장할 수 없습니다.";
    if (isReadOnlyFile(path)) return quoted(path) + " 파일은 읽기 전용이라서 저장할 수 없습니다.";
    if (onReadOnlyFileSystem(folder))
        return "읽기 전용 장치라서 " + quoted(path) + " 파일을 저장할 수 없습니다.";
    return {};
}

std::string saveFailureMessage(const std::string& path, const std::string& reason) {
    if (const std::string refusal = saveRefusalMessage(path); !refusal.empty()) return refusal;
    const std::string file = quoted(path);
    if (mentions(reason, EACCES) || mentions(reason, EPERM))
        return file + " 파일을 저장할 권한이 없습니다.";
    if (mentions(reason, ENOSPC) || mentions(reason, EDQUOT))
        return "디스크 공간이 부족하여 " + file + " 파일을 저장할 수 없습니다.";
    if (mentions(reason, EROFS))
        return "읽기 전용 장치라서 " + file + " 파일을 저장할 수 없습니다.";
    if (mentions(reason, ENOENT) || mentions(reason, ENOTDIR))
        return "[" + folderOf(path) + "] 폴더가 없어서 " + file + " 파일을 저장할 수 없습니다.";
    return file + " 파일을 저장할 수 없습니다." + (reason.empty() ? "" : "\n(" + reason + ")");
}

std::string openFailureMessage(const std::string& path, const std::string& reason) {
    std::string text = "해당 파일을 열 수 없습니다.\n" + quoted(path);
    if (!reason.empty()) text += "\n(" + reason + ")";
    return text;
}

}  // namespace quillet
