// The socket calls of the Berkeley interface, which both systems provide (Windows as Windows
// Sockets), for the code the socket backends share.
#pragma once

#ifdef _WIN32
#include "platform/win32/windows_api.h"
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace wi::platform {

// Readies the socket layer for this process before its first call (Windows Sockets are started
// once, posix has nothing to start); false when it cannot be readied.
bool StartSockets();

}  // namespace wi::platform
