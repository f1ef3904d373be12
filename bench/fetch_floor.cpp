// The floor of retrieval: the fewest steps that make the same exchanges with the register as a
// retrieval by numbers does (identification, then "B" requests block by block for every
// document, one read per reply), with nothing kept, joined, written or rendered.
//
//   tavrelo-bench-fetch-floor HOST PORT FIRST LAST [TYPE]
//   prints "fetch_floor=SECONDS loop=SECONDS documents=N exchanges=E bytes=B": the whole run
//   (connect and identification included) and the block requests alone

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "tavrelo-bench-fetch-floor: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

void SendAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) Fail("send");
        bytes += sent;
        size -= static_cast<std::size_t>(sent);
    }
}

// One wait and one read, as the exchange does; the number of bytes read.
std::size_t ReadReply(int fd, char* buffer, std::size_t max) {
    pollfd entry{fd, POLLIN, 0};
    while (::poll(&entry, 1, 10000) < 0) {
        if (errno != EINTR) Fail("poll");
    }
    while (true) {
        const ssize_t got = ::recv(fd, buffer, max, 0);
        if (got > 0) return static_cast<std::size_t>(got);
        if (got < 0 && errno == EINTR) continue;
        if (got == 0) errno = ECONNRESET;
        Fail("recv");
    }
}

bool EndsDocument(const char* reply, std::size_t size) {
    if (size >= 6 && (reply[4] == 'D' || reply[4] == 'E') && reply[5] == ';') return true;
    return size >= 4 && reply[0] == '\x01' &&
           (reply[3] == '0' || reply[3] == '"' || reply[3] == 'C');
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 6) {
        std::fprintf(stderr, "usage: tavrelo-bench-fetch-floor HOST PORT FIRST LAST [TYPE]\n");
        return 2;
    }
    const int first = std::atoi(argv[3]);
    const int last = std::atoi(argv[4]);
    const int type = argc == 6 ? std::atoi(argv[5]) : 1;

    const auto start = std::chrono::steady_clock::now();
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) Fail("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(std::atoi(argv[2])));
    if (::inet_pton(AF_INET, argv[1], &address.sin_addr) != 1) Fail("address");
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0) {
        Fail("connect");
    }

    std::array<char, 1500> reply{};
    const char identification[9] = {};
    SendAll(fd, identification, sizeof identification);
    const std::size_t ready = ReadReply(fd, reply.data(), reply.size());
    if (ready != 5 || std::memcmp(reply.data(), "Ready", 5) != 0) {
        std::fprintf(stderr, "tavrelo-bench-fetch-floor: the register is not ready\n");
        return 1;
    }

    const auto loop_start = std::chrono::steady_clock::now();
    long exchanges = 0;
    long bytes = 0;
    char frame[64];
    for (int n = first; n <= last; ++n) {
        for (int block = 0;;) {
            // 01, length | 80, 80, 21, "B;", data, 05: the length counts the frame's fixed bytes.
            const int body =
                std::snprintf(frame + 4, sizeof frame - 5, "B;%d;%d;%d;", type, n, block);
            frame[0] = '\x01';
            frame[1] = static_cast<char>(((body + 5) | 0x80) & 0xFF);
            frame[2] = '\x80';
            frame[3] = '\x21';
            frame[4 + body] = '\x05';
            SendAll(fd, frame, static_cast<std::size_t>(body) + 5);
            const std::size_t size = ReadReply(fd, reply.data(), reply.size());
            ++exchanges;
            bytes += static_cast<long>(size);
            if (EndsDocument(reply.data(), size)) break;
            const std::size_t payload = size > 5 ? size - 5 : 0;
            block += static_cast<int>((payload + 149) / 150);
        }
    }
    const auto loop_end = std::chrono::steady_clock::now();
    ::close(fd);
    const double seconds = std::chrono::duration<double>(loop_end - start).count();
    const double loop = std::chrono::duration<double>(loop_end - loop_start).count();
    std::printf("fetch_floor=%.6f loop=%.6f documents=%d exchanges=%ld bytes=%ld\n", seconds, loop,
                last - first + 1, exchanges, bytes);
    return 0;
}
