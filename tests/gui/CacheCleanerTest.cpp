#include <QDir>
#include <filesystem>
#include <fstream>

#include "GuiTestMain.h"
#include "core/transfer/CacheNames.h"
#include "gui/config/CacheCleaner.h"

using namespace cq;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

fs::path Root() {
  return fs::path(CacheFolder());
}

void WriteFile(const fs::path& path) {
  std::ofstream(path) << "cached";
}

// Sets a time relative to now; done last, since writing into a folder changes its time.
void Age(const fs::path& path, fs::file_time_type::duration age) {
  fs::last_write_time(path, fs::file_time_type::clock::now() - age);
}

fs::path CacheEntry(const char* name, fs::file_time_type::duration age) {
  const fs::path folder = Root() / name;
  fs::create_directories(folder);
  WriteFile(folder / "page.html");
  Age(folder, age);
  return folder;
}

}  // namespace

class CacheCleanerTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    fs::remove_all(Root());
    fs::create_directories(Root());
  }

  void onlyFilesOfOldFoldersAreDeleted() {
    const auto old = 30 * 24h;
    // A subfolder is never deleted, so its folder stays, emptied of its files.
    const fs::path withSub = Root() / "withsub";
    fs::create_directories(withSub / "sub");
    WriteFile(withSub / "page.html");
    WriteFile(withSub / "sub" / "inner.html");
    Age(withSub, old);
    // Names beginning with "." are skipped inside folders and in the root.
    const fs::path withDot = Root() / "withdot";
    fs::create_directories(withDot);
    WriteFile(withDot / ".keep");
    WriteFile(withDot / "page.html");
    Age(withDot, old);
    const fs::path hidden = CacheEntry(".hidden", old);
    // Plain files in the root stay; so does whatever a link points at.
    const fs::path plain = Root() / "plain.html";
    WriteFile(plain);
    Age(plain, old);
    const fs::path outside = fs::path(test::TestHome().toStdString()) / "outside";
    fs::create_directories(outside);
    WriteFile(outside / "precious.mid");
    Age(outside, old);
    fs::create_directory_symlink(outside, Root() / "link");
    const fs::path linkInFolder = Root() / "withlink";
    fs::create_directories(linkInFolder);
    fs::create_symlink(outside / "precious.mid", linkInFolder / "file-link");
    Age(linkInFolder, old);

    CleanCache(7);

    QVERIFY(fs::exists(withSub / "sub" / "inner.html"));
    QVERIFY(!fs::exists(withSub / "page.html"));
    QVERIFY(fs::exists(withDot / ".keep"));
    QVERIFY(!fs::exists(withDot / "page.html"));
    QVERIFY(fs::exists(hidden / "page.html"));
    QVERIFY(fs::exists(plain));
    QVERIFY(fs::is_symlink(Root() / "link"));
    QVERIFY(fs::exists(outside / "precious.mid"));
    QVERIFY(!fs::exists(linkInFolder));
  }

  void missingCacheIsNoError() {
    fs::remove_all(Root());
    CleanCache(0);
    QVERIFY(!fs::exists(Root()));
  }
};

CQ_GUI_TEST_MAIN(CacheCleanerTest)
#include "CacheCleanerTest.moc"
