// The command lines of the tools: each argument in turn, and the value after an option
// read as text, as a whole number or as a real number within bounds. Each tool keeps its
// own table of options; the messages for an unknown option or a bad value are the same
// in all of them.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace cli {

class Args {
public:
    Args(const char* tool, int argc, char** argv) : tool_(tool), argc_(argc), argv_(argv) {}

    // Steps to the next argument; false past the last.
    bool Next() {
        if (i_ + 1 >= argc_) return false;
        option_ = argv_[++i_];
        return true;
    }

    // The current argument.
    const std::string& Option() const { return option_; }

    // The argument after the current one, taken as its value; false when there is none.
    bool Text(std::string& v) {
        if (i_ + 1 >= argc_) return false;
        v = argv_[++i_];
        return true;
    }

    // The value as a decimal whole number in [lo, hi]; false, v unchanged, otherwise.
    bool Int(int& v, long lo, long hi) {
        std::string s;
        if (!Text(s) || s.empty()) return false;
        char* end = nullptr;
        const long n = std::strtol(s.c_str(), &end, 10);
        if (*end || n < lo || n > hi) return false;
        v = static_cast<int>(n);
        return true;
    }

    // The value as a real number in [lo, hi]; false, v unchanged, otherwise.
    bool Real(double& v, double lo, double hi) {
        std::string s;
        if (!Text(s) || s.empty()) return false;
        char* end = nullptr;
        const double x = std::strtod(s.c_str(), &end);
        if (*end || !(x >= lo && x <= hi)) return false;
        v = x;
        return true;
    }

    // Say that the current option is unknown, or its value bad or missing; false, for the
    // caller to return.
    bool Unknown() const {
        std::fprintf(stderr, "%s: unknown option %s\n", tool_, option_.c_str());
        return false;
    }
    bool BadValue() const {
        std::fprintf(stderr, "%s: bad or missing value for %s\n", tool_, option_.c_str());
        return false;
    }

private:
    const char* tool_;
    int argc_;
    char** argv_;
    int i_ = 0;
    std::string option_;
};

} // namespace cli
