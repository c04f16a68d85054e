// The addresses the service answers (see the table at the top of service_main.cpp).
#pragma once

#include <httplib.h>

#include <string>

#include "data_dir.h"

namespace wi::service {

struct Endpoint {
    std::string listen;  // the address the server is bound to
    int port = 0;
};

// Registers every address of the service on the server; the handlers use the data directory,
// which must outlive the server.
void AddRoutes(httplib::Server& server, DataDir& data, const Endpoint& endpoint);

}  // namespace wi::service
