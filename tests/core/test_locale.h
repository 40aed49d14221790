#pragma once
// A user locale with day/month/year dates and a decimal comma, built once into a
// temporary folder (the machine may have only the C locales installed).
#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

inline bool FrenchLocaleAvailable() {
    static const bool available = [] {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("ostrel-locale-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        const std::string cmd = "localedef -i fr_FR -f UTF-8 '" + (dir / "fr_FR.UTF-8").string() +
                                "' >/dev/null 2>&1";
        static const struct Remove {
            std::filesystem::path dir;
            ~Remove() {
                std::error_code ignored;
                std::filesystem::remove_all(dir, ignored);
            }
        } remove{dir};
        if (std::system(cmd.c_str()) != 0) return false;
        setenv("LOCPATH", dir.c_str(), 1);
        return true;
    }();
    return available;
}

// Sets LC_ALL for the scope, as the application does from the user's settings.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : old_(std::setlocale(LC_ALL, nullptr)) {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, old_.c_str()); }
    bool ok() const { return ok_; }

private:
    std::string old_;
    bool ok_ = false;
};

#define REQUIRE_FRENCH_LOCALE(guard)                                              \
    if (!FrenchLocaleAvailable()) GTEST_SKIP() << "localedef cannot build fr_FR"; \
    ScopedLocale guard("fr_FR.UTF-8");                                            \
    if (!guard.ok()) GTEST_SKIP() << "fr_FR locale not usable"
