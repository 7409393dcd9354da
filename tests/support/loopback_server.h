// Real servers on 127.0.0.1 for the online tests. Each listens on a free
// port the system picks, serves from its own thread and stops when the
// object goes. Nothing here ever talks to anything but the loopback.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <httplib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vexa::test {

// An httplib server (plain or TLS) running on its own thread.
template <class TServer = httplib::Server>
class TLoopbackServer {
 public:
  template <class... TArgs>
  explicit TLoopbackServer(TArgs&&... args) : Server(std::forward<TArgs>(args)...) {}
  ~TLoopbackServer() { Stop(); }
  TLoopbackServer(const TLoopbackServer&) = delete;
  TLoopbackServer& operator=(const TLoopbackServer&) = delete;

  // Call after the handlers are registered.
  void Start() {
    Port_ = Server.bind_to_any_port("127.0.0.1");
    if (Port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
    Thread_ = std::thread([this] { Server.listen_after_bind(); });
    // stop() only works on a server that is already running.
    while (!Server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void Stop() {
    if (!Thread_.joinable()) return;
    Server.stop();
    Thread_.join();
  }

  int Port() const { return Port_; }
  std::string Url(std::string_view path = "") const {
    const bool tls = !std::is_same_v<TServer, httplib::Server>;
    return std::string(tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(Port_) + std::string(path);
  }

  TServer Server;

 private:
  int Port_ = 0;
  std::thread Thread_;
};

// A listening socket that never accepts: connections succeed, no reply comes.
class TSilentServer {
 public:
  TSilentServer() {
    Fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (Fd_ < 0 || ::bind(Fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(Fd_, 16) != 0 ||
        ::getsockname(Fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
      throw std::runtime_error("cannot open a silent loopback socket");
    Port_ = ntohs(a.sin_port);
  }
  ~TSilentServer() { ::close(Fd_); }
  TSilentServer(const TSilentServer&) = delete;
  TSilentServer& operator=(const TSilentServer&) = delete;
  int Port() const { return Port_; }
  std::string Url(std::string_view path = "") const {
    return "http://127.0.0.1:" + std::to_string(Port_) + std::string(path);
  }

 private:
  int Fd_ = -1;
  int Port_ = 0;
};

// A loopback port nobody listens on (connections are refused).
inline int ClosedLoopbackPort() {
  TSilentServer s;
  return s.Port();
}

// gzip (window bits 31) or zlib-wrapped deflate (15) of a text.
inline std::string Compress(std::string_view text, int windowBits) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::string out(deflateBound(&z, static_cast<uLong>(text.size())) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

// A self-signed certificate for 127.0.0.1 (it is its own CA), made with the
// openssl command in `dir`.
struct TSelfSigned {
  std::filesystem::path Cert;
  std::filesystem::path Key;
};
inline TSelfSigned MakeSelfSigned(const std::filesystem::path& dir) {
  TSelfSigned s{dir / "cert.pem", dir / "key.pem"};
  const std::string cmd = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
                          " -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout '" +
                          s.Key.string() + "' -out '" + s.Cert.string() + "' >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
  return s;
}

// Request lines seen by a server, safe to read from the test's thread.
class TRequestLog {
 public:
  void Add(std::string line) {
    std::lock_guard<std::mutex> lock(Mutex_);
    Lines_.push_back(std::move(line));
  }
  std::vector<std::string> Lines() const {
    std::lock_guard<std::mutex> lock(Mutex_);
    return Lines_;
  }

 private:
  mutable std::mutex Mutex_;
  std::vector<std::string> Lines_;
};

}  // namespace vexa::test
