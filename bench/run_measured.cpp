// Runs one program as a child and reports what the kernel accounted for it: wall time, CPU time
// and peak resident memory. Standard output of the child goes to /dev/null unless OUT is given.
//
//   tavrelo-bench-run [--out FILE] -- PROGRAM ARGS...
//   prints "wall=SECONDS user=SECONDS sys=SECONDS peak_rss=KB status=EXIT" on standard output

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    std::string out = "/dev/null";
    int first = 1;
    if (first + 1 < argc && std::strcmp(argv[first], "--out") == 0) {
        out = argv[first + 1];
        first += 2;
    }
    if (first < argc && std::strcmp(argv[first], "--") == 0) ++first;
    if (first >= argc) {
        std::fprintf(stderr, "usage: tavrelo-bench-run [--out FILE] -- PROGRAM ARGS...\n");
        return 2;
    }

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("tavrelo-bench-run: fork");
        return 1;
    }
    if (child == 0) {
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::dup2(fd, STDOUT_FILENO) < 0) _exit(126);
        ::execvp(argv[first], argv + first);
        std::perror("tavrelo-bench-run: exec");
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) < 0) {
        std::perror("tavrelo-bench-run: wait4");
        return 1;
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("wall=%.6f user=%.6f sys=%.6f peak_rss=%ld status=%d\n", wall,
                Seconds(usage.ru_utime), Seconds(usage.ru_stime), usage.ru_maxrss, code);
    return code == 0 ? 0 : 1;
}
