#pragma once
// A temporary folder with files to choose, and a recording stand-in for a dialog program: a
// shell script that logs its arguments and answers each call as the test scripted it.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace x11menus_test {

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/vorna-x11menus-XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made ? made : "";
    }
    ~TempFolder() {
        if (path_.size() > 5) {
            std::string command = "rm -rf '" + path_ + "'";
            int ignored = std::system(command.c_str());
            (void)ignored;
        }
    }
    const std::string& Path() const { return path_; }
    std::string Make(const std::string& folder) const {
        std::string full = path_ + "/" + folder;
        mkdir(full.c_str(), 0755);
        return full;
    }
    std::string Write(const std::string& name, const std::string& text) const {
        std::string full = path_ + "/" + name;
        std::ofstream(full, std::ios::binary) << text;
        return full;
    }

private:
    std::string path_;
};

// PATH for the duration of a test.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& path) {
        const char* old = std::getenv("PATH");
        saved_ = old ? old : "";
        setenv("PATH", path.c_str(), 1);
    }
    ~ScopedPath() { setenv("PATH", saved_.c_str(), 1); }

private:
    std::string saved_;
};

class StandIn {
public:
    // Writes the program `name` into folder/bin.
    StandIn(const TempFolder& folder, const std::string& name) : dir_(folder.Make("bin")) {
        std::ofstream script(dir_ + "/" + name, std::ios::binary);
        script << "#!/bin/sh\n"
               << "d='" << dir_ << "'\n"
               << "for a in \"$@\"; do printf '%s\\037' \"$a\" >> \"$d/log\"; done\n"
               << "printf '\\036' >> \"$d/log\"\n"
               << "n=$(/bin/cat \"$d/count\" 2>/dev/null)\n"
               << "n=$((${n:-0}+1))\n"
               << "echo $n > \"$d/count\"\n"
               << "[ -f \"$d/sleep$n\" ] && /bin/sleep $(/bin/cat \"$d/sleep$n\")\n"
               << "[ -f \"$d/kill$n\" ] && kill -9 $$\n"
               << "[ -f \"$d/linger$n\" ] && { exec >&-; /bin/sleep 30; }\n"
               << "[ -f \"$d/answer$n\" ] && /bin/cat \"$d/answer$n\"\n"
               << "exit $(/bin/cat \"$d/status$n\" 2>/dev/null || echo 0)\n";
        script.close();
        chmod((dir_ + "/" + name).c_str(), 0755);
    }
    const std::string& Folder() const { return dir_; }

    // What call number `call` (from 1, counted over the stand-in's life) prints and returns.
    void Script(int call, const std::string& output, int status) {
        std::ofstream(dir_ + "/answer" + std::to_string(call), std::ios::binary) << output;
        std::ofstream(dir_ + "/status" + std::to_string(call)) << status;
    }
    void KillOn(int call) { std::ofstream(dir_ + "/kill" + std::to_string(call)) << "1"; }
    // Closes its output, then does not end.
    void LingerOn(int call) { std::ofstream(dir_ + "/linger" + std::to_string(call)) << "1"; }
    void SleepOn(int call, const std::string& seconds) {
        std::ofstream(dir_ + "/sleep" + std::to_string(call)) << seconds;
    }

    // The arguments of every call so far.
    std::vector<std::vector<std::string>> Calls() const {
        std::ifstream in(dir_ + "/log", std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::vector<std::string>> calls;
        std::vector<std::string> current;
        std::string arg;
        for (char c : text) {
            if (c == '\037') {
                current.push_back(arg);
                arg.clear();
            } else if (c == '\036') {
                calls.push_back(current);
                current.clear();
            } else {
                arg += c;
            }
        }
        return calls;
    }
    std::vector<std::string> LastCall() const {
        auto calls = Calls();
        return calls.empty() ? std::vector<std::string>() : calls.back();
    }

private:
    std::string dir_;
};

} // namespace x11menus_test
