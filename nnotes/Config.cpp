#include "Config.h"

#include <windows.h>

#include <fstream>
#include <map>
#include <mutex>

namespace nnotes {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

struct Settings {
    std::mutex mutex;
    std::map<std::string, std::string> values;
};

Settings& GetSettings() {
    static Settings settings;
    return settings;
}

std::string FolderOf(HMODULE module) {
    char path[MAX_PATH * 2] = {};
    DWORD n = GetModuleFileNameA(module, path, sizeof path);
    std::string p(path, n);
    size_t slash = p.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : p.substr(0, slash);
}

std::string ProgramFolder() { return FolderOf(nullptr); }

// The folder this library was loaded from: a Notes client keeps notes.ini in its program
// folder, beside the library, where a program installed elsewhere finds it.
std::string LibraryFolder() {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ProgramFolder), &self);
    return FolderOf(self);
}

}  // namespace

void LoadConfig(const std::string& given) {
    std::string file;
    char env[MAX_PATH * 2] = {};
    DWORD n = 0;
    if (!given.empty()) {
        file = given.find_first_of("\\/:") == std::string::npos ? LibraryFolder() + "\\" + given : given;
    } else if ((n = GetEnvironmentVariableA("QUILLSHEET_NOTES_INI", env, sizeof env)) > 0 && n < sizeof env) {
        file = env;
    } else {
        file = ProgramFolder() + "\\notes.ini";
        if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
            file = LibraryFolder() + "\\notes.ini";
    }
    std::map<std::string, std::string> values;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '[') continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        values[Lower(Trim(line.substr(0, eq)))] = Trim(line.substr(eq + 1));
    }
    Settings& s = GetSettings();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.values = std::move(values);
}

bool ConfigValue(const std::string& key, std::string* value) {
    Settings& s = GetSettings();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.values.find(Lower(key));
    if (it == s.values.end()) return false;
    *value = it->second;
    return true;
}

std::string DataDirectory() {
    std::string dir;
    if (!ConfigValue("Directory", &dir) || dir.empty()) dir = ProgramFolder();
    while (dir.size() > 1 && (dir.back() == '\\' || dir.back() == '/') &&
           !(dir.size() == 3 && dir[1] == ':')) {
        dir.pop_back();
    }
    return dir;
}

}  // namespace nnotes
