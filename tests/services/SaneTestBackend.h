#pragma once
// SANE's own "test" backend as the scanner: a private configuration folder that loads only that
// backend, named by SANE_CONFIG_DIR. SANE reads that variable once per process, so the first
// test to ask fixes the configuration for the whole process; the folder goes at exit.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace quillet::testing {

// SANE ends a backend's reader thread with an asynchronous pthread_cancel. Under AddressSanitizer
// a cancel that lands while the reader is inside the sanitizer's allocator leaves one of its
// locks held, and the test's next allocation waits forever; scans run in the plain build only.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kScansCanRun = false;
#else
inline constexpr bool kScansCanRun = true;
#endif
inline constexpr char kScansSkipped[] =
    "SANE's asynchronous thread cancel can deadlock AddressSanitizer's allocator";

class SaneTestBackend {
public:
    // True when the process scans with `devices` test scanners ("test:0", "test:1", ...; none
    // for 0), false when an earlier test of this process chose another number.
    static bool Use(int devices = 2) {
        static std::unique_ptr<SaneTestBackend> chosen;
        if (!chosen) chosen.reset(new SaneTestBackend(devices));
        return chosen->devices_ == devices;
    }

    ~SaneTestBackend() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    SaneTestBackend(const SaneTestBackend&) = delete;
    SaneTestBackend& operator=(const SaneTestBackend&) = delete;

private:
    explicit SaneTestBackend(int devices) : devices_(devices) {
        dir_ =
            std::filesystem::temp_directory_path() / ("quillet-sane-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        // The test backend itself cannot be set to no devices: then no backend is loaded.
        std::ofstream(dir_ / "dll.conf") << (devices > 0 ? "test\n" : "");
        // Page geometry up to 300 mm so a whole A4 page fits. Without the resolution line the
        // backend starts at almost 0 dpi.
        std::ofstream(dir_ / "test.conf") << "number_of_devices " << devices << "\n"
                                          << "geometry_max 300.0\n"
                                          << "resolution 50.0\n";
        ::setenv("SANE_CONFIG_DIR", dir_.c_str(), 1);
    }

    int devices_;
    std::filesystem::path dir_;
};

}  // namespace quillet::testing
