#include "cli/CommandLine.h"

#include "framework/ResourceString.h"
#include "res/resource.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

namespace {

constexpr UINT kJapaneseCodePage = 932;
constexpr char kAllFields[] = "*";
constexpr char kFieldSeparator = ',';

enum class Switch {
    kNone,
    kUsage,
    kServer,
    kDb,
    kForm,
    kFields,
    kCsv,
    kLog,
    kIni,
    kSubfolders,
    kList,
    kOut,
    kAttachments,
    kLossless
};

struct SwitchName {
    const char* name;
    Switch id;
};

// The usage answers to the names that other programs taught administrators to try.
// clang-format off
constexpr SwitchName kSwitches[] = {
    {"?", Switch::kUsage},       {"help", Switch::kUsage},
    {"h", Switch::kUsage},       {"server", Switch::kServer},
    {"db", Switch::kDb},         {"form", Switch::kForm},
    {"fields", Switch::kFields}, {"csv", Switch::kCsv},
    {"log", Switch::kLog},       {"ini", Switch::kIni},
    {"s", Switch::kSubfolders},  {"list", Switch::kList},
    {"out", Switch::kOut},       {"attachments", Switch::kAttachments},
    {"lossless", Switch::kLossless},
};
// clang-format on
constexpr char kLongHelp[] = "--help";

bool LooksLikeSwitch(const std::string& argument) {
    return argument.size() >= 2 && (argument[0] == '/' || argument[0] == '-');
}

// "/name" and "-name", the name in any letter case; and "--help".
Switch SwitchOf(const std::string& argument) {
    if (!LooksLikeSwitch(argument)) return Switch::kNone;
    if (lstrcmpiA(argument.c_str(), kLongHelp) == 0) return Switch::kUsage;
    for (const SwitchName& s : kSwitches) {
        if (lstrcmpiA(argument.c_str() + 1, s.name) == 0) return s.id;
    }
    return Switch::kNone;
}

std::vector<std::string> SplitFields(const std::string& list) {
    std::vector<std::string> names;
    size_t start = 0;
    for (;;) {
        const size_t end = list.find(kFieldSeparator, start);
        std::string name = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // Blanks typed after a comma are not part of a name.
        const size_t first = name.find_first_not_of(' ');
        const size_t last = name.find_last_not_of(' ');
        names.push_back(first == std::string::npos ? std::string() : name.substr(first, last - first + 1));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return names;
}

// The arguments as one line: those holding a blank or nothing in quotes.
std::string Recorded(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) {
        if (!text.empty()) text += ' ';
        text +=
            argument.empty() || argument.find(' ') != std::string::npos ? "\"" + argument + "\"" : argument;
    }
    return text;
}

}  // namespace

bool ToCodePage932(const std::wstring& wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    BOOL lost = FALSE;
    const int length = WideCharToMultiByte(kJapaneseCodePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                                           static_cast<int>(wide.size()), nullptr, 0, nullptr, &lost);
    std::vector<char> bytes(static_cast<size_t>(length) + 1, '\0');
    WideCharToMultiByte(kJapaneseCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        bytes.data(), length, nullptr, &lost);
    out.assign(bytes.data(), static_cast<size_t>(length));
    return lost == FALSE;
}

std::vector<std::wstring> ProcessArguments() {
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr) return arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(argv[i]);
    LocalFree(argv);
    return arguments;
}

bool ParseCommandLine(const std::vector<std::wstring>& arguments, CommandLineOptions& options,
                      std::string& message) {
    options = CommandLineOptions{};
    message.clear();
    // The first refusal is the message; the rest is still read, so that a run refused for one
    // switch knows its CSV file and its log, wherever they stand, and logs why it ended.
    bool refused = false;
    const auto refuse = [&](unsigned id, const std::string& argument) {
        if (refused) return;
        refused = true;
        message = ResStringWith(id, argument);
    };
    std::vector<std::string> native;
    for (const std::wstring& wide : arguments) {
        std::string text;
        if (!ToCodePage932(wide, text)) refuse(IDS_CMD_NOT_CP932, text);
        native.push_back(text);
    }
    options.text = Recorded(native);

    std::vector<Switch> seen;
    for (size_t i = 0; i < native.size(); ++i) {
        const Switch id = SwitchOf(native[i]);
        if (id == Switch::kNone) {
            refuse(LooksLikeSwitch(native[i]) ? IDS_CMD_UNKNOWN_SWITCH : IDS_CMD_STRAY_ARGUMENT, native[i]);
            continue;
        }
        bool again = false;
        for (Switch earlier : seen) again = again || (earlier == id && id != Switch::kUsage);
        if (again) refuse(IDS_CMD_TWICE, native[i]);
        seen.push_back(id);
        // The switches that are a choice, not a value.
        if (id == Switch::kUsage) {
            options.usage = true;
            continue;
        }
        if (id == Switch::kSubfolders || id == Switch::kList) {
            (id == Switch::kSubfolders ? options.subfolders : options.list) = true;
            continue;
        }
        if (id == Switch::kLossless) {
            options.lossless = true;
            continue;
        }
        // A value is the next argument, unless that is a switch of its own.
        if (i + 1 >= native.size() || SwitchOf(native[i + 1]) != Switch::kNone) {
            refuse(IDS_CMD_NO_VALUE, native[i]);
            continue;
        }
        const std::string& value = native[++i];
        if (again) continue;  // the first value stands
        switch (id) {
            case Switch::kServer:
                options.serverGiven = true;
                options.server = value;
                break;
            case Switch::kDb:
                options.db = value;
                break;
            case Switch::kForm:
                options.form = value;
                break;
            case Switch::kFields:
                options.fieldsGiven = true;
                if (value != kAllFields) options.fields = SplitFields(value);
                break;
            case Switch::kCsv:
                options.csv = value;
                break;
            case Switch::kLog:
                options.logGiven = true;
                options.log = value;
                break;
            case Switch::kIni:
                options.iniGiven = true;
                options.ini = value;
                break;
            case Switch::kOut:
                options.out = value;
                break;
            case Switch::kAttachments:
                options.attachmentsGiven = true;
                options.attachments = value;
                break;
            default:
                break;
        }
    }
    return !refused;
}
