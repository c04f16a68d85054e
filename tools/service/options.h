// The command line of webinteractive-service.
#pragma once

#include <cstddef>
#include <string>

#include "client_limits.h"
#include "public_address.h"
#include "upload_auth.h"

namespace wi::service {

// The variable that may hold the uploads' NAME:PASSWORD, so that it is not on the command line
// where every user of the machine sees it.
constexpr const char* kUserVariable = "WEBINTERACTIVE_SERVICE_USER";

struct Options {
    std::string data;
    bool createData = false;  // make the data folder when it does not exist
    std::string listen = "127.0.0.1";
    int port = -1;  // 0: any free port
    std::size_t maxBody = 64u * 1024 * 1024;
    unsigned long long rate = 0;  // bytes per second of a /files/ body; 0: unlimited
    AuthScheme auth = AuthScheme::kNone;
    std::string user;  // with auth: the one user who may upload
    std::string password;
    AddressSettings addresses;  // listen and port are filled in once the port is bound
    ClientLimits limits;
};

// Reads the command line, the user file it names and the environment. --help and --version
// print to standard output and end the program with status 0; a command line that cannot be
// used ends it with a one-line reason and the usage on standard error, status 2.
Options ParseOptions(int argc, char** argv);

}  // namespace wi::service
