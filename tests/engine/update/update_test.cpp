// Self-update against a folder and a loopback file server: the check's
// edge cases, the install steps, signatures and checksums.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <map>
#include <string>
#include <vector>

#include "core/codec.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"
#include "update/update.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

struct TRecordingUi : TUserInterface {
  std::vector<std::string> Messages;
  void Progress(const TProgress&) override {}
  void ShowMessage(TMessageKind, std::string_view text, std::string_view cause) override {
    Messages.push_back(std::string(text) + "|" + std::string(cause));
  }
  bool Ask(std::string_view, std::string_view, bool) override { return true; }
  bool StopRequested() override { return false; }
  std::string All() const {
    std::string s;
    for (const auto& m : Messages) s += m + "\n";
    return s;
  }
};

// An Ed25519 key pair of the test.
struct TKey {
  EVP_PKEY* Key = nullptr;
  TKey() {
    EVP_PKEY_CTX* c = EVP_PKEY_CTX_new_id(EVP_PKEY_ED25519, nullptr);
    EVP_PKEY_keygen_init(c);
    EVP_PKEY_keygen(c, &Key);
    EVP_PKEY_CTX_free(c);
  }
  ~TKey() { EVP_PKEY_free(Key); }
  std::string PublicPem() const {
    BIO* b = BIO_new(BIO_s_mem());
    PEM_write_bio_PUBKEY(b, Key);
    char* data = nullptr;
    const long n = BIO_get_mem_data(b, &data);
    std::string pem(data, static_cast<size_t>(n));
    BIO_free(b);
    return pem;
  }
  std::string Sign(const std::string& data) const {
    EVP_MD_CTX* m = EVP_MD_CTX_new();
    EVP_DigestSignInit(m, nullptr, nullptr, nullptr, Key);
    size_t len = 64;
    std::string sig(len, '\0');
    EVP_DigestSign(m, reinterpret_cast<unsigned char*>(sig.data()), &len,
                   reinterpret_cast<const unsigned char*>(data.data()), data.size());
    EVP_MD_CTX_free(m);
    sig.resize(len);
    return sig;
  }
};

// The folder listing with contents, to see that nothing changed.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> m;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    m[fs::relative(e.path(), folder).string()] = e.is_regular_file() ? ReadBytes(e.path()) : "<dir>";
  return m;
}

class Update : public ::testing::Test {
 protected:
  TTempDir dir;
  fs::path prog = dir / "prog";
  fs::path srv = dir / "srv";
  TKey key;
  TRecordingUi ui;

  void SetUp() override {
    fs::create_directories(prog);
    fs::create_directories(srv / "UpdDescr");
    WriteBytes(prog / "app", "old program");
    WriteBytes(prog / "data.txt", "old data");
  }
  TUpdateEnvironment Env(int timeoutMs = 60000) {
    TUpdateEnvironment e;
    e.ProgramFolder = prog;
    e.ProgramFileName = "app";
    e.RunningVersion = "1.0.0.5";
    e.RunningFile = prog / "app";
    e.LanguageAbbreviation = "RUS";
    e.TrustedKeysPem = {BuiltInUpdateKeyPem(), key.PublicPem()};
    e.ExecTimeoutMs = timeoutMs;
    return e;
  }
  // The package: a shell script that lays out the new files in its folder.
  std::string Package(const std::string& body) {
    const std::string script = "#!/bin/sh\nset -e\n" + body + "\nexit 0\n";
    WriteBytes(srv / "pkg.upd", script);
    WriteBytes(srv / "pkg.sig", key.Sign(script));
    return script;
  }
  void Config(const std::string& programSection, const std::string& global = "") {
    // INI files are code page 1251.
    WriteBytes(srv / "Vexa_AU.cfg", Utf8ToCp1251("[app]\r\n" + programSection + "[GlobalOptions]\r\n" + global));
  }
  std::string Standard(const std::string& base, const std::string& crc, bool signature = true) {
    return "VerId=1.0.0.6\r\nDescription=Vexa 1.0 сборка 6\r\nDownloadUrl=" + base + "pkg.upd\r\n" +
           (signature ? "SignatureUrl=" + base + "pkg.sig\r\n" : std::string()) +
           "OriginalFileName=setup.sh\r\nChecksumCRC32=" + crc + "\r\n";
  }
  int Run(const std::string& config, bool silent = false, int language = 0, TUpdateEnvironment env = {}) {
    if (env.ProgramFolder.empty()) env = Env();
    TUpdater u(env, ui);
    return u.CheckForUpdates(config, silent, language, [this](const TUpdateOffer& o) {
      Offers.push_back(o);
      return Accept;
    });
  }
  std::vector<TUpdateOffer> Offers;
  bool Accept = true;
};

TEST(UpdateRules, OnlyTheFourthNumberCounts) {
  const struct {
    const char* Running;
    const char* Published;
    bool Available;
  } cases[] = {{"1.0.0.5", "1.9.0.5", false}, {"1.5.0.5", "1.4.0.6", true}, {"1.0.0.5", "1,0-0_7", true},
               {"1.0.0.5", "1.0.0", false},   {"1.0.0", "1.0.0.1", true},   {"1.0.0.9", "1.0.0.x", false}};
  for (const auto& c : cases) {
    TUpdateInfo info;
    info.VerId = c.Published;
    info.DownloadUrl = "x";
    EXPECT_EQ(UpdateAvailable(info, c.Running), c.Available) << c.Running << " " << c.Published;
  }
  TUpdateInfo noUrl;
  noUrl.VerId = "1.0.0.9";
  EXPECT_FALSE(UpdateAvailable(noUrl, "1.0.0.5"));
  EXPECT_EQ(SplitUpdateNames(" a.sh ;; b.sh;"), (std::vector<std::string>{"a.sh", "b.sh"}));
}

TEST(UpdateRules, Crc32AndBackupNames) {
  TTempDir dir;
  WriteBytes(dir / "f", "123456789");
  EXPECT_EQ(FileCrc32Text(dir / "f"), "CBF43926");
  EXPECT_EQ(BackupName(dir / "a.exe").filename(), "a.~exe");
  WriteBytes(dir / "a.~exe", "");
  EXPECT_EQ(BackupName(dir / "a.exe").filename(), "a.~~exe");
  EXPECT_EQ(BackupName(dir / "vexa").filename(), "vexa.~");
}

TEST_F(Update, NoUpdateCases) {
  const struct {
    const char* Name;
    std::string Section;
  } cases[] = {{"empty DownloadUrl", "VerId=1.0.0.9\r\nDownloadUrl=\r\n"},
               {"same build, higher second number", "VerId=1.9.0.5\r\nDownloadUrl=x\r\n"},
               {"missing section", ""}};
  for (const auto& c : cases) {
    if (c.Section.empty())
      WriteBytes(srv / "Vexa_AU.cfg", "[other]\r\nVerId=1.0.0.9\r\nDownloadUrl=x\r\n");
    else
      Config(c.Section);
    ui.Messages.clear();
    EXPECT_EQ(Run((srv / "Vexa_AU.cfg").string()), UpdateNothing) << c.Name;
    EXPECT_EQ(ui.All(), "Обновлений не найдено!|\n") << c.Name;
    EXPECT_FALSE(fs::exists(prog / UpdateConfigCopy));
  }
  EXPECT_TRUE(Offers.empty());
}

TEST_F(Update, SilentWithoutServerSaysNothing) {
  test::TLoopbackServer<> server;
  server.Start();
  const std::string url = server.Url("/files/autoupdates/Vexa_AU.cfg");
  server.Stop();
  EXPECT_EQ(Run(url, true), UpdateError);
  EXPECT_TRUE(ui.Messages.empty()) << ui.All();
  EXPECT_EQ(Run(url, false), UpdateError);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].rfind("Ошибка поиска обновлений!|", 0), 0u);
}

TEST_F(Update, DescriptionFallbacks) {
  Accept = false;
  Config("VerId=1.0.0.6\r\nDescription=Новая\r\nDownloadUrl=x\r\n");
  EXPECT_EQ(Run((srv / "Vexa_AU.cfg").string(), false, 1049), UpdateNothing);
  ASSERT_EQ(Offers.size(), 1u);
  EXPECT_EQ(Offers[0].DescriptionLines, std::vector<std::string>{NoDescriptionText});
  WriteBytes(srv / "UpdDescr" / "UpdDescr_1.0.0.6.txt", "общая\r\nстрока 2\r\n");
  Run((srv / "Vexa_AU.cfg").string(), false, 1049);
  EXPECT_EQ(Offers[1].DescriptionLines, (std::vector<std::string>{"общая", "строка 2"}));
  WriteBytes(srv / "UpdDescr" / "UpdDescr_1049_1.0.0.6.txt", "по номеру\r\n");
  Run((srv / "Vexa_AU.cfg").string(), false, 1049);
  EXPECT_EQ(Offers[2].DescriptionLines, std::vector<std::string>{"по номеру"});
  WriteBytes(srv / "UpdDescr" / "UpdDescr_RUS_1.0.0.6.txt", "русский\r\n");
  Run((srv / "Vexa_AU.cfg").string(), false, 1049);
  EXPECT_EQ(Offers[3].DescriptionLines, std::vector<std::string>{"русский"});
  Run((srv / "Vexa_AU.cfg").string(), false, 0);  // no language: only the plain name
  EXPECT_EQ(Offers[4].DescriptionLines, (std::vector<std::string>{"общая", "строка 2"}));
  EXPECT_EQ(Offers[4].CurrentVersion, "1.0.0.5");
  EXPECT_EQ(Offers[4].Description, "Новая");
  EXPECT_FALSE(fs::exists(prog / "UpdDescr_1.0.0.6.txt"));
  // A description in code page 1251, as the program's text files are, is read as such.
  WriteBytes(srv / "UpdDescr" / "UpdDescr_RUS_1.0.0.6.txt", Utf8ToCp1251("Сборка 6\r\n- быстрее\r\n"));
  Run((srv / "Vexa_AU.cfg").string(), false, 1049);
  EXPECT_EQ(Offers[5].DescriptionLines, (std::vector<std::string>{"Сборка 6", "- быстрее"}));
}

// The package lays out a new program, a file in a subfolder and the run
// lists' scripts, which log their order into the program folder.
std::string FullPackageBody() {
  std::string body = "printf 'new program' > app\nmkdir -p sub\nprintf 'b' > sub/b.txt\n";
  for (const char* name : {"one", "two", "three", "after"})
    body += std::string("printf '#!/bin/sh\\necho ") + name + " >> ../order.log\\n' > " + name + ".sh\nchmod +x " +
            name + ".sh\n";
  return body;
}

void ExpectInstalled(const fs::path& prog, const TRecordingUi& ui) {
  EXPECT_EQ(ReadBytes(prog / "app"), "new program");
  EXPECT_EQ(ReadBytes(prog / "app.~"), "old program");  // the running file, kept
  EXPECT_EQ(ReadBytes(prog / "sub" / "b.txt"), "b");
  EXPECT_EQ(ReadBytes(prog / "order.log"), "one\ntwo\nthree\nafter\n");
  EXPECT_FALSE(fs::exists(prog / "data.txt"));  // DeleteBefore
  EXPECT_FALSE(fs::exists(prog / "after.sh"));  // DeleteAfter
  EXPECT_FALSE(fs::exists(prog / UpdateFolderName));
  EXPECT_FALSE(fs::exists(prog / UpdateConfigCopy));
  ASSERT_FALSE(ui.Messages.empty());
  EXPECT_EQ(ui.Messages.back(),
            "Установка обновления \"Vexa 1.0 сборка 6\" успешно выполнена.|"
            "Для завершения установки необходимо перезапустить программу!");
}

TEST_F(Update, InstallFromAFolderThenTheBackupGoesAtTheNextCheck) {
  const std::string script = Package(FullPackageBody());
  WriteBytes(dir / "crc", script);
  std::string crc = FileCrc32Text(dir / "crc");
  for (char& c : crc) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));  // small letters match
  Config(Standard(srv.string() + "/", crc) + "ExecBefore=three.sh\r\nDeleteAfter=after.sh\r\n",
         "ExecBefore=one.sh;;two.sh\r\nExecAfter=after.sh;missing.sh\r\nDeleteBefore=data.txt\r\n");
  EXPECT_EQ(Run((srv / "Vexa_AU.cfg").string()), UpdateInstalled) << ui.All();
  ExpectInstalled(prog, ui);

  // The next check, now at build 6: no update, and the backup is removed.
  TUpdateEnvironment env = Env();
  env.RunningVersion = "1.0.0.6";
  EXPECT_EQ(Run((srv / "Vexa_AU.cfg").string(), true, 0, env), UpdateNothing);
  EXPECT_FALSE(fs::exists(prog / "app.~"));
  EXPECT_EQ(ReadBytes(prog / "app"), "new program");
}

TEST_F(Update, InstallOverHttp) {
  const std::string script = Package(FullPackageBody());
  WriteBytes(dir / "crc", script);
  test::TLoopbackServer<> server;
  ASSERT_TRUE(server.Server.set_mount_point("/files/autoupdates", srv.string()));
  server.Start();
  const std::string base = server.Url("/files/autoupdates/");
  Config(Standard(base, FileCrc32Text(dir / "crc")) + "ExecBefore=three.sh\r\nDeleteAfter=after.sh\r\n",
         "ExecBefore=one.sh;;two.sh\r\nExecAfter=after.sh\r\nDeleteBefore=data.txt\r\n");
  WriteBytes(srv / "UpdDescr" / "UpdDescr_1.0.0.6.txt", "с сервера\r\n");
  EXPECT_EQ(Run(server.Url(UpdateConfigPath)), UpdateInstalled) << ui.All();
  ExpectInstalled(prog, ui);
  ASSERT_EQ(Offers.size(), 1u);
  EXPECT_EQ(Offers[0].DescriptionLines, std::vector<std::string>{"с сервера"});
}

TEST_F(Update, RefusedPackagesChangeNothing) {
  const std::string body = "printf 'new program' > app\ntouch ../package-ran\n";
  struct TCase {
    const char* Name;
    bool BadSignature;
    bool Signed;
    bool WrongCrc;
    const char* Message;
  };
  const TCase cases[] = {
      {"bad signature", true, true, false, "Подпись пакета обновления неверна: установка запрещена!"},
      {"unsigned", false, false, false, "Пакет обновления не подписан: установка запрещена!"},
      {"good signature, wrong CRC", false, true, true, "Неверная контрольная сумма скачанного файла."},
  };
  for (const TCase& c : cases) {
    const std::string script = Package(body);
    if (c.BadSignature) {
      TKey other;
      WriteBytes(srv / "pkg.sig", other.Sign(script));
    }
    WriteBytes(dir / "crc", script);
    const std::string crc = c.WrongCrc ? "DEADBEEF" : FileCrc32Text(dir / "crc");
    Config(Standard(srv.string() + "/", crc, c.Signed));
    const auto before = Snapshot(prog);
    ui.Messages.clear();
    EXPECT_EQ(Run((srv / "Vexa_AU.cfg").string(), true), UpdateError) << c.Name;
    EXPECT_EQ(Snapshot(prog), before) << c.Name;
    ASSERT_EQ(ui.Messages.size(), 1u) << c.Name;
    EXPECT_EQ(ui.Messages[0], std::string("Ошибка установки обновления!|") + c.Message) << c.Name;
  }
}

TEST_F(Update, APackageThatHangsIsKilled) {
  const std::string script = Package("sleep 30");
  WriteBytes(dir / "crc", script);
  Config(Standard(srv.string() + "/", ""));
  const auto before = Snapshot(prog);
  EXPECT_EQ(Run((srv / "Vexa_AU.cfg").string(), false, 0, Env(300)), UpdateError);
  EXPECT_EQ(Snapshot(prog), before);
  ASSERT_FALSE(ui.Messages.empty());
  EXPECT_EQ(ui.Messages.back(),
            "Ошибка установки обновления!|Ожидание завершения процесса (файла) \"setup.sh\" прервано в связи с "
            "превышением времени ожидания!");
}

TEST_F(Update, APackageThatFailsNamesItsExitCode) {
  Package("exit 3");
  Config(Standard(srv.string() + "/", ""));
  const auto before = Snapshot(prog);
  EXPECT_EQ(Run((srv / "Vexa_AU.cfg").string()), UpdateError);
  EXPECT_EQ(Snapshot(prog), before);
  EXPECT_EQ(ui.Messages.back(), "Ошибка установки обновления!|Пакет обновления \"setup.sh\" завершился с кодом 3!");
}

TEST_F(Update, APackageLeavingNothingFails) {
  Package("true");
  Config(Standard(srv.string() + "/", ""));
  EXPECT_EQ(Run((srv / "Vexa_AU.cfg").string()), UpdateError);
  EXPECT_EQ(ui.Messages.back(), "Ошибка установки обновления!|Файл \"" + (prog / UpdateFolderName / "*.*").string() +
                                    "\" не найден!");
}

}  // namespace
}  // namespace vexa
