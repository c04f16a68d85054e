// Reading and writing the host parameter file.
#include "param_file.h"

#include <filesystem>
#include <fstream>

#include "platform/file_lock.h"
#include "platform/host_file.h"

namespace wi::status {
namespace {

void AppendEscaped(const std::string& text, std::string& out) {
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '=': out += "\\="; break;
            default: out += c;
        }
    }
}

}  // namespace

std::string EncodeParameterLine(const std::string& name, const std::string& value) {
    std::string line;
    AppendEscaped(name, line);
    line += '=';
    AppendEscaped(value, line);
    return line;
}

bool DecodeParameterLine(const std::string& line, std::string& name, std::string& value) {
    name.clear();
    value.clear();
    std::string* current = &name;
    bool separatorSeen = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '=') {
            if (separatorSeen) return false;
            separatorSeen = true;
            current = &value;
            continue;
        }
        if (c != '\\') {
            *current += c;
            continue;
        }
        if (++i == line.size()) return false;
        switch (line[i]) {
            case '\\': *current += '\\'; break;
            case 'r': *current += '\r'; break;
            case 'n': *current += '\n'; break;
            case '=': *current += '='; break;
            default: return false;
        }
    }
    return separatorSeen;
}

LoadResult LoadParameterFile(const std::string& path, ParameterMap& parameters) {
    parameters.clear();
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return error ? LoadResult::kUnreadable : LoadResult::kMissing;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, error)) return LoadResult::kUnreadable;
    // At most one byte beyond the bound is read, however large the file is or grows meanwhile.
    std::string text(kMaxParameterFileBytes + 1, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    if (in.bad()) return LoadResult::kUnreadable;
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxParameterFileBytes) return LoadResult::kUnreadable;

    std::string name, value;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == '\r') --lineEnd;  // edited with CR LF ends
        if (lineEnd > start && DecodeParameterLine(text.substr(start, lineEnd - start), name, value)) {
            parameters[name] = value;
        }
        start = end + 1;
    }
    return LoadResult::kLoaded;
}

bool SaveParameterChanges(const std::string& path, const ParameterMap& changes,
                          ParameterMap& merged) {
    wi::platform::FileLock lock(path + ".lock");
    if (!lock.Held()) return false;
    ParameterMap current;
    if (LoadParameterFile(path, current) == LoadResult::kUnreadable) return false;
    for (const auto& [name, value] : changes) current[name] = value;
    std::string text;
    for (const auto& [name, value] : current) text += EncodeParameterLine(name, value) + '\n';
    if (!wi::platform::ReplaceHostFile(path, text)) return false;
    merged.swap(current);
    return true;
}

}  // namespace wi::status
