// The C interface's file operations (CXFileOperator).
#include <list>
#include <string>

#include "capi/call.h"
#include "frame/text.h"
#include "capi/records.h"
#include "webinteractive/FileOperator.h"

using wi::capi::Call;
using wi::frame::OrEmpty;
using wi::capi::HandOut;
using wi::capi::Misuse;

namespace {

// A truth value through the result pointer.
wi_code HandOutTruth(bool value, int* result) {
    if (result == nullptr) return Misuse("the result pointer is null");
    *result = value ? 1 : 0;
    return WI_OK;
}

wi_code HandOutSize(std::uint64_t value, uint64_t* result) {
    if (result == nullptr) return Misuse("the result pointer is null");
    *result = value;
    return WI_OK;
}

}  // namespace

extern "C" {

wi_code wi_path_exists(const char* path, int* exists) {
    return Call([&] { return HandOutTruth(CXFileOperator::PathExists(OrEmpty(path)), exists); });
}

wi_code wi_is_directory(const char* path, int* is_directory) {
    return Call(
        [&] { return HandOutTruth(CXFileOperator::IsDirectory(OrEmpty(path)), is_directory); });
}

wi_code wi_delete_file(const char* path) {
    return Call([&] {
        CXFileOperator::DeleteFile(OrEmpty(path));
        return WI_OK;
    });
}

wi_code wi_copy_file(const char* source, const char* destination, int fail_if_exists) {
    return Call([&] {
        CXFileOperator::CopyFile(OrEmpty(source), OrEmpty(destination), fail_if_exists != 0);
        return WI_OK;
    });
}

wi_code wi_insure_directory_exist(const char* path) {
    return Call([&] {
        CXFileOperator::InsureDirectoryExist(OrEmpty(path));
        return WI_OK;
    });
}

wi_code wi_get_disk_space(const char* path, int kind, uint64_t* bytes) {
    return Call([&] { return HandOutSize(CXFileOperator::GetDiskSpace(OrEmpty(path), kind), bytes); });
}

wi_code wi_get_file_name(const char* path, const char** name) {
    thread_local std::string kept;
    return Call([&] {
        return HandOut(kept, CXFileOperator::GetFileName(OrEmpty(path)).c_str(), name);
    });
}

wi_code wi_is_absolute_path(const char* path, int* is_absolute) {
    return Call(
        [&] { return HandOutTruth(CXFileOperator::IsAbsolutePath(OrEmpty(path)), is_absolute); });
}

wi_code wi_get_directory_part(const char* path, const char** directory) {
    thread_local std::string kept;
    return Call([&] {
        return HandOut(kept, CXFileOperator::GetDirectoryPart(OrEmpty(path)).c_str(), directory);
    });
}

wi_code wi_list_directory(const char* directory, wi_list** entries) {
    return Call([&] {
        if (entries == nullptr) return Misuse("the result pointer is null");
        std::list<std::string> names;
        CXFileOperator::ListDirectory(OrEmpty(directory), names);
        return wi::capi::HandOutList(names, entries);
    });
}

wi_code wi_get_path_size(const char* path, uint64_t* bytes) {
    return Call([&] { return HandOutSize(CXFileOperator::GetPathSize(OrEmpty(path)), bytes); });
}

}  // extern "C"
