#include "platform/win32/xml_com.h"

#include "platform/xml_dom.h"

namespace wi::xml::msxml {

namespace {

// The load step: the library's DLL constructs this while the loader runs on the thread that
// loads it, so that thread joins a single-threaded apartment, and destroys it on unload, which
// leaves the apartment again. The DOM is used from that thread only; on any other thread making
// a document fails as COM reports it (CO_E_NOTINITIALIZED).
class LoadingThreadApartment {
public:
    LoadingThreadApartment()
        : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~LoadingThreadApartment() {
        if (joined_) {
            CoUninitialize();
        }
    }
    LoadingThreadApartment(const LoadingThreadApartment&) = delete;
    LoadingThreadApartment& operator=(const LoadingThreadApartment&) = delete;

private:
    bool joined_;  // S_OK and S_FALSE each take a reference that unload gives back
};

LoadingThreadApartment loadingThreadApartment;

// IXMLDOMDocument2, which carries setProperty: mingw-w64 declares its identifier but no library
// defines it.
constexpr IID kIidDomDocument2 = {
    0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

// MSXML 6 first: it honours every property below. "Msxml2.DOMDocument" (3.0), present on every
// Windows, takes those it knows; the document type bound is also checked on the text before
// any parse (xml_scan.h), so it holds whichever answers.
ComPtr<IXMLDOMDocument2> CreateDomObject() {
    static const wchar_t* const kProgIds[] = {L"Msxml2.DOMDocument.6.0", L"Msxml2.DOMDocument"};
    ComPtr<IXMLDOMDocument2> document;
    for (const wchar_t* progId : kProgIds) {
        CLSID clsid;
        if (SUCCEEDED(CLSIDFromProgID(progId, &clsid)) &&
            SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIidDomDocument2,
                                       reinterpret_cast<void**>(document.Out())))) {
            break;
        }
        document.Reset();
    }
    return document;
}

void SetProperty(IXMLDOMDocument2* document, const wchar_t* name, VARIANT value) {
    Bstr property{std::wstring(name)};
    // A property an older MSXML does not know is refused; the document stays usable.
    document->setProperty(property.Get(), value);
}

VARIANT Boolean(bool value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT Integer(long value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

}  // namespace

ComPtr<IXMLDOMDocument2> NewDocument() {
    ComPtr<IXMLDOMDocument2> document = CreateDomObject();
    if (!document) {
        return document;
    }
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    document->put_preserveWhiteSpace(VARIANT_FALSE);
    SetProperty(document.Get(), L"ProhibitDTD", Boolean(true));
    SetProperty(document.Get(), L"AllowDocumentFunction", Boolean(false));
    SetProperty(document.Get(), L"AllowXsltScript", Boolean(false));
    SetProperty(document.Get(), L"ResolveExternals", Boolean(false));
    SetProperty(document.Get(), L"UseInlineSchema", Boolean(false));
    SetProperty(document.Get(), L"ServerHTTPRequest", Boolean(false));
    // A backstop: the scan of the text (xml_scan.h) holds the exact bound.
    SetProperty(document.Get(), L"MaxElementDepth", Integer(kMaxDepth + 1));
    return document;
}

}  // namespace wi::xml::msxml
