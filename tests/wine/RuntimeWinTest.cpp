// The C++ runtime's errors as the program links it: the library's checks raise ERuntimeError,
// which every handler's guard catches as a std::exception, with the library's text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Runtime_win.h"

namespace {
#if defined(__GLIBCXX__)
template <class F>
std::string CaughtText(F&& f)
{
    try {
        f();
    } catch (const ERuntimeError& e) {
        return e.what();
    } catch (const std::exception&) {
        return "a std::exception of another type";
    }
    return "nothing raised";
}

TEST(RuntimeErrorsTest, LibraryChecksRaiseTheProgramsOwnError)
{
    std::string text = "abc";
    std::vector<int> numbers(2);
    EXPECT_NE(CaughtText([&] { (void)text.at(7); }).find("basic_string"), std::string::npos);
    EXPECT_NE(CaughtText([&] { (void)numbers.at(2); }).find("vector"), std::string::npos);
    EXPECT_NE(CaughtText([&] { text.reserve(text.max_size() + 1); }).find("basic_string"), std::string::npos);
    EXPECT_NE(CaughtText([&] { (void)std::stoi("x"); }).find("stoi"), std::string::npos);
}

TEST(RuntimeErrorsTest, ErrorsWithoutTextStayTheStandardOnes)
{
    EXPECT_THROW((void)std::vector<char>(std::size_t(-1) / 2), std::bad_alloc);
}
#endif
}  // namespace
