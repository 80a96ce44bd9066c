#include "catalogue/Connectivity.h"

#include <QElapsedTimer>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct AddrInfoDeleter {
    void operator()(addrinfo* a) const { if (a) ::freeaddrinfo(a); }
};
using AddrInfoPtr = std::unique_ptr<addrinfo, AddrInfoDeleter>;

// Name look-up has no timeout of its own: run it aside and stop waiting
// when the time is up (the look-up then finishes on its own, unobserved).
AddrInfoPtr Resolve(const QByteArray& host, const QByteArray& port, int timeoutMs)
{
    auto task = std::make_shared<std::packaged_task<addrinfo*()>>([host, port] {
        addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* result = nullptr;
        if (::getaddrinfo(host.constData(), port.constData(), &hints, &result) != 0)
            return static_cast<addrinfo*>(nullptr);
        return result;
    });
    std::future<addrinfo*> answer = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    if (answer.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready) {
        // Free the late answer when it comes.
        std::thread([f = std::move(answer)]() mutable { AddrInfoPtr late(f.get()); }).detach();
        return nullptr;
    }
    return AddrInfoPtr(answer.get());
}

bool ConnectWithin(const addrinfo* a, int timeoutMs)
{
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0)
        return false;
    bool ok = false;
    if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
        ok = true;
    } else if (errno == EINPROGRESS) {
        pollfd p {fd, POLLOUT, 0};
        if (::poll(&p, 1, timeoutMs) == 1) {
            int err = 0;
            socklen_t len = sizeof err;
            ok = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
        }
    }
    ::close(fd);
    return ok;
}

} // namespace

bool ProbeConnectivity(const QString& host, int port, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    AddrInfoPtr addresses = Resolve(host.toUtf8(), QByteArray::number(port), timeoutMs);
    for (const addrinfo* a = addresses.get(); a; a = a->ai_next) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0)
            return false;
        if (ConnectWithin(a, left))
            return true;
    }
    return false;
}

bool ProbeConnectivity(int timeoutMs)
{
    QString host = QString::fromLatin1(kDefaultConnectivityHost);
    int port = kDefaultConnectivityPort;
    const QString forced = qEnvironmentVariable("KESTRAV_CONNECTIVITY_HOST");
    if (!forced.isEmpty()) {
        const qsizetype colon = forced.lastIndexOf(QLatin1Char(':'));
        host = colon > 0 ? forced.left(colon) : forced;
        if (colon > 0)
            port = forced.mid(colon + 1).toInt();
    }
    return ProbeConnectivity(host, port, timeoutMs);
}
