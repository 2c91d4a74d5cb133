#pragma once

// A helper process for tests (a local FTP or web server): started with pipes on its standard
// input and output, ended when the object goes. The scripts in tests/support end by themselves
// when their standard input closes, so they never outlive a crashed test either.

#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace uitest {

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // One line of the child's output without its line break; "" after timeoutMs or at its end.
    std::string readLine(int timeoutMs);

private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string buffer_;
};

// A Python 3 interpreter that can import the module ("" when there is none). The system's own
// interpreter is tried first: that is where Debian's python3-* packages install.
std::string pythonWith(const std::string& module);

// A helper script of tests/support.
std::filesystem::path supportScript(const std::string& name);

} // namespace uitest
