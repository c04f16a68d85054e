// The host CLI's subcommands: each names its options and runs with the parsed arguments.
// A new subcommand is one more entry in the table of commands.cpp.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace cli {

// 130: stopped by Ctrl-C, as a shell tells a program that SIGINT ended.
enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2, kExitInterrupted = 130 };

struct Arguments {
    std::map<std::string, std::string> options;  // "--config" -> "file"
    bool quiet = false;  // --quiet: results and errors only
    bool json = false;   // --json: results as one JSON document
    bool Has(const std::string& option) const { return options.count(option) != 0; }
    const std::string& Get(const std::string& option) const { return options.at(option); }
};

struct Command {
    const char* name;
    const char* synopsis;               // the arguments after the name, for the usage text
    const char* summary;                // one line for the command list
    const char* example;                // a whole command line, for --help
    std::vector<std::string> options;   // the options it takes, each with a value
    std::vector<std::string> required;  // those of them that must be given
    int (*run)(const Arguments& arguments);
};

// Every subcommand, in the order the help lists them: the table of commands.cpp, then each
// family's own table.
const std::vector<Command>& Commands();
const std::vector<Command>& ListCommands();      // lists read from the service
const std::vector<Command>& DownloadCommands();  // requests and single-file downloads
const std::vector<Command>& StoreCommands();     // protection, queries, cleaning
const std::vector<Command>& UserInfoCommands();  // configuration restore and user info

int RunMachine(const Arguments& arguments);
int RunInit(const Arguments& arguments);
int RunSoftListCreate(const Arguments& arguments);
int RunSoftListUpload(const Arguments& arguments);
int RunInstallInfoUpload(const Arguments& arguments);
int RunSysInfoUpload(const Arguments& arguments);
int RunSoftFileUpload(const Arguments& arguments);
int RunFileListCreate(const Arguments& arguments);
int RunFileListSave(const Arguments& arguments);
int RunFileListUpload(const Arguments& arguments);
int RunLogStart(const Arguments& arguments);
int RunLogAdd(const Arguments& arguments);
int RunLogStop(const Arguments& arguments);

}  // namespace cli
