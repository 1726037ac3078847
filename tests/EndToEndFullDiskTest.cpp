// A full disk under the real quillsheet.exe. This executable runs through
// scripts/wine-exec-full-disk, which mounts a small, empty file system for it and names its
// folder in QS_FULL_DISK_DIR: the file that fills the disk is put there, and a write that does
// not fit fails as on a full disk, and the program maps every failed write to the "disk full"
// cause.
#include "EndToEndFixture.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace e2e;

// The folder of the small file system the wrapper mounted; "" when the test was started
// without it.
std::string FullDiskFolder() {
    char folder[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("QS_FULL_DISK_DIR", folder, sizeof folder);
    return n == 0 || n >= sizeof folder ? std::string() : std::string(folder, n);
}

// Writes a fresh file until a write is refused; the number of bytes that fitted when the
// refusal was a full disk, else 0. The file is deleted afterwards, which empties the disk again.
size_t Capacity(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    const std::string bytes(4096, 'p');
    size_t done = 0;
    DWORD written = 0, error = 0;
    while (done < 64u * 1024 * 1024) {
        if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
            error = GetLastError();
            break;
        }
        if (written == 0) break;
        done += written;
    }
    CloseHandle(file);
    DeleteFileA(path.c_str());
    return error == ERROR_DISK_FULL ? done : 0;
}

enum class FullFile { Destination, Log };

struct FullDiskCase {
    const char* name;
    FullFile file;
};

void PrintTo(const FullDiskCase& c, std::ostream* os) { *os << c.name; }

class FullDisk : public EndToEnd, public ::testing::WithParamInterface<FullDiskCase> {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        if (IsSkipped()) return;
        folder = FullDiskFolder();
        ASSERT_NE("", folder) << "run through scripts/wine-exec-full-disk as root, as ctest does";
        limit = Capacity(folder + "\\probe.bin");
        ASSERT_GT(limit, 0u) << "the full disk refuses a write with ERROR_DISK_FULL";
        // The file that fills the disk is the only one there.
        if (GetParam().file == FullFile::Destination) {
            csvPath = folder + "\\out.csv";
        } else {
            logPath = folder + "\\LOG.TXT";
        }
    }
    std::string folder;
    size_t limit = 0;
};

// A form of 1,000 fields and 200 documents that give only the first a value ("d000"...):
// each CSV line is 1,005 bytes, the file about 206,000, the log about 30,000.
struct WideDocuments {
    WideDocuments() {
        json = R"("title":"Wide","design":[{"class":"form","title":"Wide","fields":[)";
        std::string header;
        for (int i = 0; i < 1000; ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "f%03d", i);
            json += std::string(i == 0 ? "" : ",") + R"({"name":")" + name + R"(","type":"text"})";
            header += std::string(i == 0 ? "" : ",") + name;
        }
        json += R"(]}],"documents":[)";
        csv = header + "\r\n";
        for (int i = 0; i < 200; ++i) {
            char value[8];
            std::snprintf(value, sizeof value, "d%03d", i);
            json += std::string(i == 0 ? "" : ",") + R"({"items":[{"name":"f000","type":"text","value":")" +
                    value + "\"}]}";
            csv += value + std::string(999, ',') + "\r\n";
            ids.push_back(8u + 4u * static_cast<unsigned>(i));
        }
        json += "]";
    }
    std::string json;
    std::string csv;  // the whole file
    std::vector<unsigned> ids;
};

// One field and 600 documents: the log takes about 90,000 bytes, the CSV file 3,600.
struct ManyShortDocuments {
    ManyShortDocuments() {
        json =
            R"("title":"Many","design":[{"class":"form","title":"Doc","fields":[{"name":"V","type":"text"}]}],)"
            R"("documents":[)";
        csv = "V\r\n";
        for (int i = 0; i < 600; ++i) {
            char value[8];
            std::snprintf(value, sizeof value, "v%03d", i);
            json += std::string(i == 0 ? "" : ",") + R"({"items":[{"name":"V","type":"text","value":")" +
                    value + "\"}]}";
            csv += std::string(value) + "\r\n";
            ids.push_back(8u + 4u * static_cast<unsigned>(i));
        }
        json += "]";
    }
    std::string json;
    std::string csv;
    std::vector<unsigned> ids;
};

TEST_P(FullDisk, OneDiskFullBoxTheJobGoesOnAndTheFileHoldsWhatFitted) {
    const bool destination = GetParam().file == FullFile::Destination;
    const WideDocuments wide;
    const ManyShortDocuments many;
    WriteNotesDatabase(dbPath, destination ? wide.json : many.json);
    const std::string form = destination ? "Wide" : "Doc";
    // The log is written to the program's temporary folder.
    HWND source = Start(destination ? "" : folder);
    ASSERT_NE(nullptr, source);
    ChooseLocal(source, dbPath);
    ASSERT_TRUE(drv::WalkWizard(app->pid(), {form, {}, csvPath, nullptr}));
    EXPECT_EQ((destination ? csvPath : logPath) + kTextDiskFull, NextMessage());
    const std::string lastMessage = NextMessage();

    const std::string csv = ReadFileBytes(csvPath);
    const std::string log = ReadFileBytes(logPath);
    if (destination) {
        // The lines up to the limit, the last one cut where the limit fell.
        ASSERT_GT(wide.csv.size(), limit);
        EXPECT_EQ(limit, csv.size());
        EXPECT_TRUE(wide.csv.compare(0, limit, csv) == 0) << "the file is the start of the whole export";
        // Every line that did not end within the limit was refused, the cut one among them.
        const size_t wholeLines = SplitCrLf(wide.csv).size() - 1;
        const size_t refused = wholeLines - (SplitCrLf(csv).size() - 1);
        EXPECT_EQ(IncompleteExportText(static_cast<unsigned long>(refused)), lastMessage)
            << "every later write fails silently, and the end says how many lines are missing";
        EXPECT_EQ(WholeJobLog(dbPath, form, wide.ids, refused), WithoutCopyright(LogTexts()))
            << "every document handled";
    } else {
        EXPECT_EQ(kTextFinished, lastMessage) << "every later write fails silently";
        const std::vector<std::string> wholeLog = WholeJobLog(dbPath, form, many.ids);
        EXPECT_EQ(many.csv, csv) << "every document in the CSV file";
        EXPECT_EQ(limit, log.size());
        std::vector<std::string> lines = SplitCrLf(log);
        const std::string cutLine = lines.back();
        lines.pop_back();
        std::vector<std::string> texts;
        for (const std::string& line : lines) texts.push_back(line.size() > 20 ? line.substr(20) : line);
        texts = WithoutCopyright(texts);
        ASSERT_LT(texts.size(), wholeLog.size());
        EXPECT_TRUE(std::equal(texts.begin(), texts.end(), wholeLog.begin()))
            << "the log's lines up to the limit";
        if (cutLine.size() > 20) {
            EXPECT_EQ(wholeLog[texts.size()].substr(0, cutLine.size() - 20), cutLine.substr(20))
                << "the line the limit cut";
        }
    }
    Exit(source);
}

// The unattended run on a full disk: the CSV file (under its partial name) or the log holds
// what fitted, each refused CSV line is counted, and the run goes on to its end.
TEST_P(FullDisk, UnattendedRunKeepsWhatFittedAndCountsWhatDidNot) {
    const bool destination = GetParam().file == FullFile::Destination;
    const WideDocuments wide;
    const ManyShortDocuments many;
    WriteNotesDatabase(dbPath, destination ? wide.json : many.json);
    const std::string csv = destination ? folder + "\\out.csv" : csvPath;
    const std::string log = destination ? dir.File("job.log") : folder + "\\job.log";
    const std::wstring arguments = L"/db " + text::Widen(dbPath) + L" /form " +
                                   (destination ? L"Wide" : L"Doc") + L" /csv " + text::Widen(csv) +
                                   L" /log " + text::Widen(log);
    app = std::make_unique<AppProcess>(dir.path(), dir.File("notes.ini"), dir.File("opened.txt"), arguments,
                                       dir.File("output.txt"));
    ASSERT_TRUE(app->started());
    ASSERT_TRUE(app->WaitForExit(drv::kDefaultTimeoutMs));
    const std::vector<std::string> output = SplitCrLf(ReadFileBytes(dir.File("output.txt")));
    const auto printed = [&output](const std::string& line) {
        return std::find(output.begin(), output.end(), line) != output.end();
    };
    EXPECT_TRUE(printed((destination ? folder + "\\out.partial.csv" : log) + kTextDiskFull));
    if (destination) {
        EXPECT_EQ(2u, app->ExitCode());
        const std::string written = ReadFileBytes(folder + "\\out.partial.csv");
        EXPECT_EQ(limit, written.size());
        EXPECT_TRUE(wide.csv.compare(0, limit, written) == 0) << "the file is the start of the whole export";
        const size_t refused = (SplitCrLf(wide.csv).size() - 1) - (SplitCrLf(written).size() - 1);
        EXPECT_TRUE(printed(IncompleteExportText(static_cast<unsigned long>(refused))));
        EXPECT_NE(std::string::npos,
                  ReadFileBytes(log).find("Lines not written = " + std::to_string(refused)));
    } else {
        EXPECT_EQ(0u, app->ExitCode());
        EXPECT_EQ(many.csv, ReadFileBytes(csvPath)) << "every document in the CSV file";
        const std::string written = ReadFileBytes(log);
        EXPECT_EQ(limit, written.size());
        EXPECT_NE(std::string::npos, written.find("---DEBUG    DB Path=" + dbPath))
            << "the log's first lines";
    }
}

// An attached file larger than what is left of the disk its folder is on: the run stops as a
// Notes error stops it, with status 2, no later document's files tried, the CSV file kept
// under its partial name and no part of the file that did not fit left behind. The file an
// earlier document of this run wrote is taken back, and last night's file of that name, which
// this run would have replaced had it gone through, stays as it was.
TEST_F(EndToEnd, AttachmentThatFillsTheDiskStopsTheUnattendedRun) {
    if (IsSkipped()) return;
    const std::string folder = FullDiskFolder();
    ASSERT_NE("", folder) << "run through scripts/wine-exec-full-disk as root, as ctest does";
    const size_t limit = Capacity(folder + "\\probe.bin");
    ASSERT_GT(limit, 0u) << "the full disk refuses a write with ERROR_DISK_FULL";
    ASSERT_TRUE(CreateDirectoryA((folder + "\\files").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((folder + "\\files\\NT00000008").c_str(), nullptr));
    const std::string lastNight = folder + "\\files\\NT00000008\\small.txt";
    WriteFileBytes(lastNight, "last night");
    const std::string large(limit + 8192, 'x');
    WriteNotesDatabase(dbPath,
                       R"("title":"Files","design":[{"class":"form","title":"Doc","fields":[)"
                       R"({"name":"V","type":"text"}]}],"documents":[)"
                       R"({"id":8,"items":[{"name":"V","type":"text","value":"small"},)"
                       R"({"name":"$FILE","type":"file","fileName":"small.txt","base64":"c21hbGw="}]},)"
                       R"({"id":12,"items":[{"name":"V","type":"text","value":"big"},)"
                       R"({"name":"$FILE","type":"file","fileName":"big.bin","base64":")" +
                           text::Base64(large) +
                           R"("}]},)"
                           R"({"id":16,"items":[{"name":"V","type":"text","value":"after"},)"
                           R"({"name":"$FILE","type":"file","fileName":"after.txt","base64":"YWZ0ZXI="}]}])");
    const std::wstring arguments = L"/db " + text::Widen(dbPath) + L" /form Doc /csv " +
                                   text::Widen(csvPath) + L" /attachments " + text::Widen(folder + "\\files");
    app = std::make_unique<AppProcess>(dir.path(), dir.File("notes.ini"), dir.File("opened.txt"), arguments,
                                       dir.File("output.txt"));
    ASSERT_TRUE(app->started());
    ASSERT_TRUE(app->WaitForExit(drv::kDefaultTimeoutMs));
    EXPECT_EQ(2u, app->ExitCode()) << ReadFileBytes(dir.File("output.txt"));
    EXPECT_FALSE(FileExists(csvPath));
    EXPECT_EQ(std::string("V,\x93Y\x95t\x83t\x83@\x83"
                          "C\x83\x8b\r\nsmall,") +
                  folder + "\\files\\NT00000008\\small.txt\r\n",
              ReadFileBytes(dir.File("out.partial.csv")));
    EXPECT_EQ("last night", ReadFileBytes(lastNight));
    EXPECT_FALSE(FileExists(folder + "\\files\\NT00000008\\small.partial.txt"));
    EXPECT_FALSE(FileExists(folder + "\\files\\NT0000000C\\big.bin"));
    EXPECT_FALSE(FileExists(folder + "\\files\\NT0000000C\\big.partial.bin"));
    EXPECT_FALSE(FileExists(folder + "\\files\\NT00000010\\after.txt"));
    const std::vector<std::string> output = SplitCrLf(ReadFileBytes(dir.File("output.txt")));
    EXPECT_NE(output.end(), std::find(output.begin(), output.end(),
                                      "Partial CSV file kept: " + dir.File("out.partial.csv")));
    EXPECT_NE(output.end(), std::find(output.begin(), output.end(),
                                      "Attachments left as they were: 1 files of this run removed"));
    const std::string log = ReadFileBytes(dir.File("out.log"));
    EXPECT_NE(std::string::npos, log.find("Note ID = 12 (NT0000000C), Attachment not written: big.bin: "));
    EXPECT_NE(std::string::npos, log.find("---ERROR    Notes error: "));
    EXPECT_NE(std::string::npos, log.find("Export stopped: the CSV file is incomplete"));
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, FullDisk,
                         ::testing::Values(FullDiskCase{"DestinationFillsTheDisk", FullFile::Destination},
                                           FullDiskCase{"LogFillsTheDisk", FullFile::Log}),
                         [](const ::testing::TestParamInfo<FullDiskCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
