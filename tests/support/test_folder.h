#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace studlab::testing {

// A folder of the running test's own under the test temporary directory. Its name holds the
// test and the process, so two builds that test at once never share one. Removed at the end.
class TTestFolder {
public:
    TTestFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "studlab-";
        if (info != nullptr)
            name += std::string(info->test_suite_name()) + "-" + info->name() + "-";
        name += std::to_string(getpid());
        for (char& c : name) {
            if (c == '/') c = '-';  // parameterised tests: "Suite/Prefix", "Name/0"
        }
        m_path = std::filesystem::path(::testing::TempDir()) / name;
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TTestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TTestFolder(const TTestFolder&) = delete;
    TTestFolder& operator=(const TTestFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return m_path / name;
    }

private:
    std::filesystem::path m_path;
};

}  // namespace studlab::testing
