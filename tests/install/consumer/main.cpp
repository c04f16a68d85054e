// A minimal host: configures the library and prints a temporary document path.
#include <webinteractive/webinteractive.h>

#include <cstdio>
#include <cstring>

int main() {
    const char* config =
        "<Logs><UpUserUrl>u</UpUserUrl><ReadUserUrl>r</ReadUserUrl><UpSysUrl>s</UpSysUrl>"
        "<MachineNum>7</MachineNum><DownSysPatchsUrl>p</DownSysPatchsUrl></Logs>";
    if (IWebInteractive::Init(config) != 1) return 1;
    const char* path = IWebInteractive::GetTempXmlFilePath("logTemp");
    std::printf("%s\n", path);
    return std::strstr(path, "logTemp") != nullptr ? 0 : 1;
}
