// Runs one command and prints what it cost: wall and CPU seconds, peak
// resident KiB, bytes read through read calls and from storage, exit code.
// A small launcher of its own, because a child's peak memory counts the
// memory of the process it was forked from until it runs its program.
//
// Usage: measure OUTPUT_FILE COMMAND [ARGS...]   (the command's stdout goes
// to OUTPUT_FILE, its stderr nowhere)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: measure OUTPUT_FILE COMMAND [ARGS...]\n");
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        int out = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int null = open("/dev/null", O_WRONLY);
        if (out < 0 || null < 0) _exit(127);
        dup2(out, 1);
        dup2(null, 2);
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    siginfo_t info;
    // Wait without reaping, so that the finished process's counters are still there.
    waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
    long long rchar = 0, readBytes = 0;
    std::ifstream io("/proc/" + std::to_string(child) + "/io");
    std::string key;
    long long value;
    while (io >> key >> value) {
        if (key == "rchar:") rchar = value;
        if (key == "read_bytes:") readBytes = value;
    }
    int status = 0;
    rusage usage;
    wait4(child, &status, 0, &usage);
    const double cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                       usage.ru_stime.tv_usec / 1e6;
    std::printf("%.6f %.6f %ld %lld %lld %d\n", wall.count(), cpu, usage.ru_maxrss, rchar, readBytes,
                WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    return 0;
}
