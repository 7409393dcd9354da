// vexa update: a portable copy of the program finds, shows and installs a
// package signed with a key its settings trust.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

int Shell(const std::string& cmd) {
  const int raw = std::system(cmd.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class UpdateCli : public ::testing::Test {
 protected:
  TTempDir dir;
  fs::path prog = dir / "prog";
  fs::path srv = dir / "srv";
  std::string out;

  void SetUp() override {
    fs::create_directories(prog);
    fs::create_directories(srv);
    fs::copy_file(VEXA_CLI_PATH, prog / "vexa");
    ASSERT_EQ(Shell("openssl genpkey -algorithm ed25519 -out '" + (dir / "key.pem").string() + "' 2>/dev/null"), 0);
    ASSERT_EQ(Shell("openssl pkey -in '" + (dir / "key.pem").string() + "' -pubout -out '" + (prog / "trusted.pem").string() + "'"), 0);
    WriteBytes(prog / "Korvane_6x45.ini", "[Update]\r\nTrustedKeyFile=trusted.pem\r\n");
  }
  int Run(const std::string& words) {
    const int status = Shell("cd '" + prog.string() + "' && env -u VEXA_DATA_DIR ./vexa " + words + " >'" +
                             (dir / "out.txt").string() + "' 2>&1 </dev/null");
    out = ReadBytes(dir / "out.txt");
    return status;
  }
  void Publish(bool sign) {
    WriteBytes(srv / "SelfUpdate.upd",
               "#!/bin/sh\nprintf '#!/bin/sh\\necho new version $1\\n' > vexa\nchmod +x vexa\nexit 0\n");
    if (sign) {
      ASSERT_EQ(Shell("openssl pkeyutl -sign -rawin -inkey '" + (dir / "key.pem").string() + "' -in '" +
                      (srv / "SelfUpdate.upd").string() + "' -out '" + (srv / "SelfUpdate.upd.sig").string() + "'"),
                0);
    }
    WriteBytes(srv / "Vexa_AU.cfg", "[vexa]\r\nVerId=1.0.0.99\r\nDescription=Vexa 99\r\nDownloadUrl=" +
                                        (srv / "SelfUpdate.upd").string() + "\r\n" +
                                        (sign ? "SignatureUrl=" + (srv / "SelfUpdate.upd.sig").string() + "\r\n" : "") +
                                        "OriginalFileName=SelfUpdate.sh\r\n");
  }
};

TEST_F(UpdateCli, CheckShowsAndInstallReplacesTheProgram) {
  Publish(true);
  const std::string config = " --config '" + (srv / "Vexa_AU.cfg").string() + "'";
  ASSERT_EQ(Run("update check" + config), 0) << out;
  EXPECT_NE(out.find("Новая версия программы:\tVexa 99"), std::string::npos) << out;
  EXPECT_NE(out.find("< Описание обновления не доступно >"), std::string::npos) << out;
  ASSERT_EQ(Run("update install" + config), 0) << out;
  EXPECT_NE(out.find("Установка обновления \"Vexa 99\" успешно выполнена."), std::string::npos) << out;
  EXPECT_TRUE(fs::exists(prog / "vexa.~"));  // the running program, kept
  ASSERT_EQ(Run("restart"), 0);
  EXPECT_EQ(out, "new version restart\n");
}

TEST_F(UpdateCli, AnUnsignedPackageIsRefused) {
  Publish(false);
  const std::string before = ReadBytes(prog / "vexa");
  EXPECT_EQ(Run("update install --config '" + (srv / "Vexa_AU.cfg").string() + "'"), 1);
  EXPECT_NE(out.find("Пакет обновления не подписан"), std::string::npos) << out;
  EXPECT_EQ(ReadBytes(prog / "vexa"), before);
  EXPECT_FALSE(fs::exists(prog / "vexa.~"));
}

}  // namespace
}  // namespace vexa
