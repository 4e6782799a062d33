#include "check.h"

#include <cstdio>
#include <map>

#include "driver.h"

namespace tav::e2e {
namespace {

std::map<std::string, std::function<void()>>& cases() {
    static std::map<std::string, std::function<void()>> all;
    return all;
}

int g_failures = 0;
std::string g_context;

}  // namespace

void register_case(const char* name, std::function<void()> body) {
    cases().emplace(name, std::move(body));
}

void record_failure(const char* file, int line, const std::string& message) {
    ++g_failures;
    std::printf("%s:%d: %s\n", file, line, message.c_str());
    std::fflush(stdout);
}

int failure_count() { return g_failures; }

std::string context() { return g_context; }

ContextScope::ContextScope(std::string text) : saved(g_context) {
    g_context = saved.empty() ? std::move(text) : saved + ", " + text;
}

ContextScope::~ContextScope() { g_context = std::move(saved); }

}  // namespace tav::e2e

// Usage: <program> <case>   runs one case
//        <program> --list   prints the names of all cases
int main(int argc, char** argv) {
    using namespace tav::e2e;
    if (argc == 2 && std::string_view(argv[1]) == "--list") {
        for (const auto& [name, body] : cases()) std::printf("%s\n", name.c_str());
        return 0;
    }
    if (argc != 2) {
        std::printf("usage: %s <case> | --list\n", argv[0]);
        return 2;
    }
    const auto found = cases().find(argv[1]);
    if (found == cases().end()) {
        std::printf("no case named %s\n", argv[1]);
        return 2;
    }
    try {
        // Every case starts at 96 DPI, even after one that was killed while
        // it had set another.
        set_screen_dpi(96);
        found->second();
    } catch (const Abort& stop) {
        std::printf("case %s stopped: %s\n", argv[1], stop.what());
        if (g_failures == 0) ++g_failures;  // a stop is always a failure
    } catch (const std::exception& error) {
        std::printf("case %s threw: %s\n", argv[1], error.what());
        ++g_failures;
    }
    std::printf("%s %s (%d failed check%s)\n", g_failures ? "FAIL" : "PASS", argv[1],
                g_failures, g_failures == 1 ? "" : "s");
    return g_failures ? 1 : 0;
}
