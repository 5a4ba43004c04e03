// libstdc++ 12 hides <expected> from clang unless __cpp_concepts is raised (see CMakeLists.txt).
// This proves that, so raised, std::expected is the type the core relies on: trivial copies
// and destruction where both sides have them, and every value and error constructed and
// destroyed exactly once through construction, copies, moves, assignments across the two
// states and swaps. ASan's leak check at exit sees any lost payload.

#include <cstdio>
#include <cstdlib>
#include <expected>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

namespace {

// The same answers as GCC 12 gives with the same library.
static_assert(std::is_trivially_copy_constructible_v<std::expected<int, int>>);
static_assert(std::is_trivially_move_constructible_v<std::expected<int, int>>);
static_assert(std::is_trivially_destructible_v<std::expected<double, int>>);
static_assert(std::is_trivially_copy_constructible_v<std::expected<void, int>>);
static_assert(!std::is_trivially_destructible_v<std::expected<std::string, int>>);
static_assert(!std::is_trivially_copy_assignable_v<std::expected<int, std::string>>);
static_assert(!std::is_copy_constructible_v<std::expected<std::unique_ptr<int>, int>>);
static_assert(std::is_nothrow_move_constructible_v<std::expected<std::unique_ptr<int>, int>>);

int alive = 0;
int failures = 0;

struct Counted {
    std::string text;
    explicit Counted(std::string t) : text(std::move(t)) { ++alive; }
    Counted(const Counted& other) : text(other.text) { ++alive; }
    Counted(Counted&& other) noexcept : text(std::move(other.text)) { ++alive; }
    Counted& operator=(const Counted&) = default;
    Counted& operator=(Counted&&) noexcept = default;
    ~Counted() { --alive; }
};

void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "std::expected misbehaves: %s\n", what);
    ++failures;
}

using Value = std::expected<Counted, std::string>;
using Failure = std::expected<int, Counted>;

void valuesAndErrors() {
    Value value{Counted("figure")};
    Value error{std::unexpected("refused")};
    check(value.has_value() && value->text == "figure", "holds its value");
    check(!error && error.error() == "refused", "holds its error");
    check(error.value_or(Counted("fallback")).text == "fallback", "value_or");

    Value copy = value;
    check(copy->text == "figure" && alive == 2, "copy makes one more value");
    copy = error;  // value to error: the value is destroyed
    check(!copy && alive == 1, "assigning an error destroys the value");
    copy = value;  // error to value
    check(copy && copy->text == "figure" && alive == 2, "assigning a value constructs one");
    Value moved = std::move(copy);
    check(moved->text == "figure", "move keeps the value");
    swap(moved, error);
    check(!moved && error && error->text == "figure", "swap across states");

    Failure failed{std::unexpect, Counted("keychain")};
    check(!failed && failed.error().text == "keychain" && alive == 4, "error payload alive");
    failed = 7;
    check(failed && *failed == 7 && alive == 3, "assigning a value destroys the error payload");
}

void voidAndThrowing() {
    std::expected<void, std::string> done;
    std::expected<void, std::string> refused{std::unexpect, "no"};
    check(done.has_value() && !refused && refused.error() == "no", "expected<void, E>");
    check(done != refused && done == std::expected<void, std::string>{}, "comparison");

    std::expected<int, std::string> none{std::unexpect, "absent"};
    bool threw = false;
    try {
        static_cast<void>(none.value());
    } catch (const std::bad_expected_access<std::string>& e) {
        threw = e.error() == "absent";
    }
    check(threw, "value() of an error throws bad_expected_access with the error");
}

}  // namespace

int main() {
    valuesAndErrors();
    check(alive == 0, "every value and error destroyed exactly once");
    voidAndThrowing();
    if (failures == 0) std::puts("std::expected behaves");
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
