#pragma once
// SANE's own "test" backend as the scanner: a private configuration folder that loads only that
// backend, with the options a test wants, named by SANE_CONFIG_DIR for as long as it lives.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace quillet::testing {

class SaneTestBackend {
public:
    // `devices` test scanners ("test:0", "test:1", ...), none for 0; page geometry up to 300 mm
    // so a whole A4 page fits.
    explicit SaneTestBackend(int devices = 2) {
        static int serial = 0;
        dir_ = std::filesystem::temp_directory_path() /
               ("quillet-sane-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(dir_);
        // The test backend itself cannot be set to no devices: then no backend is loaded.
        std::ofstream(dir_ / "dll.conf") << (devices > 0 ? "test\n" : "");
        std::ofstream(dir_ / "test.conf")
            << "number_of_devices " << devices << "\n"
            << "geometry_max 300.0\n"
            // Without this line the backend starts at a resolution of almost 0 dpi.
            << "resolution 50.0\n";
        const char* old = std::getenv("SANE_CONFIG_DIR");
        if (old) previous_ = old, hadPrevious_ = true;
        ::setenv("SANE_CONFIG_DIR", dir_.c_str(), 1);
    }
    ~SaneTestBackend() {
        if (hadPrevious_)
            ::setenv("SANE_CONFIG_DIR", previous_.c_str(), 1);
        else
            ::unsetenv("SANE_CONFIG_DIR");
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    SaneTestBackend(const SaneTestBackend&) = delete;
    SaneTestBackend& operator=(const SaneTestBackend&) = delete;

    const std::filesystem::path& dir() const { return dir_; }

private:
    std::filesystem::path dir_;
    std::string previous_;
    bool hadPrevious_ = false;
};

}  // namespace quillet::testing
