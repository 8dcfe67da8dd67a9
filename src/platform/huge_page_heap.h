#pragma once
// A large notes file puts hundreds of megabytes of small allocations on the
// heap, and touching that memory one 4 KiB page at a time costs more CPU than
// reading the file. Where the kernel gives transparent huge pages only on
// request ("madvise", Debian's default), the program starts itself again once,
// first thing in main(), with glibc's malloc asking for them
// (glibc.malloc.hugetlb=1). BW_HUGE_PAGES=0 turns this off. Header only and
// free of Qt, so that every program can call it before anything else runs.

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace bw::platform {

inline void restartWithHugePageHeap(char **argv)
{
    constexpr const char *kSwitch = "BW_HUGE_PAGES";
    constexpr const char *kTunables = "GLIBC_TUNABLES";
    constexpr const char *kSavedTunables = "BW_SAVED_GLIBC_TUNABLES";
    if (const char *setting = std::getenv(kSwitch)) {
        if (std::strcmp(setting, "restarted") == 0) {
            // The restarted copy: malloc read its settings at start; the
            // programs this one starts get the environment the user gave.
            if (const char *saved = std::getenv(kSavedTunables))
                setenv(kTunables, saved, 1);
            else
                unsetenv(kTunables);
            unsetenv(kSavedTunables);
            unsetenv(kSwitch);
        }
        return;
    }
    std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string line;
    if (!std::getline(mode, line) || line.find("[madvise]") == std::string::npos)
        return;
    std::string tunables = "glibc.malloc.hugetlb=1";
    const char *old = std::getenv(kTunables);
    if (old && std::strstr(old, "glibc.malloc.hugetlb"))
        return; // the user chose already
    if (old && *old) {
        setenv(kSavedTunables, old, 1);
        tunables = std::string(old) + ":" + tunables;
    }
    // The program's own file by name, so that the process keeps its name.
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return;
    self[length] = '\0';
    setenv(kTunables, tunables.c_str(), 1);
    setenv(kSwitch, "restarted", 1);
    execv(self, argv);
    // Not restarted: go on as we are, in the environment as it was.
    if (old)
        setenv(kTunables, old, 1);
    else
        unsetenv(kTunables);
    unsetenv(kSavedTunables);
    unsetenv(kSwitch);
}

} // namespace bw::platform
