#include "hid/HidTrace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Runs `body` with stdout sent to a temporary file and returns what it wrote.
template <typename Body>
std::string captureStdout(Body body)
{
    std::fflush(stdout);
    std::FILE* file = std::tmpfile();
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(::fileno(file), STDOUT_FILENO);
    body();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    std::string text;
    std::rewind(file);
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

struct EnvironmentCase {
    const char* name;
    const char* value;  // null: unset
    bool printed;
};

const EnvironmentCase kEnvironmentCases[] = {
    {"One", "1", true},
    {"Unset", nullptr, false},
    {"Zero", "0", false},
    {"Other", "yes", false},
};

class TraceEnvironment : public testing::TestWithParam<EnvironmentCase> {
protected:
    ~TraceEnvironment() override { ::unsetenv("MOUSECFG_TRACE"); }
};

TEST_P(TraceEnvironment, PrintsUtf8OnlyWhenTurnedOn)
{
    if (GetParam().value != nullptr)
        ::setenv("MOUSECFG_TRACE", GetParam().value, 1);
    else
        ::unsetenv("MOUSECFG_TRACE");
    const std::string printed = captureStdout([] { hidTrace(L"已读长度为 %d\n", 65); });
    EXPECT_EQ(printed, GetParam().printed ? "\xE5\xB7\xB2\xE8\xAF\xBB\xE9\x95\xBF\xE5\xBA\xA6\xE4\xB8\xBA 65\n" : "");
}

INSTANTIATE_TEST_SUITE_P(Variable, TraceEnvironment, testing::ValuesIn(kEnvironmentCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TraceSink, ReceivesFormattedLinesInsteadOfStdout)
{
    ::setenv("MOUSECFG_TRACE", "1", 1);
    std::wstring received;
    setHidTraceSink([&](std::wstring_view line) { received += line; });
    const std::string printed = captureStdout([] { hidTrace(L"open dev: %08x\n", 0xffffffffu); });
    setHidTraceSink(nullptr);
    ::unsetenv("MOUSECFG_TRACE");
    EXPECT_EQ(received, L"open dev: ffffffff\n");
    EXPECT_EQ(printed, "");
}

TEST(TraceSink, LongLinesAreNotCut)
{
    std::wstring received;
    setHidTraceSink([&](std::wstring_view line) { received = line; });
    const std::wstring longText(5000, L'a');
    hidTrace(L"%ls\n", longText.c_str());
    setHidTraceSink(nullptr);
    EXPECT_EQ(received, longText + L"\n");
}

}  // namespace
