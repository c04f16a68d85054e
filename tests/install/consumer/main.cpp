// A minimal host: checks that the library it loads is the version of the headers it was built
// with, configures the library and prints a temporary document path.
#include <webinteractive/webinteractive.h>

#include <cstdio>
#include <cstring>

int main() {
    if (IHostInc::GetVersionNumber() != WEBINTERACTIVE_VERSION_NUMBER ||
        std::strcmp(IHostInc::GetVersion(), WEBINTERACTIVE_VERSION_STRING) != 0) {
        std::fprintf(stderr, "headers %s, library %s\n", WEBINTERACTIVE_VERSION_STRING,
                     IHostInc::GetVersion());
        return 1;
    }
    const char* config =
        "<Logs><UpUserUrl>u</UpUserUrl><ReadUserUrl>r</ReadUserUrl><UpSysUrl>s</UpSysUrl>"
        "<MachineNum>7</MachineNum><DownSysPatchsUrl>p</DownSysPatchsUrl></Logs>";
    if (IWebInteractive::Init(config) != 1) return 1;
    const char* path = IWebInteractive::GetTempXmlFilePath("logTemp");
    std::printf("%s\n", path);
    return std::strstr(path, "logTemp") != nullptr ? 0 : 1;
}
