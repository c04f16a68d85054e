#include "platform/posix/xml_parse.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>
#include <memory>
#include <mutex>

namespace wi::xml::libxml2 {

namespace {

void DiscardError(void*, xmlErrorPtr) {}

}  // namespace

SilentErrors::SilentErrors()
    : handler_(xmlStructuredError), context_(xmlStructuredErrorContext) {
    xmlSetStructuredErrorFunc(nullptr, DiscardError);
}

SilentErrors::~SilentErrors() { xmlSetStructuredErrorFunc(context_, handler_); }

namespace {

// External entities and DTDs are never loaded, whoever asks: libxml2 calls this loader for
// every external resource a parse would read.
xmlParserInputPtr RefuseExternalResource(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

// Any entity declaration ends the parse as not well-formed, before any expansion can happen.
void Refuse(void* context) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    parser->wellFormed = 0;
    xmlStopParser(parser);
}

void RefuseEntity(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
    Refuse(context);
}

void RefuseUnparsedEntity(void* context, const xmlChar*, const xmlChar*, const xmlChar*,
                          const xmlChar*) {
    Refuse(context);
}

struct ParserDeleter {
    void operator()(xmlParserCtxtPtr parser) const { xmlFreeParserCtxt(parser); }
};

}  // namespace

void Initialise() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(RefuseExternalResource);
    });
}

xmlDocPtr ParseUntrusted(const std::string& bytes, const char* encoding) {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        return nullptr;
    }
    Initialise();
    SilentErrors silent;
    std::unique_ptr<xmlParserCtxt, ParserDeleter> parser(xmlNewParserCtxt());
    if (!parser) {
        return nullptr;
    }
    parser->sax->serror = DiscardError;  // errors of this parse, silent
    parser->sax->entityDecl = RefuseEntity;
    parser->sax->unparsedEntityDecl = RefuseUnparsedEntity;

    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    if (encoding != nullptr) {
        options |= XML_PARSE_IGNORE_ENC;
    }
    return xmlCtxtReadMemory(parser.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr,
                             encoding, options);
}

std::string DeclaredEncoding(const std::string& bytes) {
    static const char kBom[] = "\xEF\xBB\xBF";
    std::size_t start = bytes.compare(0, 3, kBom) == 0 ? 3 : 0;
    if (bytes.compare(start, 5, "<?xml") != 0) {
        return "";
    }
    const std::size_t end = bytes.find("?>", start);
    const std::string declaration =
        bytes.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::size_t at = declaration.find("encoding");
    if (at == std::string::npos) {
        return "";
    }
    at = declaration.find_first_not_of(" \t\r\n", at + std::strlen("encoding"));
    if (at == std::string::npos || declaration[at] != '=') {
        return "";
    }
    at = declaration.find_first_not_of(" \t\r\n", at + 1);
    if (at == std::string::npos || (declaration[at] != '"' && declaration[at] != '\'')) {
        return "";
    }
    const std::size_t close = declaration.find(declaration[at], at + 1);
    if (close == std::string::npos) {
        return "";
    }
    return declaration.substr(at + 1, close - at - 1);
}

}  // namespace wi::xml::libxml2
