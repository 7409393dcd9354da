// vexa-server under load. The list timings at the service call the
// handlers in-process over a store of 1000 systems and 1000 scripts; the
// throughput, publishing and SIGKILL runs start the real vexa-server on
// 127.0.0.1 and talk to it over loopback.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <atomic>
#include <cstdlib>
#include <chrono>
#include <set>
#include <stdexcept>
#include <thread>

#include "server/form.h"
#include "server/service.h"
#include "server/store.h"
#include "support/server_process.h"
#include "support/temp_dir.h"
#include "wire/wire.h"

namespace vexa {
namespace {

constexpr int CatalogueSize = 1000;

// 23 lines: the 10-number block-4 covering of the samples.
const char* const TenFour =
    "01 02 03 04 05 06\r\n01 02 03 04 07 08\r\n01 02 03 04 09 10\r\n01 02 05 06 07 08\r\n01 02 05 06 09 10\r\n"
    "01 02 07 08 09 10\r\n01 03 05 07 09 10\r\n01 03 06 08 09 10\r\n01 04 05 08 09 10\r\n01 04 06 07 09 10\r\n"
    "02 03 05 08 09 10\r\n02 03 06 07 09 10\r\n02 04 05 07 09 10\r\n02 04 06 08 09 10\r\n03 04 05 06 07 08\r\n"
    "03 04 05 06 09 10\r\n03 04 07 08 09 10\r\n05 06 07 08 09 10\r\n01 03 05 06 07 08\r\n02 04 05 06 07 08\r\n"
    "01 02 03 05 07 09\r\n01 02 04 06 08 10\r\n03 04 05 07 08 10";

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string text = error ? error : "sqlite";
    sqlite3_free(error);
    throw std::runtime_error(text);
  }
}

// A data folder with 1000 systems and 1000 scripts (3 ratings each), made in
// one transaction straight into the service's schema.
void SeedCatalogue(const std::filesystem::path& dataDir) {
  { server::TStore schema(dataDir); }
  sqlite3* db = nullptr;
  sqlite3_open((dataDir / "vexa-server.db").c_str(), &db);
  Exec(db, "BEGIN");
  const long now = static_cast<long>(std::time(nullptr));
  for (int i = 1; i <= CatalogueSize; ++i) {
    const std::string n = std::to_string(i);
    Exec(db, "INSERT INTO systems(nums, olap, csize, title, descr, author, mail, mail_key, url, app_id, app_ver, lcid, "
             "created, downloads, last_download, combs) VALUES(10, 4, 23, 'Система номер " + n +
                 "', 'Описание системы номер " + n + ", довольно длинное, как у настоящих', 'Автор " + n +
                 "', 'a" + n + "@example.org', 'a" + n + "@example.org', 'http://example.org/" + n +
                 "', 'Korvane_6x45', '1.0.0.1', 1049, " + std::to_string(now - i * 60) + ", " + n + ", " +
                 std::to_string(now) + ", '" + TenFour + "')");
    Exec(db, "INSERT INTO scripts(title, title_key, descr, author, mail, mail_key, lcid, app_name, app_ver, app_guid, "
             "uniapps, publics, created, downloads, last_download, script) VALUES('Сценарий " + n + "', 'сценарий " +
                 n + "', 'Описание сценария " + n + "', 'Автор " + n + "', 'a" + n + "@example.org', 'a" + n +
                 "@example.org', 1049, 'Korvane_6x45', '1.0.0.1', 'Korvane_6x45', " + std::to_string(i % 2) + ", " +
                 (i % 10 == 0 ? "0" : "1") + ", " + std::to_string(now - i * 600) + ", " + n + ", " +
                 std::to_string(now) + ", 'FULL:0#RAND|TMF1#NUMS:20#CMV:3#SF:1| | | | | | |hot')");
    for (int r = 1; r <= 3; ++r)
      Exec(db, "INSERT INTO rates(script_id, mail_key, cl_name, rate, notes, app_name, app_ver, created) VALUES(" + n +
                   ", 'r" + std::to_string((i + r) % 50) + "@example.org', 'Оценщик', " + std::to_string(1 + (i + r) % 5) +
                   ", 'хорошо', 'Korvane_6x45', '1.0.0.1', " + std::to_string(now) + ")");
  }
  Exec(db, "UPDATE scripts SET rate_sum=(SELECT SUM(rate) FROM rates WHERE script_id=id), "
           "rate_cnt=(SELECT COUNT(*) FROM rates WHERE script_id=id)");
  Exec(db, "INSERT INTO owners(mail_key, hwdid, created) VALUES('r7@example.org', 'hw-r7', 0)");
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

// One seeded folder for the whole run.
const std::filesystem::path& SeededDir() {
  static test::TTempDir dir;
  static const bool seeded = (SeedCatalogue(dir / "data"), true);
  (void)seeded;
  return dir.Path();
}

std::string Encode(const test::TFields& fields) {
  std::string body;
  for (const auto& [k, v] : fields) {
    if (!body.empty()) body += '&';
    body += k + "=" + httplib::detail::encode_query_param(v);
  }
  return body;
}

const test::TClientId Rater{"hw-r7", "Оценщик", "r7@example.org"};

void BM_SystemsListAtService(benchmark::State& state) {
  server::TuneAllocatorForReplies();  // as vexa-server does at start
  server::TStore store(SeededDir() / "data");
  server::TService service(store, {});
  const server::TForm form = server::TForm::Parse(Encode(test::Join({{"comblen", "6"}, {"maxnums", "45"}}, Rater.Fields())));
  const bool cold = state.range(0) == 1;
  size_t bytes = 0;
  for (auto _ : state) {
    if (cold) {
      // A download changes the counters, so the next list is rendered anew.
      state.PauseTiming();
      store.SystemCombs(1, 0);
      state.ResumeTiming();
    }
    const std::string reply = service.SysGetList(form);
    bytes = reply.size();
    benchmark::DoNotOptimize(reply.data());
  }
  state.counters["reply_bytes"] = static_cast<double>(bytes);
  state.SetLabel(cold ? "rendered after a change" : "unchanged catalogue");
}
BENCHMARK(BM_SystemsListAtService)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ScriptsListAtService(benchmark::State& state) {
  server::TuneAllocatorForReplies();
  server::TStore store(SeededDir() / "data");
  server::TServiceOptions options;
  options.CacheLists = false;  // the rendering itself, as after every change
  server::TService service(store, options);
  const server::TForm form = server::TForm::Parse(Encode(test::Join({{"fltid", std::to_string(state.range(0))}}, Rater.Fields())));
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string reply = service.ScrGetList(form);
    bytes = reply.size();
    benchmark::DoNotOptimize(reply.data());
  }
  state.counters["reply_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ScriptsListAtService)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// The store's part of the list above: the query and the records, no reply.
void BM_ScriptsQueryOnly(benchmark::State& state) {
  server::TStore store(SeededDir() / "data");
  server::TIdentity who;
  who.HwdId = Rater.HwdId;
  who.Mail = Rater.Mail;
  for (auto _ : state) benchmark::DoNotOptimize(store.Scripts(who, server::EScriptFilter::NotHidden, 0).size());
}
BENCHMARK(BM_ScriptsQueryOnly)->Unit(benchmark::kMillisecond);

// The shipped samples (18 systems, 4 scripts), imported by the service's own commands.
const std::filesystem::path& SamplesDir() {
  static test::TTempDir dir;
  static const bool seeded = [] {
    const std::string data = " --data '" + (dir / "data").string() + "' ";
    const std::filesystem::path samples = VEXA_SAMPLES_DIR;
    std::string cmd = std::string(VEXA_SERVER_PATH) + " import-systems" + data + "'" + (samples / "systems").string() +
                      "' >/dev/null && " + VEXA_SERVER_PATH + " import-scripts" + data;
    for (const auto& e : std::filesystem::directory_iterator(samples / "scripts"))
      if (e.path().extension() == ".lsc") cmd += " '" + e.path().string() + "'";
    if (std::system((cmd + " >/dev/null").c_str()) != 0) throw std::runtime_error("cannot import the samples");
    return true;
  }();
  (void)seeded;
  return dir.Path();
}

// 16 clients, each on its own keep-alive connection, asking for a list as
// fast as replies come; range(1) 0: the 1000-entry catalogue, 1: the samples.
void ListThroughput(benchmark::State& state, const std::string& path, const test::TFields& fields) {
  test::TTempDir dir;
  std::filesystem::copy((state.range(1) == 0 ? SeededDir() : SamplesDir()) / "data", dir / "data");
  state.SetLabel(state.range(1) == 0 ? "1000 entries" : "samples");
  test::TServerProcess server(VEXA_SERVER_PATH, dir / "data");
  constexpr int Clients = 16;
  const int perClient = static_cast<int>(state.range(0));
  std::atomic<int> failures{0};
  for (auto _ : state) {
    std::vector<std::thread> threads;
    for (int c = 0; c < Clients; ++c)
      threads.emplace_back([&] {
        httplib::Client client = server.Client();
        client.set_keep_alive(true);
        const httplib::Params params(fields.begin(), fields.end());
        for (int i = 0; i < perClient; ++i) {
          auto res = client.Post(("/scripts/" + path).c_str(), params);
          if (!res || res->status != 200 || res->body.find("<error>") != std::string::npos) {
            if (failures++ == 0)
              std::fprintf(stderr, "first failure: %s\n",
                           res ? res->body.substr(0, 200).c_str() : httplib::to_string(res.error()).c_str());
          }
        }
      });
    for (auto& t : threads) t.join();
  }
  state.counters["requests_per_s"] =
      benchmark::Counter(static_cast<double>(Clients * perClient), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["failures"] = failures.load();
}

void BM_SystemsListThroughput16(benchmark::State& state) {
  ListThroughput(state, "sys_getlist.php", test::Join({{"comblen", "6"}, {"maxnums", "45"}}, Rater.Fields()));
}
BENCHMARK(BM_SystemsListThroughput16)->Args({100, 0})->Args({200, 1})->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ScriptsListThroughput16(benchmark::State& state) {
  ListThroughput(state, "scr_getlist.php", test::Join({{"fltid", "1"}}, Rater.Fields()));
}
BENCHMARK(BM_ScriptsListThroughput16)->Args({50, 0})->Args({200, 1})->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

test::TFields PublishFields(int publisher, int n) {
  const test::TClientId who{"hw-p" + std::to_string(publisher), "Издатель " + std::to_string(publisher),
                            "p" + std::to_string(publisher) + "@example.org"};
  return test::Join({{"del_mode", "0"},
                     {"scr_id", "-1"},
                     {"scr_uniapps", "1"},
                     {"scr_publics", "1"},
                     {"scr_title", "P" + std::to_string(publisher) + "-" + std::to_string(n)},
                     {"scr_descr", ""},
                     {"scr_script", "FULL:0#RAND|TMF1#NUMS:20#CMV:3#SF:1| | | | | | |hot"}},
                    who.Fields());
}

// 16 publishers × `perPublisher` publishes; the acknowledged ids are collected.
// Runs until done or until `stop` is set.
std::vector<long> Publish(const test::TServerProcess& server, int perPublisher, const std::atomic<bool>& stop,
                          std::atomic<int>& errors) {
  constexpr int Publishers = 16;
  std::vector<std::vector<long>> acked(Publishers);
  std::vector<std::thread> threads;
  for (int p = 0; p < Publishers; ++p)
    threads.emplace_back([&, p] {
      httplib::Client client = server.Client();
      client.set_keep_alive(true);
      for (int n = 0; n < perPublisher && !stop; ++n) {
        const test::TFields f = PublishFields(p, n);
        auto res = client.Post("/scripts/scr_putscript.php", httplib::Params(f.begin(), f.end()));
        if (!res) continue;  // no reply: not acknowledged
        const wire::TReply reply = wire::ReadReply(res->body);
        const std::string id = reply.Rows.empty() ? std::string() : reply.Rows.back().Value("id_scripts");
        if (!reply.Error().empty() || id.empty()) {
          ++errors;
          continue;
        }
        acked[p].push_back(std::stol(id));
      }
    });
  for (auto& t : threads) t.join();
  std::vector<long> all;
  for (const auto& a : acked) all.insert(all.end(), a.begin(), a.end());
  return all;
}

std::set<long> StoredIds(const test::TServerProcess& server) {
  const std::string body = server.Post("scr_getlist.php", {{"fltid", "0"}});
  const wire::TReply reply = wire::ReadReply(body);
  std::set<long> ids;
  for (const auto& row : reply.Rows) ids.insert(std::stol(row.Value("id")));
  return ids;
}

void BM_Publish16x100(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    test::TTempDir dir;
    test::TServerProcess server(VEXA_SERVER_PATH, dir / "data", {"--write-rate", "0"});
    std::atomic<bool> stop{false};
    std::atomic<int> errors{0};
    state.ResumeTiming();
    const std::vector<long> acked = Publish(server, 100, stop, errors);
    state.PauseTiming();
    const std::set<long> unique(acked.begin(), acked.end());
    const std::set<long> stored = StoredIds(server);
    size_t missing = 0;
    for (long id : acked) missing += stored.count(id) == 0;
    state.counters["acknowledged"] = static_cast<double>(acked.size());
    state.counters["duplicate_ids"] = static_cast<double>(acked.size() - unique.size());
    state.counters["missing"] = static_cast<double>(missing);
    state.counters["errors"] = errors.load();
    state.counters["publishes_per_s"] =
        benchmark::Counter(static_cast<double>(acked.size()), benchmark::Counter::kIsIterationInvariantRate);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Publish16x100)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// SIGKILL while 16 publishers are busy; after a restart every acknowledged
// publish must be there (unacknowledged ones may or may not be).
void BM_SigkillDuringPublishing(benchmark::State& state) {
  for (auto _ : state) {
    test::TTempDir dir;
    test::TServerProcess server(VEXA_SERVER_PATH, dir / "data", {"--write-rate", "0"});
    std::atomic<bool> stop{false};
    std::atomic<int> errors{0};
    std::thread killer([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
      server.Stop(SIGKILL);
      stop = true;
    });
    const std::vector<long> acked = Publish(server, 1000, stop, errors);
    killer.join();
    server.Start();
    const std::set<long> stored = StoredIds(server);
    size_t missing = 0;
    for (long id : acked) missing += stored.count(id) == 0;
    state.counters["acknowledged"] = static_cast<double>(acked.size());
    state.counters["stored_after_restart"] = static_cast<double>(stored.size());
    state.counters["missing"] = static_cast<double>(missing);
  }
}
BENCHMARK(BM_SigkillDuringPublishing)->Arg(700)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa
