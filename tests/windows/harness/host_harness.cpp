// Helpers of velkhost's tests.
#include "tests/windows/harness/host_harness.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>

const JsonValue& JsonValue::operator[](const std::string& key) const
{
    static const JsonValue none;
    auto i = fields.find(key);
    return i == fields.end() ? none : i->second;
}

const JsonValue& JsonValue::operator[](size_t i) const
{
    static const JsonValue none;
    return i < items.size() ? items[i] : none;
}

std::vector<int> JsonValue::Ints() const
{
    std::vector<int> v;
    for (const JsonValue& i : items)
        v.push_back(i.Int());
    return v;
}

namespace {

struct Reader {
    const std::string& s;
    size_t i = 0;
    void Space()
    {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\n' || s[i] == '\r' || s[i] == '\t'))
            ++i;
    }
    bool Eat(char c)
    {
        Space();
        if (i < s.size() && s[i] == c)
            return ++i, true;
        return false;
    }
    bool String(std::string& out)
    {
        if (!Eat('"'))
            return false;
        while (i < s.size() && s[i] != '"') {
            char c = s[i++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i >= s.size())
                return false;
            char e = s[i++];
            if (e == 'n')
                out += '\n';
            else if (e == 'r')
                out += '\r';
            else if (e == 't')
                out += '\t';
            else if (e == 'u') {
                if (i + 4 > s.size())
                    return false;
                long code = std::strtol(s.substr(i, 4).c_str(), nullptr, 16);
                if (code >= 0x80)
                    return false; // the summary escapes control characters only
                out += char(code);
                i += 4;
            } else
                out += e;
        }
        return Eat('"');
    }
    bool Value(JsonValue& v)
    {
        Space();
        if (i >= s.size())
            return false;
        char c = s[i];
        if (c == '{') {
            v.kind = JsonValue::Object;
            ++i;
            if (Eat('}'))
                return true;
            do {
                std::string key;
                if (!String(key) || !Eat(':') || !Value(v.fields[key]))
                    return false;
            } while (Eat(','));
            return Eat('}');
        }
        if (c == '[') {
            v.kind = JsonValue::Array;
            ++i;
            if (Eat(']'))
                return true;
            do {
                v.items.emplace_back();
                if (!Value(v.items.back()))
                    return false;
            } while (Eat(','));
            return Eat(']');
        }
        if (c == '"')
            return v.kind = JsonValue::String, String(v.text);
        for (const char* word : {"true", "false", "null"})
            if (s.compare(i, std::strlen(word), word) == 0) {
                i += std::strlen(word);
                v.kind = word[0] == 'n' ? JsonValue::Null : JsonValue::Bool;
                v.boolean = word[0] == 't';
                return true;
            }
        char* end = nullptr;
        v.number = std::strtod(s.c_str() + i, &end);
        if (end == s.c_str() + i)
            return false;
        i = size_t(end - s.c_str());
        v.kind = JsonValue::Number;
        return true;
    }
};

} // namespace

bool ParseJson(const std::string& text, JsonValue& out)
{
    Reader r{text};
    if (!r.Value(out))
        return false;
    r.Space();
    return r.i == text.size();
}

std::string WinPath(const std::string& unixPath)
{
    std::string w = "Z:" + unixPath;
    for (char& c : w)
        if (c == '/')
            c = '\\';
    return w;
}

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

HostRun RunHost(const std::string& args)
{
    HostRun run;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string line = Quote(WinPath(VELKHOST_EXE)) + " " + args;
    PROCESS_INFORMATION pi = {};
    const DWORD start = GetTickCount();
    // Under a busy Wine a process start now and then fails at once; try again.
    BOOL made = FALSE;
    for (int attempt = 0; attempt < 3 && !made; ++attempt) {
        if (attempt)
            Sleep(200);
        made = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                              &pi);
    }
    CloseHandle(writeEnd);
    if (!made) {
        CloseHandle(readEnd);
        run.exitCode = 0xFFFFFFFF;
        return run;
    }
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n)
        run.output.append(buf, n);
    CloseHandle(readEnd);
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    run.seconds = (GetTickCount() - start) / 1000.0;
    std::istringstream lines(run.output);
    for (std::string l; std::getline(lines, l);) {
        if (l.compare(0, 9, "VELKHOST ") != 0)
            continue;
        EXPECT_TRUE(run.summary.empty()) << "more than one summary line";
        run.summary = l.substr(9);
        EXPECT_TRUE(ParseJson(run.summary, run.json)) << run.summary;
    }
    return run;
}

std::string TestFolder()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // A run at another screen scaling (VELK_DPI) works in folders of its own.
    const char* dpi = std::getenv("VELK_DPI");
    std::string folder = WinPath(WORK_DIR) + "\\" + info->test_suite_name() + "." + info->name() +
                         (dpi && *dpi ? std::string("-dpi") + dpi : std::string());
    CreateDirectoryA(WinPath(WORK_DIR).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    return folder + "\\";
}

bool SavePixels(const std::string& path, const Pixels& p)
{
    return stbi_write_png(path.c_str(), p.width, p.height, p.channels, p.bytes.data(),
                          p.width * p.channels) != 0;
}

Pixels LoadPixels(const std::string& path)
{
    Pixels p;
    stbi_uc* data = stbi_load(path.c_str(), &p.width, &p.height, &p.channels, 0);
    if (!data)
        return Pixels();
    p.bytes.assign(data, data + size_t(p.width) * p.height * p.channels);
    stbi_image_free(data);
    return p;
}

std::map<std::string, std::string> ProbeLog::Find(const std::string& head) const
{
    std::map<std::string, std::string> words;
    for (const std::string& l : lines) {
        std::istringstream in(l);
        std::string first;
        in >> first;
        if (first != head)
            continue;
        for (std::string w; in >> w;) {
            size_t eq = w.find('=');
            words[w.substr(0, eq)] = eq == std::string::npos ? "" : w.substr(eq + 1);
        }
        words[""] = head;
        break;
    }
    return words;
}

int ProbeLog::Count(const std::string& head) const
{
    int n = 0;
    for (const std::string& l : lines)
        n += l.compare(0, head.size(), head) == 0;
    return n;
}

ProbeLog ReadProbeLog(const std::string& path)
{
    ProbeLog log;
    std::ifstream in(path);
    for (std::string l; std::getline(in, l);)
        log.lines.push_back(l);
    return log;
}

void SetProbe(const std::string& action, const std::string& logPath)
{
    SetEnvironmentVariableA("VELKPROBE_ACTION", action.c_str());
    SetEnvironmentVariableA("VELKPROBE_LOG", logPath.c_str());
}
