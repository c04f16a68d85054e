"""webinteractive for Python: the library's C interface through ctypes (no compiled extension).

Every function of webinteractive_c.h is here under its name without "wi_":
``webinteractive.init(config)`` calls ``wi_init``. Texts are ``str`` (passed in the narrow code
page, which is the locale's encoding), records are ``dict`` keyed by the C++ members' names, lists
of records are ``list`` of them (a list of text records is a ``list`` of ``str``), cancel events
are ``int`` handles. A call that fails raises :class:`Error` with the code and the library's
reason; results come back as return values.

The library is found through ``WEBINTERACTIVE_LIBRARY`` (a path), else by the system's search for
"webinteractive" (``ctypes.util.find_library``), else by the soname.
"""

import ctypes
import ctypes.util
import locale
import os
import sys

__all__ = ["Error", "CODES", "KINDS"]

# wi_code values by name.
CODES = {0: "WI_OK", 1: "WI_FAILED", 2: "WI_FILE_ERROR", 3: "WI_DOWNLOAD_ERROR", 4: "WI_ERROR",
         5: "WI_NO_MEMORY", 6: "WI_MISUSE"}
# wi_record_kind values by name.
KINDS = {"text": 0, "soft_id": 1, "soft_info": 2, "file_info": 3, "dep_info": 4,
         "conf_info": 5, "patch_info": 6, "log_info": 7, "user_info": 8}
_TEXT, _INT, _LIST = 0, 1, 2  # wi_field_type
_REPLY_SIZE = 1024

ENCODING = locale.getpreferredencoding(False)


class Error(Exception):
    """A call of the library that did not succeed: ``code`` (a wi_code name) and ``reason``."""

    def __init__(self, function, code, reason):
        super().__init__("%s: %s (%s)" % (function, reason, CODES.get(code, code)))
        self.function = function
        self.code = CODES.get(code, code)
        self.reason = reason


def _load():
    path = os.environ.get("WEBINTERACTIVE_LIBRARY") or ctypes.util.find_library("webinteractive")
    if not path:
        path = "webinteractive.dll" if sys.platform == "win32" else "libwebinteractive.so.0"
    return ctypes.CDLL(path)


_lib = _load()
_p = ctypes.c_void_p
_s = ctypes.c_char_p
for _name, _result, _arguments in [
        ("wi_last_error", _s, []), ("wi_version", _s, []), ("wi_version_number", ctypes.c_int, []),
        ("wi_last_upload_status", ctypes.c_int, []), ("wi_last_download_status", ctypes.c_int, []),
        ("wi_record_free", None, [_p]), ("wi_list_free", None, [_p])]:
    getattr(_lib, _name).restype = _result
    getattr(_lib, _name).argtypes = _arguments


def _encode(text):
    return None if text is None else text.encode(ENCODING)


def _decode(data):
    return "" if data is None else data.decode(ENCODING, "replace")


def _check(function, code):
    if code != 0:
        raise Error(function, code, _decode(_lib.wi_last_error()))


def _c(name, *arguments):
    _check(name, getattr(_lib, name)(*arguments))


def version():
    """The loaded library's version, "MAJOR.MINOR.PATCH"."""
    return _decode(_lib.wi_version())


def version_number():
    return _lib.wi_version_number()


def last_upload_status():
    return _lib.wi_last_upload_status()


def last_download_status():
    return _lib.wi_last_download_status()


# ---- records and lists ----

def _fields(kind):
    """{name: (type, list kind)} of a kind of record, asked of the library once."""
    if kind not in _fields.known:
        fields, index = {}, 0
        name, type_, list_kind = _s(), ctypes.c_int(), ctypes.c_int()
        while _lib.wi_record_field(kind, index, ctypes.byref(name), ctypes.byref(type_),
                                   ctypes.byref(list_kind)) == 0:
            fields[name.value.decode("ascii")] = (type_.value, list_kind.value)
            index += 1
        _fields.known[kind] = fields
    return _fields.known[kind]


_fields.known = {}


def _record_to_python(handle):
    kind = ctypes.c_int()
    _c("wi_record_get_kind", handle, ctypes.byref(kind))
    values = {}
    for name, (type_, list_kind) in _fields(kind.value).items():
        key = _encode(name)
        if type_ == _TEXT:
            text = _s()
            _c("wi_record_get_text", handle, key, ctypes.byref(text))
            values[name] = _decode(text.value)
        elif type_ == _INT:
            number = ctypes.c_int64()
            _c("wi_record_get_int", handle, key, ctypes.byref(number))
            values[name] = number.value
        else:
            listed = _p()
            _c("wi_record_get_list", handle, key, ctypes.byref(listed))
            values[name] = _list_to_python(listed)
    return values["text"] if kind.value == KINDS["text"] else values


def _list_to_python(handle):
    """The records of a list handle, which it frees."""
    try:
        count = ctypes.c_int64()
        _c("wi_list_count", handle, ctypes.byref(count))
        records = []
        for index in range(count.value):
            record = _p()
            _c("wi_list_get", handle, ctypes.c_int64(index), ctypes.byref(record))
            records.append(_record_to_python(record))
        return records
    finally:
        _lib.wi_list_free(handle)


def _record_from_python(kind, values):
    """A new record handle of the kind (the caller frees it) holding the values."""
    handle = _p()
    _c("wi_record_new", kind, ctypes.byref(handle))
    try:
        if kind == KINDS["text"]:
            values = {"text": values}
        fields = _fields(kind)
        for name, value in values.items():
            type_, list_kind = fields.get(name, (_TEXT, -1))
            key = _encode(name)
            if type_ == _INT:
                _c("wi_record_set_int", handle, key, ctypes.c_int64(int(value)))
            elif type_ == _LIST:
                listed = _list_from_python(list_kind, value)
                try:
                    _c("wi_record_set_list", handle, key, listed)
                finally:
                    _lib.wi_list_free(listed)
            else:
                _c("wi_record_set_text", handle, key, _encode(value))
        return handle
    except BaseException:
        _lib.wi_record_free(handle)
        raise


def _list_from_python(kind, records):
    handle = _p()
    _c("wi_list_new", kind, ctypes.byref(handle))
    try:
        for values in records:
            record = _record_from_python(kind, values)
            try:
                _c("wi_list_append", handle, record)
            finally:
                _lib.wi_record_free(record)
        return handle
    except BaseException:
        _lib.wi_list_free(handle)
        raise


# ---- the operations, by the kinds of their arguments and result ----
# Argument kinds: "text", "int", "event", a kind of record ("soft_info"), a list of one
# ("[soft_id]"). Result kinds: None, "text", "int", "int64", "uint64", "truth", "event", a kind of
# record, a list of one.
_OPERATIONS = [
    ("set_machine_prefix", ["text"], None),
    ("get_machine_prefix", [], "text"),
    ("get_special_folder_path", ["int"], "text"),
    ("get_fixed_drives", [], "text"),
    ("get_config_value", ["text"], "text"),
    ("remove_partial_files", ["text", "int", "int"], "int"),
    ("create_cancel_event", ["int"], "event"),
    ("signal_cancel_event", ["event"], None),
    ("reset_cancel_event", ["event"], None),
    ("free_cancel_event", ["event"], None),
    ("set_param_file", ["text"], None),
    ("set_status", ["text"], None),
    ("read_param", ["text"], "text"),
    ("save_param", ["text", "text"], None),
    ("init", ["text"], None),
    ("clean_string", ["text"], "text"),
    ("excuse_dos_command", ["text"], None),
    ("makesure_dir_exist", ["text"], None),
    ("get_temp_xml_file_path", ["text"], "text"),
    ("download_file", ["text", "text", "text", "event"], None),
    ("get_download_size", ["text", "text"], "int64"),
    ("create_soft_list_xml", ["[soft_id]"], "text"),
    ("upload_soft_list", ["text", "[soft_id]"], None),
    ("create_file_list_xml", ["[soft_info]"], "text"),
    ("save_upload_file_list_xml", ["text", "[soft_info]"], None),
    ("upload_file_list", ["text", "[soft_info]"], None),
    ("save_install_info_xml", ["soft_info"], "text"),
    ("upload_file_info", ["text", "soft_info"], "text"),
    ("save_up_sys_info_xml", [], "text"),
    ("update_sys_info", [], None),
    ("upload_soft_files", ["text", "text", "text", "text"], None),
    ("download_soft_list", ["text"], "[soft_id]"),
    ("parse_soft_id_list", ["text"], "[soft_id]"),
    ("save_download_file_list_xml", ["text", "text", "text", "text"], "text"),
    ("download_certain_file_list", ["text", "text", "int"], "soft_info"),
    ("save_certain_file_list_xml", ["text", "text", "int"], "text"),
    ("parse_patchs_list", ["text"], "[soft_info]"),
    ("download_patch_file", ["text", "text"], "text"),
    ("download_soft_file", ["text", "text", "text", "text", "int"], "text"),
    ("download_install_file", ["text", "text", "text", "event"], "text"),
    ("download_install_file1", ["text", "text", "text", "text", "event"], None),
    ("remove_file_info", ["text", "text", "text", "text"], None),
    ("get_protect_xml_path", ["text"], "text"),
    ("get_protected_install_path", ["text"], "text"),
    ("get_protected_version", ["text"], "int"),
    ("get_file_protect_path", ["text", "text"], "text"),
    ("protect_files_to_local", ["soft_info", "event"], None),
    ("protect_config", ["[conf_info]"], "text"),
    ("clean_protect_software", ["text"], None),
    ("read_user_info", [], "text"),
    ("update_user_info", [], None),
    ("get_computer_id", [], "text"),
    ("create_user_info_xml", ["user_info", "text"], "text"),
    ("save_user_info_to_local", ["user_info"], None),
    ("get_user_info_from_local", [], "user_info"),
    ("get_user_info_from_server", ["text", "text"], "user_info"),
    ("log_set_param", ["text", "text", "text"], None),
    ("log_start", [], None),
    ("log_save_one_log", ["log_info"], None),
    ("log_stop", [], None),
    ("install_conf", ["conf_info"], None),
    ("list_installed_conf", [], "[conf_info]"),
    ("path_exists", ["text"], "truth"),
    ("is_directory", ["text"], "truth"),
    ("delete_file", ["text"], None),
    ("copy_file", ["text", "text", "int"], None),
    ("insure_directory_exist", ["text"], None),
    ("get_disk_space", ["text", "int"], "uint64"),
    ("get_file_name", ["text"], "text"),
    ("is_absolute_path", ["text"], "truth"),
    ("get_directory_part", ["text"], "text"),
    ("list_directory", ["text"], "[text]"),
    ("get_path_size", ["text"], "uint64"),
]

_SCALAR_RESULTS = {"text": _s, "int": ctypes.c_int, "int64": ctypes.c_int64,
                   "uint64": ctypes.c_uint64, "truth": ctypes.c_int, "event": _p}


def _argument(kind, value, owned):
    """The C argument for a Python value; handles it makes go into owned, to be freed."""
    if kind == "text":
        return _encode("" if value is None else value)
    if kind == "int":
        return ctypes.c_int(int(value))
    if kind == "event":
        return _p(value)
    if kind.startswith("["):
        handle = _list_from_python(KINDS[kind[1:-1]], value)
        owned.append((_lib.wi_list_free, handle))
        return handle
    handle = _record_from_python(KINDS[kind], value)
    owned.append((_lib.wi_record_free, handle))
    return handle


def _result(kind, cell):
    if kind == "truth":
        return bool(cell.value)
    if kind == "text":
        return _decode(cell.value)
    if kind.startswith("["):
        return _list_to_python(cell)
    if kind in _SCALAR_RESULTS:
        return cell.value
    try:
        return _record_to_python(cell)
    finally:
        _lib.wi_record_free(cell)


def _operation(name, argument_kinds, result_kind):
    c_name = "wi_" + name
    getattr(_lib, c_name).restype = ctypes.c_int

    def call(*values):
        missing = argument_kinds[len(values):]
        if len(values) > len(argument_kinds) or any(kind != "event" for kind in missing):
            raise TypeError("%s takes %s" % (name, ", ".join(argument_kinds)))
        values = values + (None,) * len(missing)  # no cancel event
        owned = []
        try:
            arguments = [_argument(k, v, owned) for k, v in zip(argument_kinds, values)]
            cell = None
            if result_kind is not None:
                cell = _SCALAR_RESULTS.get(result_kind, _p)()
                arguments.append(ctypes.byref(cell))
            _c(c_name, *arguments)
            return None if result_kind is None else _result(result_kind, cell)
        finally:
            for free, handle in owned:
                free(handle)

    call.__name__ = name
    call.__doc__ = "%s(%s) -> %s: calls %s." % (name, ", ".join(argument_kinds), result_kind,
                                                c_name)
    return call


for _spec in _OPERATIONS:
    globals()[_spec[0]] = _operation(*_spec)
    __all__.append(_spec[0])


# ---- the operations whose arguments take another shape ----

def upload_file(url, file_path, display_name=None):
    """Posts the file: the reply of the service (a refused upload raises Error)."""
    reply = ctypes.create_string_buffer(_REPLY_SIZE)
    _c("wi_upload_file", _encode(url), _encode(file_path), reply, _encode(display_name))
    return _decode(reply.value)


def download_file_list(url, guid, special_code="", pn_version="", cancel_event=None):
    """The file list of one software: (list of soft_info records, the document's locked value)."""
    locked, listed = ctypes.c_int(), _p()
    _c("wi_download_file_list", _encode(url), _encode(guid), _encode(special_code),
       _encode(pn_version), ctypes.byref(locked), _p(cancel_event), ctypes.byref(listed))
    return _list_to_python(listed), locked.value


def restore_config(soft, entry=None):
    """Applies the software's stored configuration again: the log entry with its details."""
    soft_handle = _record_from_python(KINDS["soft_info"], soft)
    entry_handle = _record_from_python(KINDS["log_info"], entry or {})
    try:
        _c("wi_restore_config", soft_handle, entry_handle)
        return _record_to_python(entry_handle)
    finally:
        _lib.wi_record_free(soft_handle)
        _lib.wi_record_free(entry_handle)


def read_machine_file(path):
    """The bytes of a file of the machine (a Windows path)."""
    data, size = _p(), ctypes.c_size_t()
    _c("wi_read_machine_file", _encode(path), ctypes.byref(data), ctypes.byref(size))
    return ctypes.string_at(data.value, size.value) if size.value else b""


def resolve_host_name(url):
    """(1 when the address's host resolves to an IPv4 address, 0 when not, -1 when there is
    nothing to look up; the host name)."""
    resolved, host = ctypes.c_int(), _s()
    _c("wi_resolve_host_name", _encode(url), ctypes.byref(resolved), ctypes.byref(host))
    return resolved.value, _decode(host.value)


def read_record_document(data):
    """The software records (dicts) of a document the library writes, from its bytes."""
    handle = _p()
    _c("wi_read_record_document", data, ctypes.c_size_t(len(data)), ctypes.byref(handle))
    return _list_to_python(handle)


def narrow_to_utf8(narrow):
    """bytes in the narrow code page as UTF-8 bytes."""
    utf8 = _s()
    _c("wi_narrow_to_utf8", narrow, ctypes.byref(utf8))
    return utf8.value


def utf8_to_narrow(utf8):
    """UTF-8 bytes as bytes in the narrow code page."""
    narrow = _s()
    _c("wi_utf8_to_narrow", utf8, ctypes.byref(narrow))
    return narrow.value


def narrow_char_length(narrow):
    """The byte length of the narrow character that begins the bytes."""
    length = ctypes.c_size_t()
    _c("wi_narrow_char_length", narrow, ctypes.c_size_t(len(narrow)), ctypes.byref(length))
    return length.value


_SINK = ctypes.CFUNCTYPE(None, ctypes.c_char_p, ctypes.c_void_p)
_installed_sink = None


def set_status_sink(sink):
    """Hands every status line (a str) to sink(line); None writes them to stderr again."""
    global _installed_sink
    if sink is None:
        _c("wi_set_status_sink", _SINK(), None)  # a null function: the default again
        _installed_sink = None
        return
    function = _SINK(lambda line, context: sink(_decode(line)))
    _c("wi_set_status_sink", function, None)
    _installed_sink = function  # kept alive while the library may call it


_lib.wi_set_status_sink.argtypes = [_SINK, _p]
__all__ += ["version", "version_number", "last_upload_status", "last_download_status",
            "upload_file", "download_file_list", "restore_config", "set_status_sink",
            "read_machine_file", "resolve_host_name", "read_record_document", "narrow_to_utf8",
            "utf8_to_narrow", "narrow_char_length"]
