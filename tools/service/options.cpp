#include "options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

namespace wi::service {

namespace {

const char* const kUsage =
    "usage: webinteractive-service --data DIR [--create-data] [--listen ADDRESS] --port N\n"
    "       [--max-body BYTES] [--rate BYTES_PER_SECOND]\n"
    "       [--user NAME:PASSWORD | --user-file FILE] [--auth digest|basic]\n"
    "       [--public-url URL] [--trust-proxy]\n"
    "       [--header-timeout SECONDS] [--body-timeout SECONDS] [--max-per-address N]\n";

const char* const kHelp =
    "\n"
    "The reference service of the webinteractive library: answers its requests and keeps its\n"
    "uploads in a data folder. Each request is logged on standard output in the combined log\n"
    "format followed by its duration in seconds.\n"
    "\n"
    "  --data DIR             the data folder (uploads/, files/, filelists/, patchlists/)\n"
    "  --create-data          make the data folder when it does not exist (else an error)\n"
    "  --listen ADDRESS       the address to listen on (default 127.0.0.1; ::1 for IPv6)\n"
    "  --port N               the port; 0 takes a free one, printed in the first line\n"
    "  --max-body BYTES       the largest upload taken (default 64 MiB; larger ones get 413)\n"
    "  --rate BYTES_PER_SECOND  pace every /files/ download to this rate\n"
    "  --user NAME:PASSWORD   uploads need this user's credentials\n"
    "  --user-file FILE       the same, read from the first line of FILE\n"
    "                         (or from the environment variable WEBINTERACTIVE_SERVICE_USER)\n"
    "  --auth digest|basic    how uploads are authenticated (default digest)\n"
    "  --public-url URL       the address clients use, path included\n"
    "                         (https://example.org/webinteractive/ behind a reverse proxy)\n"
    "  --trust-proxy          take the scheme and host of the answers' addresses from\n"
    "                         X-Forwarded-Proto and X-Forwarded-Host, and the logged client\n"
    "                         from X-Forwarded-For\n"
    "  --header-timeout SECONDS  a request's headers must arrive within this time (default 10)\n"
    "  --body-timeout SECONDS    a body must arrive within this time, one more second for every\n"
    "                         4096 bytes received (default 30)\n"
    "  --max-per-address N    connections open at once from one client address (default 64;\n"
    "                         0: no limit, as behind a proxy that limits its clients)\n"
    "  --help, --version      print this help or the version and end\n";

[[noreturn]] void Usage(const std::string& problem) {
    std::cerr << "webinteractive-service: " << problem << "\n" << kUsage;
    std::exit(2);
}

unsigned long long Number(const std::string& option, const std::string& text,
                          unsigned long long most) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 18 || std::stoull(text) > most) {
        Usage(option + " needs a whole number up to " + std::to_string(most) + ", not \"" +
              text + "\"");
    }
    return std::stoull(text);
}

// Splits NAME:PASSWORD; the name may not be empty, the password may hold colons.
void TakeUser(const std::string& value, const std::string& from, Options& options) {
    const auto colon = value.find(':');
    if (colon == std::string::npos || colon == 0) Usage(from + " needs NAME:PASSWORD");
    options.user = value.substr(0, colon);
    options.password = value.substr(colon + 1);
}

// The first line of the user file, without its line end.
std::string ReadUserFile(const std::string& path) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line)) {
        Usage("cannot read --user-file " + path + ": " +
              (errno != 0 ? std::strerror(errno) : "it is empty"));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

Options ParseOptions(int argc, char** argv) {
    Options options;
    std::optional<std::string> userValue, userFile;
    std::string publicUrl;
    bool authGiven = false;
    AuthScheme auth = AuthScheme::kDigest;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::cout << kUsage << kHelp;
            std::exit(0);
        }
        if (option == "--version") {
            std::cout << "webinteractive-service " << WI_VERSION << "\n";
            std::exit(0);
        }
        if (option == "--create-data") {
            options.createData = true;
            continue;
        }
        if (option == "--trust-proxy") {
            options.addresses.trustProxy = true;
            continue;
        }
        if (option.rfind("--", 0) != 0) Usage("unexpected argument \"" + option + "\"");
        if (i + 1 >= argc) Usage(option + " needs a value");
        const std::string value = argv[++i];
        if (option == "--data") {
            options.data = value;
        } else if (option == "--listen") {
            options.listen = value;
        } else if (option == "--port") {
            options.port = static_cast<int>(Number(option, value, 65535));
        } else if (option == "--max-body") {
            options.maxBody = static_cast<std::size_t>(Number(option, value, 1ull << 40));
        } else if (option == "--rate") {
            options.rate = Number(option, value, 1ull << 40);
        } else if (option == "--user") {
            userValue = value;
        } else if (option == "--user-file") {
            userFile = value;
        } else if (option == "--auth") {
            if (value != "digest" && value != "basic") Usage("--auth must be digest or basic");
            auth = value == "basic" ? AuthScheme::kBasic : AuthScheme::kDigest;
            authGiven = true;
        } else if (option == "--public-url") {
            publicUrl = value;
        } else if (option == "--header-timeout") {
            options.limits.headerSeconds = static_cast<int>(Number(option, value, 3600));
        } else if (option == "--body-timeout") {
            options.limits.bodySeconds = static_cast<int>(Number(option, value, 3600));
        } else if (option == "--max-per-address") {
            options.limits.connectionsPerAddress =
                static_cast<std::size_t>(Number(option, value, 1000000));
        } else {
            Usage("unknown option " + option);
        }
    }
    if (options.data.empty()) Usage("--data is required");
    if (options.port < 0) Usage("--port is required");
    if (options.limits.headerSeconds == 0 || options.limits.bodySeconds == 0) {
        Usage("--header-timeout and --body-timeout need at least one second");
    }

    if (userValue && userFile) Usage("give --user or --user-file, not both");
    if (userValue) {
        TakeUser(*userValue, "--user", options);
    } else if (userFile) {
        TakeUser(ReadUserFile(*userFile), "the first line of --user-file " + *userFile, options);
    } else if (const char* fromEnvironment = std::getenv(kUserVariable);
               fromEnvironment != nullptr && *fromEnvironment != '\0') {
        TakeUser(fromEnvironment, kUserVariable, options);
    } else if (authGiven) {
        Usage("--auth needs --user, --user-file or " + std::string(kUserVariable));
    }
    if (!options.user.empty()) options.auth = auth;

    if (!publicUrl.empty()) {
        options.addresses.publicBase = ParsePublicUrl(publicUrl);
        if (!options.addresses.publicBase) {
            Usage("--public-url needs an address http(s)://HOST[:PORT][/PATH], not \"" +
                  publicUrl + "\"");
        }
    }

    std::error_code error;
    const auto status = std::filesystem::status(options.data, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        if (!options.createData) {
            Usage("the data folder " + options.data +
                  " does not exist (give --create-data to make it)");
        }
    } else if (status.type() != std::filesystem::file_type::directory) {
        Usage("the data folder " + options.data + " is not a folder" +
              (error ? ": " + error.message() : std::string()));
    }
    return options;
}

}  // namespace wi::service
