// Reading and writing the host parameter file.
#include "param_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

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
    std::string line, name, value;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // edited with CR LF ends
        if (line.empty()) continue;
        if (DecodeParameterLine(line, name, value)) parameters[name] = value;
    }
    return in.bad() ? LoadResult::kUnreadable : LoadResult::kLoaded;
}

bool SaveParameterFile(const std::string& path, const ParameterMap& parameters) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const auto& [name, value] : parameters) {
            out << EncodeParameterLine(name, value) << '\n';
        }
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    // Some systems refuse to rename over an existing file: remove it, then try once more.
    std::remove(path.c_str());
    if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}

}  // namespace wi::status
