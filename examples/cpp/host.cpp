// A C++ host of webinteractive: fetches a software's file list from the service, reads its
// records, and uploads the log of the run, telling the HTTP status the service answered.
//
//   host SERVICE      SERVICE: the service's address, for example http://127.0.0.1:8080
//
// Build with CMake (find_package(webinteractive), CMakeLists.txt beside this file).
#include <webinteractive/webinteractive.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: host SERVICE\n");
        return 2;
    }
    const std::string service = argv[1];
    const std::string config =
        "<Logs><UpUserUrl>" + service + "/upload/user</UpUserUrl><ReadUserUrl>" + service +
        "/userinfo</ReadUserUrl><UpSysUrl>" + service + "/upload/sysinfo</UpSysUrl>"
        "<MachineNum>CPP-HOST</MachineNum><DownSysPatchsUrl>" + service +
        "/patch</DownSysPatchsUrl><SysId>examples</SysId><CaseId>cpp</CaseId>"
        "<Creator>cpp</Creator><Servlet>" + service + "/upload/log</Servlet></Logs>";
    std::printf("webinteractive %s (headers %s)\n", IHostInc::GetVersion(),
                WEBINTERACTIVE_VERSION_STRING);
    if (IWebInteractive::Init(config.c_str()) != 1) {
        std::fprintf(stderr, "the configuration is incomplete\n");
        return 1;
    }
    CLogInc* log = IWebInteractive::GetLogInc();
    log->SetParam(config.c_str(), "query", "cpp");
    log->StartLog();

    // The list is the library's, changed by the next call: copied out.
    int locked = 0;
    const std::list<ISoftInfoInc::_SoftInfo> softs = IWebInteractive::DownloadFileList(
        (service + "/filelist").c_str(), "{HOST-0001}", "", "", locked, nullptr);
    if (softs.size() != 1) {
        std::fprintf(stderr, "the list holds %zu softwares (HTTP status %d)\n", softs.size(),
                     IHostInc::GetLastDownloadStatus());
        return 1;
    }
    LogInfo entry;
    entry.guid = softs.front().GUID;
    entry.result = "listed";
    for (const IFileInfoInc::_FileInfo& file : softs.front().files) {
        std::printf("file %s\n", file.SetupPath.c_str());
        entry.details.push_back(file.SetupPath);
    }
    log->SaveOneLog(entry);
    // StopLog answers 1 whenever the service answered; the status tells whether it took the log.
    const int uploaded = log->StopLog();
    const int status = IHostInc::GetLastUploadStatus();
    std::printf("\nlog upload: %d, HTTP status %d\n", uploaded, status);
    return uploaded == 1 && status == 200 ? 0 : 1;
}
