// The real vexa-server as a child process on 127.0.0.1, for the service
// tests and benchmarks: started on port 0 with the port read from its
// "listening on" line, stopped with SIGTERM or killed with SIGKILL, and
// started again over the same data folder. Posts go through httplib.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <httplib.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "wire/wire.h"

namespace vexa::test {

using TFields = std::vector<std::pair<std::string, std::string>>;

class TServerProcess {
 public:
  TServerProcess(std::string binary, std::filesystem::path dataDir, std::vector<std::string> extra = {})
      : Binary_(std::move(binary)), DataDir_(std::move(dataDir)), Extra_(std::move(extra)) {
    Start();
  }
  ~TServerProcess() { Stop(SIGTERM); }
  TServerProcess(const TServerProcess&) = delete;
  TServerProcess& operator=(const TServerProcess&) = delete;

  void Start() {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe");
    std::vector<std::string> args{Binary_, "--data", DataDir_.string(), "--listen", "127.0.0.1:0"};
    args.insert(args.end(), Extra_.begin(), Extra_.end());
    Pid_ = fork();
    if (Pid_ == 0) {
      dup2(fds[1], 1);
      close(fds[0]);
      close(fds[1]);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(fds[1]);
    std::string line;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') line += c;
    close(fds[0]);
    const std::string prefix = "listening on 127.0.0.1:";
    if (line.rfind(prefix, 0) != 0) {
      Stop(SIGKILL);
      throw std::runtime_error("vexa-server did not start: " + line);
    }
    Port_ = std::stoi(line.substr(prefix.size()));
  }

  // Returns the exit status as waitpid reports it.
  int Stop(int sig) {
    if (Pid_ <= 0) return 0;
    kill(Pid_, sig);
    int status = 0;
    waitpid(Pid_, &status, 0);
    Pid_ = -1;
    return status;
  }
  void Restart(int sig) {
    Stop(sig);
    Start();
  }

  int Port() const { return Port_; }
  pid_t Pid() const { return Pid_; }
  const std::filesystem::path& DataDir() const { return DataDir_; }

  httplib::Client Client() const {
    httplib::Client c("127.0.0.1", Port_);
    c.set_read_timeout(30, 0);
    c.set_tcp_nodelay(true);  // as libcurl, the clients' HTTP layer, does
    return c;
  }
  // The reply body of a form post; "" when no reply came.
  std::string Post(const std::string& path, const TFields& fields) const {
    httplib::Client c = Client();
    httplib::Params params(fields.begin(), fields.end());
    auto res = c.Post(("/scripts/" + path).c_str(), params);
    return res ? res->body : std::string();
  }

 private:
  std::string Binary_;
  std::filesystem::path DataDir_;
  std::vector<std::string> Extra_;
  pid_t Pid_ = -1;
  int Port_ = 0;
};

// Identity fields of one installation, as the clients send them.
struct TClientId {
  std::string HwdId;
  std::string Name;
  std::string Mail;
  TFields Fields() const {
    return {{"appid", "Korvane_6x45"}, {"appver", "1.0.0.1"},          {"hwdid", HwdId},
            {"cl_name", wire::CEscape(Name)}, {"cl_mail", wire::CEscape(Mail)}, {"cl_lcid", "1049"}};
  }
};

inline TFields Join(TFields a, const TFields& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace vexa::test
