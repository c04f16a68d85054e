#include "routes.h"

#include <cerrno>
#include <cstdlib>

#include "platform/codepage.h"
#include "version_lists.h"
#include "xml_lists.h"

namespace fs = std::filesystem;

namespace wi::service {

namespace {

const char* const kUploadKinds = "softlist|filelist|installinfo|sysinfo|softfile|user|log";

void Answer(httplib::Response& res, int status, const std::string& text,
            const char* type = "text/plain") {
    res.status = status;
    res.set_content(text, type);
}

// Percent-encodes a relative path for a URL, keeping '/' and the unreserved characters.
std::string EncodePath(const std::string& path) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// The address of a file under DIR/files as the client reaches it.
std::string FileAddress(const httplib::Request& req, const AddressSettings& addresses,
                        const fs::path& file, const fs::path& filesRoot) {
    const RequestOrigin origin{req.get_header_value("Host"),
                               req.get_header_value("X-Forwarded-Proto"),
                               req.get_header_value("X-Forwarded-Host")};
    return BaseAddress(addresses, origin) + "files/" +
           EncodePath(fs::relative(file, filesRoot).generic_string());
}

// A requested file name as the data directory stores it: in UTF-8. Hosts on Chinese Windows send
// names in their code page (GBK), which is read as GB18030, its superset; a name that is neither
// stays as it came, and is not found.
std::string StoredName(const std::string& name) {
    std::string utf8;
    if (wi::platform::ConvertEncoding("UTF-8", "UTF-8", name, utf8)) return name;
    if (wi::platform::ConvertEncoding("GB18030", "UTF-8", name, utf8)) return utf8;
    return name;
}

// Answers a locator request with the address of DIR/files/<name>, or 404.
void Locate(const httplib::Request& req, httplib::Response& res, const DataDir& data,
            const AddressSettings& addresses, const std::string& name) {
    const auto file = data.FileIn("files", name);
    if (!file) {
        Answer(res, 404, "not found\n");
        return;
    }
    Answer(res, 200, FileAddress(req, addresses, *file, data.root() / "files"));
}

// The GUID a list request names; answers 400 and gives "" when it names none.
std::string GuidOf(const httplib::Request& req, httplib::Response& res) {
    std::string guid = req.get_param_value("guid");
    if (guid.empty()) Answer(res, 400, "guid missing\n");
    return guid;
}

// The documents that describe the versions of a GUID, in the order they are asked: the file
// list the operator placed, then the uploaded file lists, newest first.
std::vector<fs::path> FileListSources(const DataDir& data, const std::string& guid) {
    std::vector<fs::path> sources;
    if (const auto placed = data.FileIn("filelists", guid + ".xml")) sources.push_back(*placed);
    for (const fs::path& upload : data.Uploads("filelist")) sources.push_back(upload);
    return sources;
}

// The file list for a GUID: DIR/filelists/<GUID>.xml when placed there, else the newest
// uploaded file list that names the GUID.
void SendFileList(const httplib::Request& req, httplib::Response& res, const DataDir& data) {
    const std::string guid = GuidOf(req, res);
    if (guid.empty()) return;
    if (const auto list = SoftwareFileList(FileListSources(data, guid), guid)) {
        Answer(res, 200, *list, "text/xml");
    } else {
        Answer(res, 404, "no file list for this GUID\n");
    }
}

// One version of a GUID from its file list (as /filelist finds it): the one the "version"
// parameter names, or the newest for 0 or below; with the patches of the placed patch list when
// the version brings none. A version that is not a whole number gets 400.
void SendCertainFileList(const httplib::Request& req, httplib::Response& res,
                         const DataDir& data) {
    const std::string guid = GuidOf(req, res);
    if (guid.empty()) return;
    VersionChoice choice;
    if (req.has_param("version")) {
        const std::string text = req.get_param_value("version");
        char* end = nullptr;
        errno = 0;
        choice.number = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || errno == ERANGE) {
            Answer(res, 400, "version is not a whole number\n");
            return;
        }
    }
    const auto list = CertainFileList(FileListSources(data, guid),
                                      data.FileIn("patchlists", guid + ".xml"), guid, choice);
    if (list) {
        Answer(res, 200, *list, "text/xml");
    } else {
        Answer(res, 404, "no such version of this GUID\n");
    }
}

// The patch list of a GUID: DIR/patchlists/<GUID>.xml as the operator placed it, else made from
// the versions of the GUID in the file lists and install infos.
void SendPatchList(const httplib::Request& req, httplib::Response& res, const DataDir& data) {
    const std::string guid = GuidOf(req, res);
    if (guid.empty()) return;
    if (const auto placed = data.FileIn("patchlists", guid + ".xml")) {
        SendFile(res, *placed, {}, "text/xml");
        return;
    }
    std::vector<fs::path> sources = FileListSources(data, guid);
    for (const fs::path& upload : data.Uploads("installinfo")) sources.push_back(upload);
    if (const auto list = PatchList(sources, guid)) {
        Answer(res, 200, *list, "text/xml");
    } else {
        Answer(res, 404, "no patch list for this GUID\n");
    }
}

// Takes the body of an upload into the data directory and answers whether it was kept.
void Upload(const httplib::Request& req, httplib::Response& res,
            const httplib::ContentReader& content, DataDir& data, const RouteSettings& settings) {
    if (settings.uploadGuard) {
        // The client computed its Digest answer over the address it sent, sub-path included.
        const AuthVerdict verdict = settings.uploadGuard->Check(
            req.method, ClientPathPrefix(settings.addresses) + req.target,
            req.get_header_value("Authorization"));
        if (!verdict.admitted) {
            content([](const char*, std::size_t) { return true; });
            res.set_header("WWW-Authenticate", verdict.challenge);
            Answer(res, 401, "authentication required\n");
            return;
        }
    }
    const std::string kind = req.matches[1].str();
    UploadRules rules;
    // Every upload but a software's own file is an XML document, read later by the lists.
    if (kind != "softfile") {
        rules.maxBytes = kMaxDocumentBytes;
        rules.accept = IsReadableDocument;
    }
    const auto read = [&content](const DataDir::BodySink& sink) {
        return content([&sink](const char* bytes, std::size_t size) { return sink(bytes, size); });
    };
    const UploadResult result = data.StoreUpload(kind, req.target, read, rules);
    switch (result) {
        case UploadResult::kKept:
            Answer(res, 200, "TRUE");
            break;
        case UploadResult::kTooLarge:
            Answer(res, 413, "the document is larger than this service reads\n");
            break;
        case UploadResult::kRefused:
            Answer(res, 400,
                   "the body is not a well-formed XML document that this service reads\n");
            break;
        case UploadResult::kCutShort:
            if (res.status == 413) {
                Answer(res, 413, "the body is larger than this service takes\n");
            } else if (settings.bodyTimedOut && settings.bodyTimedOut()) {
                res.set_header("Connection", "close");
                Answer(res, 408, "the body did not arrive in time\n");
            } else {
                Answer(res, 400, "the body did not arrive whole\n");
            }
            break;
    }
}

}  // namespace

void AddRoutes(httplib::Server& server, DataDir& data, const RouteSettings& settings) {
    // Bodies go to disk as they arrive, so that large uploads do not each take their size in
    // memory. A body that is refused is still read (up to the limit) and dropped, so that the
    // connection stays usable for the client's next request.
    server.Post(std::string("/upload/(") + kUploadKinds + ")",
                [&data, settings](const httplib::Request& req, httplib::Response& res,
                                  const httplib::ContentReader& content) {
                    Upload(req, res, content, data, settings);
                });

    server.Get("/softlist", [&data](const httplib::Request&, httplib::Response& res) {
        Answer(res, 200, SoftwareIdList(data.Uploads("softlist")), "text/xml");
    });
    server.Get("/filelist", [&data](const httplib::Request& req, httplib::Response& res) {
        SendFileList(req, res, data);
    });
    server.Get("/patchlist", [&data](const httplib::Request& req, httplib::Response& res) {
        SendPatchList(req, res, data);
    });
    server.Get("/certain", [&data](const httplib::Request& req, httplib::Response& res) {
        SendCertainFileList(req, res, data);
    });

    const auto locator = [&data, &settings](const char* parameter, const char* folder) {
        return [&data, addresses = settings.addresses, parameter, folder](
                   const httplib::Request& req, httplib::Response& res) {
            const std::string name = req.get_param_value(parameter);
            if (name.empty()) {
                Answer(res, 400, std::string(parameter) + " missing\n");
                return;
            }
            Locate(req, res, data, addresses, std::string(folder) + StoredName(name));
        };
    };
    server.Get("/install", locator("filename", ""));
    server.Get("/size", locator("filename", ""));
    server.Get("/patch", locator("patchid", "patches/"));

    server.Get("/softfile", [&data](const httplib::Request& req, httplib::Response& res) {
        const std::string guid = req.get_param_value("guid");
        const std::string code = req.get_param_value("file_code");
        const auto file = guid.empty() || code.empty()
                              ? std::nullopt
                              : data.FileIn("files", "softfiles/" + guid + "/" + code);
        if (!file) {
            Answer(res, 404, "not found\n");
            return;
        }
        SendFile(res, *file);
    });

    server.Get("/removefileinfo", [&data](const httplib::Request& req, httplib::Response& res) {
        std::string line;
        for (const char* key : {"GUID", "Version", "CharacterCode"}) {
            std::string value = req.get_param_value(key);
            for (char& c : value) {
                if (static_cast<unsigned char>(c) < 32) c = ' ';  // one notice, one line
            }
            line += (line.empty() ? "" : "\t") + value;
        }
        data.RecordRemoval(line);
        Answer(res, 200, "TRUE");
    });

    server.Get("/userinfo", [&data](const httplib::Request& req, httplib::Response& res) {
        const auto qelUser = QelUser(data.Uploads("user"), req.get_param_value("MachineNum"));
        // A machine nothing was uploaded for gets a "user" without "qeluser": the library then
        // keeps the path it has.
        Answer(res, 200, qelUser ? UserAnswer(*qelUser) : "<user/>", "text/xml");
    });

    server.Get("/files/(.+)", [&data, pacing = settings.filePacing](const httplib::Request& req,
                                                                   httplib::Response& res) {
        const auto file = data.FileIn("files", req.matches[1].str());
        if (!file) {
            Answer(res, 404, "not found\n");
            return;
        }
        SendFile(res, *file, pacing);
    });
}

}  // namespace wi::service
