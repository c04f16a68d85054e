// Partial files that transfers and copies leave when their process ends abruptly: the temporary
// files the library writes beside a file before it takes its place (".~wi<process>-<n>"). A
// command names the folders of the machine where it has the library write; there the files of
// processes that are gone are removed before it starts, and a forced stop (Ctrl-C) removes this
// process's own before the program ends.
#pragma once

#include <string>

namespace cli {

// The special folders the library writes into: the templates folder (downloaded files) and the
// documents folder (temporary documents, such as the answers of requests).
constexpr int kTemplatesFolder = 45;
constexpr int kDocumentsFolder = 46;

// Watches a folder of the machine (a Windows path) and removes there now the temporary files of
// processes that are gone.
void WatchFolder(const std::string& windowsFolder);
// The same for a special folder of the machine (by its id).
void WatchSpecialFolder(int id);
// Watches the folder and every folder below it, for this process's own temporary files only (a
// walk of a large tree is for a forced stop, not for every run).
void WatchTree(const std::string& windowsFolder);
// The folder part of a Windows path to a file ("D:\dir\" of "D:\dir\file").
std::string FolderOf(const std::string& windowsPath);
// Removes this process's temporary files in the watched folders; callable from any thread.
void RemoveOwnPartialFiles();

}  // namespace cli
