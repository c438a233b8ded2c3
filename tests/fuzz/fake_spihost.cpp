// A Windows plug-in host that answers from a script instead of a plug-in: fuzz_winhost starts it
// as WindowsPluginHost starts the real one, so the client reads the fuzzer's bytes through a real
// pipe, and the bits of a picture through the real shared file.
//
//   fake_spihost SCRIPT
//
// The script is the fuzzer's input: one byte the target keeps for itself, then pieces, each a
// 16-bit little-endian length and that many bytes (the last one cut at the script's end). Piece
// 0 goes into the shared file when Lunetta offers one; piece 1 is written at once (the hello);
// each further piece after one request has been read. The client reads whole frames, one for
// the hello and one an answer, so when the pieces so far hold fewer frames than it waits for,
// the host ends: the client sees the end of the pipe at once instead of waiting for the rest
// until its time limit, and a call that still waits that long is a fault of the client.
#include "spihost_protocol.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

bool readAll(int fd, void *to, size_t size)
{
    auto *p = static_cast<char *>(to);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool writeAll(int fd, const char *p, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

uint32_t u32(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Counts the whole frames among everything written so far.
struct FrameTracker
{
    unsigned char length[4] {};
    size_t lengthBytes = 0;
    uint64_t payloadLeft = 0;
    size_t frames = 0;

    void add(const std::string &bytes)
    {
        for (const char c : bytes) {
            if (payloadLeft > 0) {
                frames += --payloadLeft == 0;
                continue;
            }
            length[lengthBytes++] = static_cast<unsigned char>(c);
            if (lengthBytes == 4) {
                payloadLeft = u32(length);
                lengthBytes = 0;
                frames += payloadLeft == 0;
            }
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    std::string script;
    if (FILE *f = std::fopen(argv[1], "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            script.append(buf, n);
        std::fclose(f);
    }
    std::vector<std::string> pieces;
    for (size_t at = 1; at < script.size();) {
        size_t n = static_cast<unsigned char>(script[at]);
        if (at + 1 < script.size())
            n |= size_t(static_cast<unsigned char>(script[at + 1])) << 8;
        at += 2;
        n = at < script.size() ? std::min(n, script.size() - at) : 0;
        pieces.push_back(script.substr(std::min(at, script.size()), n));
        at += n;
    }
    if (pieces.size() < 2)
        return 0;

    FrameTracker written;
    for (size_t i = 1; i < pieces.size(); ++i) {
        if (i > 1) {
            // The next request: a frame whose first byte names the call.
            unsigned char raw[4];
            if (!readAll(0, raw, 4))
                return 0;
            std::string request(u32(raw), '\0');
            if (!readAll(0, request.data(), request.size()) || request.empty()
                || request[0] == SPIHOST_QUIT)
                return 0;
            if (request[0] == SPIHOST_SHARE && request.size() >= 5) {
                // "Z:\proc\<pid>\fd\<n>" as the client names the file for Wine.
                std::string path = request.substr(5);
                if (path.rfind("Z:", 0) == 0)
                    path.erase(0, 2);
                for (char &c : path)
                    c = c == '\\' ? '/' : c;
                const int fd = ::open(path.c_str(), O_WRONLY);
                if (fd >= 0) {
                    writeAll(fd, pieces[0].data(), pieces[0].size());
                    ::close(fd);
                }
            }
        }
        if (!writeAll(1, pieces[i].data(), pieces[i].size()))
            return 0;
        // The client now waits for its i-th frame (the hello, then one answer a request).
        written.add(pieces[i]);
        if (written.frames < i)
            return 0;
    }
    return 0;
}
