// The self-update from the window: a package built and signed by
// scripts/make-update.sh in a local folder is found, shown, installed into
// a copy of the program folder, and the program restarted into it.
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <filesystem>

#include "core/ini_file.h"
#include "core/settings.h"
#include "dialogs/update_dialog.h"
#include "gui_fixture.h"
#include "shell/update_commands.h"
#include "update/update.h"

using namespace vexa;
using namespace vexa::gui;
using vexa::gui::test::TGuiFixture;
namespace fs = std::filesystem;

namespace {

constexpr const char* OldProgram = "#!/bin/sh\necho old\n";
// The new version notes how it was started.
constexpr const char* NewProgram = "#!/bin/sh\necho \"$1 $VEXA_DATA_DIR\" > \"$(dirname \"$0\")/started.txt\"\n";

bool Run(const QString& program, const QStringList& args, const QStringList& env = {}) {
  QProcess p;
  QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
  for (const QString& kv : env) e.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
  p.setProcessEnvironment(e);
  p.start(program, args);
  if (!p.waitForFinished(120000)) return false;
  if (p.exitCode() != 0) qWarning() << p.readAllStandardError();
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString S(const fs::path& p) { return QString::fromStdString(p.string()); }

struct TUpdateSite {
  fs::path Program;  // the copy of the program folder's running file
  fs::path Config;
  std::vector<std::pair<fs::path, fs::path>> Restarts;

  // A key trusted by the settings, the package of NewProgram as build 99, the addresses in the settings.
  explicit TUpdateSite(TGuiFixture& f) {
    const fs::path dir = f.Dir.Path();
    fs::create_directories(dir / "prog");
    fs::create_directories(dir / "new");
    Program = dir / "prog" / "Korvane_6x45";
    vexa::test::WriteBytes(Program, OldProgram);
    vexa::test::WriteBytes(dir / "new" / "Korvane_6x45", NewProgram);
    fs::permissions(dir / "new" / "Korvane_6x45", fs::perms::owner_all, fs::perm_options::add);
    vexa::test::WriteBytes(dir / "notes.txt", "Build 99\r\nFaster export\r\n");
    QVERIFY(Run(QStringLiteral("openssl"), {QStringLiteral("genpkey"), QStringLiteral("-algorithm"),
                                            QStringLiteral("ed25519"), QStringLiteral("-out"), S(dir / "key.pem")}));
    QVERIFY(Run(QStringLiteral("openssl"), {QStringLiteral("pkey"), QStringLiteral("-in"), S(dir / "key.pem"),
                                            QStringLiteral("-pubout"), QStringLiteral("-out"), S(dir / "pub.pem")}));
    const fs::path site = dir / "site" / "files" / "autoupdates";
    QVERIFY(Run(QStringLiteral("sh"),
                {QStringLiteral(VEXA_SOURCE_DIR "/scripts/make-update.sh"), QStringLiteral("1.0.0.99"),
                 S(dir / "key.pem"), S(dir / "site"), S(site) + QLatin1Char('/'), S(dir / "notes.txt")},
                {QStringLiteral("PROGRAM=") + S(dir / "new" / "Korvane_6x45")}));
    Config = site / "Vexa_AU.cfg";
    QVERIFY(fs::exists(Config));
    TIniFile ini(dir / (std::string("Korvane_6x45") + SettingsFileExt));
    ini.WriteString(UpdateSettingsSection, "ConfigUrl", Config.string());
    ini.WriteString(UpdateSettingsSection, UpdateTrustedKeyKey, "pub.pem");
    ini.UpdateFile();
    SetUpdateHooks({Program, [this](const fs::path& program, const fs::path& dataDir) {
                      Restarts.emplace_back(program, dataDir);
                      return true;
                    }});
  }
  ~TUpdateSite() { SetUpdateHooks({}); }
};

struct TCloseLeftOpen {
  QDialog* Dialog;
  ~TCloseLeftOpen() {
    if (Dialog->isVisible()) Dialog->reject();
  }
};

}  // namespace

class TUpdateTest : public QObject {
  Q_OBJECT

 private slots:
  void FoundShownInstalledAndRestarted() {
    TGuiFixture f(10);
    TUpdateSite site(f);
    f.Open(false);
    QVERIFY(f.Window->Commands().IsEnabled(QStringLiteral("CheckUpdate")));
    bool shown = false;
    f.OnDialog<TUpdateDialog>([&shown](TUpdateDialog* d) {
      const TCloseLeftOpen guard{d};
      QCOMPARE(d->windowTitle(), QStringLiteral("Найдена новая версия программы"));
      QCOMPARE(d->CurrentVersionEdit()->text(), QString::fromLatin1(ProgramVersion()));
      QCOMPARE(d->NewVersionEdit()->text(), QStringLiteral("Vexa 1.0.0.99"));
      QCOMPARE(d->DescriptionMemo()->toPlainText(), QStringLiteral("Build 99\nFaster export"));
      QVERIFY(d->InstallButton()->isDefault());
      shown = true;
      d->accept();
    });
    QVERIFY(f.Trigger("CheckUpdate"));
    QVERIFY(shown);
    QVERIFY2(f.BoxesOf(TBoxKind::Error).empty(),
             f.BoxesOf(TBoxKind::Error).empty() ? "" : qPrintable(f.BoxesOf(TBoxKind::Error)[0].Text));
    const auto attention = f.BoxesOf(TBoxKind::Attention);
    QCOMPARE(attention.size(), size_t(1));
    QVERIFY(attention[0].Text.startsWith(QStringLiteral("Установка обновления \"Vexa 1.0.0.99\" успешно выполнена.")));
    // Installed: the new program in place, the running one kept as its backup.
    const fs::path folder = site.Program.parent_path();
    QCOMPARE(QString::fromStdString(vexa::test::ReadBytes(site.Program)), QString::fromLatin1(NewProgram));
    QCOMPARE(QString::fromStdString(vexa::test::ReadBytes(folder / "Korvane_6x45.~")), QString::fromLatin1(OldProgram));
    QVERIFY(!fs::exists(folder / UpdateFolderName));
    QVERIFY(!fs::exists(folder / UpdateConfigCopy));
    // The restart was asked for with this program and this data folder, and the window closes.
    QCOMPARE(site.Restarts.size(), size_t(1));
    QCOMPARE(S(site.Restarts[0].first), S(site.Program));
    QCOMPARE(S(site.Restarts[0].second), S(f.Dir.Path()));
    QTRY_VERIFY(!f.Window->isVisible());

    // The real restart starts the new version with "restart" in the same data folder.
    std::string error;
    QVERIFY(StartRestartProcess(site.Program, f.Dir.Path(), error));
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(folder / "started.txt"), 10000);
    QTRY_COMPARE(QString::fromStdString(vexa::test::ReadBytes(folder / "started.txt")),
                 QStringLiteral("restart ") + S(f.Dir.Path()) + QLatin1Char('\n'));
  }

  void StartUpCheckIsSilentAndADeclineLetsTheStartGoOn() {
    TGuiFixture f(10);
    TUpdateSite site(f);
    bool shown = false;
    f.OnDialog<TUpdateDialog>([&shown](TUpdateDialog* d) {
      shown = true;
      d->reject();
    });
    f.Open(true);
    QVERIFY(shown);
    QVERIFY(site.Restarts.empty());
    QCOMPARE(QString::fromStdString(vexa::test::ReadBytes(site.Program)), QString::fromLatin1(OldProgram));
    // The draws-on-start question of the next step was asked.
    QCOMPARE(f.BoxesOf(TBoxKind::Question).size(), size_t(1));
    QVERIFY(f.BoxesOf(TBoxKind::Information).empty());
  }

  void StartUpWithoutAServerIsQuietTheCommandIsNot() {
    TGuiFixture f(10);
    {
      TIniFile ini(f.Dir / (std::string("Korvane_6x45") + SettingsFileExt));
      ini.WriteString(UpdateSettingsSection, "ConfigUrl", (f.Dir / "missing" / "Vexa_AU.cfg").string());
      ini.UpdateFile();
    }
    f.Open(true);
    QVERIFY(f.BoxesOf(TBoxKind::Error).empty());
    QCOMPARE(f.BoxesOf(TBoxKind::Question).size(), size_t(1));
    // The command is not silent: the search error is shown.
    QVERIFY(f.Trigger("CheckUpdate"));
    const auto errors = f.BoxesOf(TBoxKind::Error);
    QCOMPARE(errors.size(), size_t(1));
    QVERIFY(errors[0].Text.startsWith(QStringLiteral("Ошибка поиска обновлений!")));
    // AutoSelfUpdate toggles the setting, written at once.
    QVERIFY(f.Window->Commands().IsChecked(QStringLiteral("AutoSelfUpdate")));
    QVERIFY(f.Trigger("AutoSelfUpdate"));
    QVERIFY(!f.Window->Commands().IsChecked(QStringLiteral("AutoSelfUpdate")));
    QVERIFY(!ReadWindowBool(f.Dir / (std::string("Korvane_6x45") + WindowSettingsFileExt), MainWindowSection,
                            "AutoUpdates", true));
  }
};

QTEST_MAIN(TUpdateTest)
#include "update_test.moc"
