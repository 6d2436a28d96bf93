// A host that answers echo requests wrongly, for the network lab. It runs in
// a namespace whose kernel does not answer echoes itself
// (net.ipv4.icmp_echo_ignore_all=1) and replies from a raw socket:
//   icmp_responder [--lifetime=SECONDS] ADDRESS=flip|short|honest...
// Each address names the mangling of the requests sent to it; requests to
// other addresses are ignored. It prints "ready" once it listens and ends
// after its lifetime (default 600 s), so a lab that is never torn down
// leaves nothing behind for long.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "tools/icmp_responder/echo_reply_builder.h"

namespace {

using quillbin::ReplyMangle;

bool ParseMangle(const std::string& name, ReplyMangle& out) {
    if (name == "flip")
        out = ReplyMangle::FlipByte;
    else if (name == "short")
        out = ReplyMangle::Shorten;
    else if (name == "honest")
        out = ReplyMangle::None;
    else
        return false;
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: icmp_responder [--lifetime=SECONDS] ADDRESS=flip|short|honest...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::map<uint32_t, ReplyMangle> modes;  // by address in network order
    long lifetime = 600;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--lifetime=", 0) == 0) {
            lifetime = std::strtol(arg.c_str() + 11, nullptr, 10);
            if (lifetime <= 0) return Usage();
            continue;
        }
        size_t eq = arg.find('=');
        in_addr address{};
        ReplyMangle mangle{};
        if (eq == std::string::npos || inet_pton(AF_INET, arg.substr(0, eq).c_str(), &address) != 1 ||
            !ParseMangle(arg.substr(eq + 1), mangle)) {
            return Usage();
        }
        modes[address.s_addr] = mangle;
    }
    if (modes.empty()) return Usage();

    int sock = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    if (sock < 0) {
        std::perror("icmp_responder: socket");
        return 1;
    }
    int on = 1;
    if (setsockopt(sock, IPPROTO_IP, IP_HDRINCL, &on, sizeof on) != 0) {
        std::perror("icmp_responder: IP_HDRINCL");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(lifetime);
    uint8_t packet[65536];
    while (std::chrono::steady_clock::now() < end) {
        pollfd fd{sock, POLLIN, 0};
        if (poll(&fd, 1, 1000) <= 0) continue;
        ssize_t n = recv(sock, packet, sizeof packet, 0);
        if (n < 20) continue;
        uint32_t destination;
        std::memcpy(&destination, packet + 16, 4);
        auto mode = modes.find(destination);
        if (mode == modes.end()) continue;
        auto reply = quillbin::BuildEchoReply(std::span<const uint8_t>(packet, static_cast<size_t>(n)), mode->second);
        if (!reply) continue;
        sockaddr_in to{};
        to.sin_family = AF_INET;
        std::memcpy(&to.sin_addr, reply->data() + 16, 4);
        if (sendto(sock, reply->data(), reply->size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0) {
            std::perror("icmp_responder: sendto");
        }
    }
    close(sock);
    return 0;
}
