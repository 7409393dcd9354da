// vexa-server: the systems catalogue and script library service.
#include <signal.h>
#include <sys/socket.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include "server/importer.h"
#include "server/service.h"
#include "server/sqlite_db.h"

namespace vexa::server {
namespace {

constexpr const char* Usage =
    "Использование:\n"
    "  vexa-server --data DIR [--listen HOST:PORT] [--cert FILE --key FILE]\n"
    "              [--write-rate N] [--max-body BYTES] [--threads N]\n"
    "      обслуживает каталог систем и библиотеку сценариев (пути /scripts/*.php).\n"
    "      --listen      адрес и порт, по умолчанию 127.0.0.1:8080; порт 0 - любой свободный;\n"
    "                    выбранный адрес печатается строкой \"listening on HOST:PORT\"\n"
    "      --cert/--key  сертификат и ключ PEM: HTTPS вместо HTTP\n"
    "      --write-rate  публикаций и оценок в минуту с одного адреса (60; 0 - без ограничения)\n"
    "      --max-body    наибольший размер запроса в байтах (8388608)\n"
    "      --threads     рабочих потоков (32)\n"
    "      --app-name ID=ИМЯ  имя программы для appid ID в списке сценариев (можно несколько)\n"
    "  vexa-server import-systems --data DIR [--author NAME] [--descr TEXT] SRC_DIR...\n"
    "      заносит в каталог файлы систем 6-NN-B_IIII.dat из папок SRC_DIR\n"
    "      (название и описание - из 6-NN-B_IIII.txt рядом, если он есть)\n"
    "  vexa-server import-scripts --data DIR [--author NAME] [--title T] [--descr D]\n"
    "              [--not-universal] FILE...\n"
    "      заносит в библиотеку сценарии (текст UTF-8; название и описание - из\n"
    "      файла с тем же именем и расширением .txt, иначе название - имя файла)\n"
    "  vexa-server --help\n"
    "Данные хранятся в DIR/vexa-server.db (SQLite).\n";

struct EUsage : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct TOptions {
  std::string Command = "serve";
  std::string Data;
  std::string Host = "127.0.0.1";
  int Port = 8080;
  std::string Cert, Key;
  TServiceOptions Service;
  int Threads = 32;
  TImportOptions Import;
  std::vector<std::string> Args;
};

int64_t Number(const std::string& option, const std::string& text, int64_t low, int64_t high) {
  try {
    size_t used = 0;
    const long long v = std::stoll(text, &used);
    if (used == text.size() && v >= low && v <= high) return v;
  } catch (const std::exception&) {
  }
  throw EUsage("неверное значение " + option + ": " + text);
}

TOptions Parse(std::vector<std::string> words) {
  TOptions o;
  if (!words.empty() && (words[0] == "import-systems" || words[0] == "import-scripts" || words[0] == "serve")) {
    o.Command = words[0];
    words.erase(words.begin());
  }
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= words.size()) throw EUsage("нет значения у " + w);
      return words[++i];
    };
    if (w == "--help" || w == "-h") {
      o.Command = "help";
      return o;
    } else if (w == "--data") {
      o.Data = value();
    } else if (w == "--listen") {
      const std::string v = value();
      const size_t colon = v.rfind(':');
      if (colon == std::string::npos || colon == 0) throw EUsage("--listen ждёт HOST:PORT");
      o.Host = v.substr(0, colon);
      o.Port = static_cast<int>(Number(w, v.substr(colon + 1), 0, 65535));
    } else if (w == "--cert") {
      o.Cert = value();
    } else if (w == "--key") {
      o.Key = value();
    } else if (w == "--write-rate") {
      o.Service.WriteRatePerMinute = Number(w, value(), 0, 1000000);
    } else if (w == "--max-body") {
      o.Service.MaxBodyBytes = static_cast<size_t>(Number(w, value(), 1024, int64_t{1} << 32));
    } else if (w == "--app-name") {
      const std::string v = value();
      const size_t eq = v.find('=');
      if (eq == std::string::npos || eq == 0 || eq + 1 == v.size()) throw EUsage("--app-name ждёт ID=ИМЯ");
      o.Service.AppNames[v.substr(0, eq)] = v.substr(eq + 1);
    } else if (w == "--threads") {
      o.Threads = static_cast<int>(Number(w, value(), 1, 1024));
    } else if (w == "--author") {
      o.Import.Author = value();
    } else if (w == "--title") {
      o.Import.Title = value();
    } else if (w == "--descr") {
      o.Import.Descr = value();
    } else if (w == "--not-universal") {
      o.Import.Universal = false;
    } else if (w.rfind("--", 0) == 0) {
      throw EUsage("неизвестный параметр " + w);
    } else {
      o.Args.push_back(w);
    }
  }
  if (o.Data.empty()) throw EUsage("не указан --data DIR");
  if (o.Cert.empty() != o.Key.empty()) throw EUsage("--cert и --key указываются вместе");
  if (o.Command == "serve" && !o.Args.empty()) throw EUsage("лишний аргумент " + o.Args[0]);
  if (o.Command != "serve" && o.Args.empty()) throw EUsage("не указаны файлы для " + o.Command);
  if (o.Command == "import-scripts" && !o.Import.Title.empty() && o.Args.size() > 1)
    throw EUsage("--title только для одного файла");
  return o;
}

int Serve(const TOptions& o) {
  // SIGINT and SIGTERM end the service cleanly; a thread of its own waits
  // for them, so they are blocked before any other thread starts.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  TuneAllocatorForReplies();
  TStore store(o.Data);
  TService service(store, o.Service);
  std::unique_ptr<httplib::Server> server;
  if (o.Cert.empty()) {
    server = std::make_unique<httplib::Server>();
  } else {
    auto tls = std::make_unique<httplib::SSLServer>(o.Cert.c_str(), o.Key.c_str());
    if (!tls->is_valid()) {
      std::cerr << "vexa-server: не удалось загрузить сертификат " << o.Cert << " или ключ " << o.Key << "\n";
      return 1;
    }
    server = std::move(tls);
  }
  const int threads = o.Threads;
  // Keep-alive connections hold a worker each: enough workers for many
  // concurrent clients.
  server->new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
  server->set_keep_alive_max_count(1000);
  // Headers and body go out in separate writes; without this a small reply
  // waits for the delayed ACK of the first (about 40 ms).
  server->set_tcp_nodelay(true);
  // A loaded machine may stall a client mid-request for a while.
  server->set_read_timeout(30, 0);
  server->set_write_timeout(30, 0);
  service.Install(*server);
  // httplib listens with a backlog of 5: a burst of clients connecting at
  // once would see dropped handshakes. The socket is caught here and its
  // backlog raised once it is bound.
  int listenFd = -1;
  server->set_socket_options([&listenFd](socket_t sock) {
    httplib::default_socket_options(sock);
    listenFd = sock;
  });

  int port = o.Port;
  if (port == 0) {
    port = server->bind_to_any_port(o.Host);
    if (port <= 0) port = -1;
  } else if (!server->bind_to_port(o.Host, port)) {
    port = -1;
  }
  if (port < 0) {
    std::cerr << "vexa-server: не удалось открыть " << o.Host << ":" << o.Port << "\n";
    return 1;
  }
  if (listenFd >= 0) ::listen(listenFd, 256);
  std::cout << "listening on " << o.Host << ":" << port << std::endl;

  std::thread stopper([&] {
    int sig = 0;
    sigwait(&stopSignals, &sig);
    server->stop();
  });
  const bool ok = server->listen_after_bind();
  // listen ended by itself (not by a signal): wake the stopper.
  pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  return ok ? 0 : 1;
}

int Run(const TOptions& o) {
  if (o.Command == "help") {
    std::cout << Usage;
    return 0;
  }
  if (o.Command == "serve") return Serve(o);
  TStore store(o.Data);
  std::vector<std::filesystem::path> paths(o.Args.begin(), o.Args.end());
  const int failed = o.Command == "import-systems" ? ImportSystems(store, paths, o.Import, std::cout, std::cerr)
                                                   : ImportScripts(store, paths, o.Import, std::cout, std::cerr);
  return failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace vexa::server

int main(int argc, char** argv) {
  using namespace vexa::server;
  try {
    return Run(Parse(std::vector<std::string>(argv + 1, argv + argc)));
  } catch (const EUsage& e) {
    std::cerr << "vexa-server: " << e.what() << "\n\n" << Usage;
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "vexa-server: " << e.what() << "\n";
    return 1;
  }
}
