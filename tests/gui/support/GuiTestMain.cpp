#include "GuiTestMain.h"

#include <cstdlib>
#include <fstream>
#include <string>

#include "core/config/Translation.h"
#include "gui/common/Fonts.h"
#include "support/PrivateHome.h"

namespace cq::test {

namespace {

std::string g_home;

}  // namespace

void IsolateGuiTest() {
  g_home = IsolateHome();
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InstallFontSubstitutes();
  OpenLanguageFile(TestLanguageFile().toStdString());
}

QString TestHome() {
  return QString::fromStdString(g_home);
}

QString TestLanguageFile() {
  return QString::fromStdString(g_home + "/Languages.ini");
}

void WriteLanguageFile(const QByteArray& content) {
  const std::string path = TestLanguageFile().toStdString();
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.constData(), content.size());
  }
  OpenLanguageFile(path);
}

}  // namespace cq::test
