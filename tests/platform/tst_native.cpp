// The operating system's services in plain C++ (platform/native), the same tests on every
// system: built natively here, and with mingw-w64 for Windows and run under Wine
// (scripts/test-windows.sh). No Qt, so that the Windows build needs nothing but the compiler.
// The test starts copies of itself as the other programs of the family.
#include "platform/native.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

int passed = 0;
int failed = 0;

bool check(bool ok, const char* what, int line)
{
    if (ok) {
        ++passed;
        return true;
    }
    ++failed;
    std::printf("FAIL line %d: %s\n", line, what);
    return false;
}
// A failed check ends its test, as Qt Test's do: what follows may rely on it (a file opened).
#define CHECK(condition)                                                                                               \
    do {                                                                                                               \
        if (!check((condition), #condition, __LINE__))                                                                 \
            return;                                                                                                    \
    } while (false)

std::u16string u16(const fs::path& path)
{
    return path.u16string();
}

// Paths travel between the programs as UTF-8, whatever the system's code page is.
std::string utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path pathOf(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

fs::path self()
{
#ifdef _WIN32
    wchar_t buffer[MAX_PATH];
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return fs::path(buffer);
#else
    return fs::read_symlink("/proc/self/exe");
#endif
}

int processId()
{
#ifdef _WIN32
    return int(GetCurrentProcessId());
#else
    return int(getpid());
#endif
}

// Waits for a file another process makes; the limit only catches a hang.
bool waitFor(const fs::path& file)
{
    for (int i = 0; i < 3000; ++i) {
        if (fs::exists(file))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void touch(const fs::path& file)
{
    std::ofstream(file) << "1";
}

std::u16string fromUtf8(const std::string& text)
{
    return fs::path(std::u8string(text.begin(), text.end())).u16string();
}

std::string hex(const std::string& bytes)
{
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02X", c);
        out += b;
    }
    return out;
}

bool start(const std::vector<std::string>& args, const fs::path& folder)
{
    std::vector<std::u16string> arguments;
    for (const auto& a : args)
        arguments.push_back(fromUtf8(a));
    return native::startDetached(u16(self()), arguments, u16(folder));
}

// ---- the other programs ---------------------------------------------------------------------

int holdLock(const fs::path& file, const fs::path& ready, const fs::path& release)
{
    auto opened = native::openRecordFile(u16(file));
    if (!opened.file || !opened.file->tryLock(0, 44))
        return 1;
    touch(ready);
    waitFor(release);
    return 0;
}

int append(const fs::path& file, int count, char worker, const fs::path& done)
{
    for (int n = 0; n < count; ++n) {
        auto opened = native::openRecordFile(u16(file));
        if (!opened.file)
            return 1;
        while (!opened.file->tryLock(0, 44)) {
            if (opened.file->failure() != native::Failure::Sharing)
                return 2;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const std::int64_t at = opened.file->size() / 44 * 44;
        const std::string record(44, worker);
        if (!opened.file->writeAt(at, record.data(), 44) || !opened.file->unlock(0, 44))
            return 3;
    }
    touch(done);
    return 0;
}

int holdClaim(const std::string& name, const fs::path& ready, const fs::path& release, bool clean)
{
    auto claim = native::makeInstanceClaim(fromUtf8(name));
    if (!claim->claim())
        return 1;
    touch(ready);
    waitFor(release);
    if (!clean)
        std::_Exit(3); // ended without a word, as a killed program is
    claim.reset();
    touch(fs::path(release) += ".done");
    return 0;
}

// Writes beside the file and renames it: the test sees the file only once it is whole.
int stub(const fs::path& out, const std::string& argument)
{
    fs::path partial = out;
    partial += ".part";
    std::ofstream(partial) << argument << "\n" << utf8(fs::current_path()) << "\n";
    fs::rename(partial, out);
    return 0;
}

// ---- the tests ------------------------------------------------------------------------------

void codePage932()
{
    const struct
    {
        std::u16string text;
        std::string bytes;
    } table[] = {{u"①", "\x87\x40"},
                 {u"Ⅲ", "\x87\x56"},
                 {u"髙", "\xFB\xFC"},
                 {u"～", "\x81\x60"},
                 {u"－", "\x81\x7C"},
                 {u"\\", "\x5C"},
                 {u"ﾚﾍﾞﾙ", "\xDA\xCD\xDE\xD9"},
                 {u"　", "\x81\x40"},
                 {u"成績累積データ", "\x90\xAC\x90\xD1\x97\xDD\x90\xCF\x83\x66\x81\x5B\x83\x5E"}};
    for (const auto& row : table) {
        const auto encoded = native::encodeCp932(row.text);
        CHECK(!encoded.unencodable);
        CHECK(hex(encoded.bytes) == hex(row.bytes));
        CHECK(native::decodeCp932(row.bytes) == row.text);
    }
    CHECK(native::encodeCp932(u"−").bytes == "\x81\x7C");  // the JIS minus
    CHECK(native::encodeCp932(u"〜").bytes == "\x81\x60"); // the JIS wave dash
    const struct
    {
        std::string bytes;
        std::u16string text;
    } invalid[] = {{"\x85\x40"
                    "c",
                    u"\uFFFDc"},
                   {"x\x81", u"x\uFFFD"},
                   {"\x85"
                    "0",
                    u"\uFFFD0"},
                   {"\x93\",1", u"\uFFFD\",1"}};
    for (const auto& row : invalid)
        CHECK(native::decodeCp932(row.bytes) == row.text);
    CHECK(native::encodeCp932(u"café").unencodable == U'é');
    CHECK(native::encodeCp932(u"a😀b").unencodable == U'😀');
    CHECK(native::encodeCp932(u"名한").unencodable == U'한');
}

void recordLockBetweenPrograms(const fs::path& dir)
{
    const fs::path file = dir / "成績累積データ.dat";
    CHECK(start({"hold-lock", utf8(file), utf8(dir / "locked"), utf8(dir / "release")}, dir));
    CHECK(waitFor(dir / "locked"));
    auto mine = native::openRecordFile(u16(file));
    CHECK(mine.file != nullptr);
    CHECK(!mine.file->tryLock(0, 44));
    CHECK(mine.file->failure() == native::Failure::Sharing);
    touch(dir / "release");
    bool taken = false;
    for (int i = 0; i < 3000 && !taken; ++i) {
        taken = mine.file->tryLock(0, 44);
        if (!taken)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    CHECK(taken);
    CHECK(mine.file->unlock(0, 44));
}

void appendsFromTwoPrograms(const fs::path& dir)
{
    const fs::path file = dir / "成績累積データ家庭用.dat";
    constexpr int kEach = 50;
    CHECK(start({"append", utf8(file), std::to_string(kEach), "A", utf8(dir / "doneA")}, dir));
    CHECK(start({"append", utf8(file), std::to_string(kEach), "B", utf8(dir / "doneB")}, dir));
    CHECK(waitFor(dir / "doneA"));
    CHECK(waitFor(dir / "doneB"));
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CHECK(bytes.size() == 2 * kEach * 44);
    CHECK(std::count(bytes.begin(), bytes.end(), 'A') == kEach * 44);
    CHECK(std::count(bytes.begin(), bytes.end(), 'B') == kEach * 44);
}

void singleInstance(const fs::path& dir)
{
    const std::string name = "divisor-drill-test-" + std::to_string(processId());
    CHECK(start({"claim", name, utf8(dir / "claimed"), utf8(dir / "end")}, dir));
    CHECK(waitFor(dir / "claimed"));
    CHECK(!native::makeInstanceClaim(fromUtf8(name))->claim());
    touch(dir / "end");
    bool claimed = false;
    for (int i = 0; i < 3000 && !claimed; ++i) {
        claimed = native::makeInstanceClaim(fromUtf8(name))->claim();
        if (!claimed)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    CHECK(claimed); // the copy that ended without a word does not block the next start
}

#ifndef _WIN32
// A copy that ends cleanly leaves no lock file behind (one per installation ever used).
void noLockFileLeft(const fs::path& dir)
{
    const std::string name = "divisor-drill-test-clean-" + std::to_string(processId());
    const fs::path lockFile = fs::path(native::instanceClaimFolder()) / (name + ".lock");
    CHECK(start({"claim-clean", name, utf8(dir / "claimed2"), utf8(dir / "end2")}, dir));
    CHECK(waitFor(dir / "claimed2"));
    CHECK(fs::exists(lockFile));
    // The user's own: nobody else can take or block it.
    struct stat folder
    {
    };
    struct stat file
    {
    };
    CHECK(::stat(lockFile.parent_path().c_str(), &folder) == 0 && (folder.st_mode & 077) == 0);
    CHECK(::stat(lockFile.c_str(), &file) == 0 && (file.st_mode & 077) == 0 && file.st_uid == ::geteuid());
    touch(dir / "end2");
    CHECK(waitFor(dir / "end2.done"));
    CHECK(!fs::exists(lockFile));
    CHECK(native::makeInstanceClaim(fromUtf8(name))->claim());
}

// A pipe under a record file's name is refused at once instead of holding the program.
void pipeIsNoRecordFile(const fs::path& dir)
{
    const fs::path pipe = dir / "記録待ち成績.dat";
    CHECK(::mkfifo(pipe.c_str(), 0644) == 0);
    const auto opened = native::openRecordFile(u16(pipe));
    CHECK(opened.file == nullptr);
    CHECK(native::reasonOf(opened.code) == native::Reason::NotAFile);
}
#endif

void launcher(const fs::path& dir)
{
    const fs::path folder = dir / "起動";
    fs::create_directories(folder);
    const fs::path out = dir / "started.txt";
    CHECK(start({"stub", utf8(out), "001"}, folder));
    CHECK(waitFor(out));
    std::ifstream in(out);
    std::string argument;
    std::string cwd;
    std::getline(in, argument);
    std::getline(in, cwd);
    CHECK(argument == "001");
    CHECK(fs::equivalent(pathOf(cwd), folder));
    CHECK(!native::startDetached(u16(dir / "no-such-program.exe"), {}, u16(dir)));
}

int runChecked(const std::vector<std::string>& args);

// Every failure ends as a failed check with its reason, never as an uncaught exception.
int run(const std::vector<std::string>& args)
{
    try {
        return runChecked(args);
    } catch (const std::exception& e) {
        std::printf("FAIL: %s\n", e.what());
        return 1;
    }
}

int runChecked(const std::vector<std::string>& args)
{
    if (!args.empty() && args[0] == "hold-lock" && args.size() == 4)
        return holdLock(pathOf(args[1]), pathOf(args[2]), pathOf(args[3]));
    if (!args.empty() && args[0] == "append" && args.size() == 5)
        return append(pathOf(args[1]), std::atoi(args[2].c_str()), args[3][0], pathOf(args[4]));
    if (!args.empty() && (args[0] == "claim" || args[0] == "claim-clean") && args.size() == 4)
        return holdClaim(args[1], pathOf(args[2]), pathOf(args[3]), args[0] == "claim-clean");
    if (!args.empty() && args[0] == "stub" && args.size() == 3)
        return stub(pathOf(args[1]), args[2]);

    const fs::path dir = fs::temp_directory_path() / ("native-test-" + std::to_string(processId()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    codePage932();
    recordLockBetweenPrograms(dir);
    appendsFromTwoPrograms(dir);
    singleInstance(dir);
#ifndef _WIN32
    noLockFileLeft(dir);
    pipeIsNoRecordFile(dir);
#endif
    launcher(dir);
    fs::remove_all(dir);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t* argv[])
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(utf8(fs::path(argv[i])));
    return run(args);
}
#else
int main(int argc, char* argv[])
{
    return run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
