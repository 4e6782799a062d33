// A small registry of named end-to-end cases and the checks they make.
// Each case is its own ctest test: the test program runs the case named on
// its command line, prints every failed check with file, line and values,
// and exits 0 only when no check failed.
#pragma once

#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace tav::e2e {

// Thrown by REQUIRE and by the driver when a case cannot go on.
struct Abort : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void register_case(const char* name, std::function<void()> body);
void record_failure(const char* file, int line, const std::string& message);
int failure_count();

template <class T>
std::string show(const T& value);

template <class T>
concept ItemRange = !std::is_convertible_v<const T&, std::string_view> && requires(const T& r) {
    r.begin();
    r.end();
};

template <class T>
std::string show(const T& value) {
    std::ostringstream out;
    if constexpr (std::is_convertible_v<const T&, std::string_view>) {
        out << '"' << std::string_view(value) << '"';
    } else if constexpr (ItemRange<T>) {
        out << '{';
        const char* separator = "";
        for (const auto& item : value) {
            out << separator << show(item);
            separator = ", ";
        }
        out << '}';
    } else if constexpr (std::is_enum_v<T>) {
        out << static_cast<long long>(value);
    } else {
        out << value;
    }
    return out.str();
}

template <class A, class B>
bool check_equal(const A& actual, const B& expected, const char* actual_text,
                 const char* file, int line, const std::string& context) {
    if (actual == expected) return true;
    record_failure(file, line,
                   std::string(actual_text) + " is " + show(actual) + ", expected " +
                       show(expected) + (context.empty() ? "" : " [" + context + "]"));
    return false;
}

struct CaseRegistrar {
    CaseRegistrar(const char* name, std::function<void()> body) {
        register_case(name, std::move(body));
    }
};

// Text describing where a table-driven check is, e.g. "control 38".
std::string context();
struct ContextScope {
    explicit ContextScope(std::string text);
    ~ContextScope();
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;
    std::string saved;
};

}  // namespace tav::e2e

// Defines a case; the line must start with TAV_CASE( so that the build can
// find the case names in the sources.
#define TAV_CASE(name)                                                   \
    static void tav_case_##name();                                       \
    static const ::tav::e2e::CaseRegistrar tav_case_reg_##name(#name,    \
                                                               tav_case_##name); \
    static void tav_case_##name()

#define TAV_CONCAT2(a, b) a##b
#define TAV_CONCAT(a, b) TAV_CONCAT2(a, b)
// Names what the checks that follow in this scope are about.
#define CONTEXT(text) \
    const ::tav::e2e::ContextScope TAV_CONCAT(tav_context_, __LINE__)(text)

#define CHECK(cond)                                                               \
    ((cond) ? true                                                                \
            : (::tav::e2e::record_failure(__FILE__, __LINE__,                     \
                                          std::string("CHECK(" #cond ") failed") + \
                                              (::tav::e2e::context().empty()      \
                                                   ? ""                           \
                                                   : " [" + ::tav::e2e::context() + "]")), \
               false))

#define CHECK_EQ(actual, expected) \
    ::tav::e2e::check_equal((actual), (expected), #actual, __FILE__, __LINE__, ::tav::e2e::context())

// Like CHECK, but ends the case: later steps would only add noise.
#define REQUIRE(cond)                                                \
    do {                                                             \
        if (!CHECK(cond)) throw ::tav::e2e::Abort("requirement failed"); \
    } while (0)
