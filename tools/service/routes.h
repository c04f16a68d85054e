// The addresses the service answers (see the table at the top of service_main.cpp).
#pragma once

#include <httplib.h>

#include <string>

#include "data_dir.h"
#include "file_sender.h"
#include "public_address.h"
#include "upload_auth.h"

namespace wi::service {

struct RouteSettings {
    AddressSettings addresses;  // how the locators' addresses are made
    Pacing filePacing;          // how fast /files/ sends its bodies
    // Who may post to /upload/; nullptr: anyone. It must outlive the server.
    UploadGuard* uploadGuard = nullptr;
    // Whether the body of the request being handled stopped arriving in time (then answered
    // 408); nullptr: never.
    bool (*bodyTimedOut)() = nullptr;
};

// Registers every address of the service on the server; the handlers use the data directory,
// which must outlive the server.
void AddRoutes(httplib::Server& server, DataDir& data, const RouteSettings& settings);

}  // namespace wi::service
