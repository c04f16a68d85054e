// The addresses the service answers (see the table at the top of service_main.cpp).
#pragma once

#include <httplib.h>

#include <string>

#include "data_dir.h"
#include "file_sender.h"
#include "upload_auth.h"

namespace wi::service {

struct Endpoint {
    std::string listen;  // the address the server is bound to
    int port = 0;
};

struct RouteSettings {
    Endpoint endpoint;
    Pacing filePacing;  // how fast /files/ sends its bodies
    // Who may post to /upload/; nullptr: anyone. It must outlive the server.
    UploadGuard* uploadGuard = nullptr;
};

// Registers every address of the service on the server; the handlers use the data directory,
// which must outlive the server.
void AddRoutes(httplib::Server& server, DataDir& data, const RouteSettings& settings);

}  // namespace wi::service
